// Creates the game object. Built into the executable itself (not the engine library) so that it
// may name the game's classes.
#include "host/entry.h"
#include "host/placeholder_game.h"

int programMain() {
    NewPlaceholderGame();
    return 0;
}
