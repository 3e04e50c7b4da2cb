// Stand-ins that let the engine link on its own (tests, tools). The program's real versions
// (the game's globals, programMain in program_main.cpp) replace them at link time.
#include "host/entry.h"

__attribute__((weak)) void InitGameGlobals() {}

// Without a game there is nothing to create; runner stays unset and the program just ends.
__attribute__((weak)) int programMain() {
    return 0;
}
