// Start-up of the runtime and the program: the command line, every global's initial value,
// and the creation of the game object.
#pragma once

#include <AL/alc.h>

#include "host/game_hooks.h"

class Platform;

namespace host {
// The command line, kept for whoever asks; nothing in the game reads it.
extern int argc;
extern char** argv;
// The OpenAL device and context opened at start-up; null when opening failed.
extern ALCdevice* alcDevice;
extern ALCcontext* alcContext;
}  // namespace host

// The whole process on one platform: opens the centred 640x480 window titled "Vexmo" and the
// audio device, runs the runtime and the program, then the frame loop until the window closes,
// and shuts everything down. Returns 0; a platform that cannot start ends the process with
// status -1 after printing "glfwInit failed" or "glfwOpenWindow failed".
int hostMain(int argc, char** argv, Platform& platform, const GameHooks& game);

// Signal handlers, an empty collector, every global, the roots, then the game's creation.
// Returns 0.
int runtimeMain(int argc, char** argv, const GameHooks& game);
// Every global of the engine and of the game to its initial value, roots registered. Returns 0.
int initGlobals(const GameHooks& game = GameHooks());
