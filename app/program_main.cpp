// The game as the host sees it: the hooks table the program entry points pass to hostMain.
// Built into the executable itself, since it is the one place that names the game's classes.
#include "app/program_main.h"

#include "game/my_app.h"
#include "game/save_record.h"
#include "host/app_host.h"

namespace {

void CreateVexmo() {
    // App's constructor binds the new game to the host, which keeps it alive from then on.
    gc_new<MyApp>();
    // The host's loop, followed by a last save when the window is closed.
    runner = RunGameSavingOnClose;
}

}  // namespace

const GameHooks& VexmoHooks() {
    static const GameHooks hooks{InitGameGlobals, CreateVexmo};
    return hooks;
}
