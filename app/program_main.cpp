// Creates the game object. Built into the executable itself (not the engine library) so that it
// may name the game's classes.
#include "game/my_app.h"
#include "game/save_record.h"
#include "host/app_host.h"
#include "host/entry.h"

int programMain() {
    // App's constructor binds the new game to the host, which keeps it alive from then on.
    gc_new<MyApp>();
    // The host's loop, followed by a last save when the window is closed.
    runner = RunGameSavingOnClose;
    return 0;
}
