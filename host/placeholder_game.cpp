// TEMPORARY: see placeholder_game.h.
#include "host/placeholder_game.h"

#include "host/app.h"

namespace {

class PlaceholderGame : public App {
public:
    int OnCreate() override {
        SetUpdateRate(60);
        return 0;
    }
};

}  // namespace

App* NewPlaceholderGame() {
    return gc_new<PlaceholderGame>();
}
