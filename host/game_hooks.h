// Where the host meets the game: one table the program passes in (app/), so the engine names
// no game and links without one. Tests and benchmarks pass tables of their own.
#pragma once

struct GameHooks {
    // Every global of the game module to its initial value, roots registered. May be null.
    void (*initGlobals)() = nullptr;
    // Creates the game object (and through App, the host object and its devices) and may set
    // the host's runner. May be null: with no game there is nothing to run, and the program
    // just ends.
    void (*createGame)() = nullptr;
};
