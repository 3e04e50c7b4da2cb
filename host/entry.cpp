#include "host/entry.h"

#include <AL/al.h>
#include <malloc.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "audio/audio.h"
#include "audio/audio_device.h"
#include "graphics/graphics.h"
#include "host/app.h"
#include "host/app_host.h"
#include "host/audio_context.h"
#include "host/gamepad_mappings_file.h"
#include "host/random.h"
#include "host/window_icon.h"
#include "host/window_mode.h"
#include "host/window_placement.h"
#include "input/input.h"
#include "platform/data_path.h"
#include "platform/platform.h"
#include "runtime/console.h"
#include "runtime/errors.h"
#include "runtime/gc.h"

namespace host {
int argc = 0;
char** argv = nullptr;
ALCdevice* alcDevice = nullptr;
ALCcontext* alcContext = nullptr;
}  // namespace host

namespace {

constexpr const char* kWindowTitle = "Vexmo";

[[noreturn]] void FailStartUp(Platform& platform, const char* message) {
    platform.Terminate();
    fail(message);
}

void OpenWindow(Platform& platform) {
    if (!platform.Init()) {
        ConsoleLine("glfwInit failed");
        std::exit(-1);
    }
    // A size that suits the primary monitor, centred on its free area; a saved place, when the
    // record has one, replaces it once the game has read the record.
    MonitorArea work;
    if (platform.GetWorkAreas(&work, 1) < 1) platform.GetDesktopSize(&work.width, &work.height);
    int width = 0;
    int height = 0;
    host::FirstWindowSize(work, &width, &height);
    if (!platform.OpenWindow(width, height, kWindowTitle)) {
        FailStartUp(platform, "glfwOpenWindow failed");
    }
    platform.SetWindowPos(work.x + (work.width - width) / 2, work.y + (work.height - height) / 2);
    // From the centred window, so that leaving fullscreen brings it back there.
    if (host::StartFullscreen()) platform.SetFullscreen(true);
    ApplyWindowIcon(platform);
}

// Audio failures are reported and then ignored: the game runs silent.
void OpenAudio() {
    host::alcDevice = alcOpenDevice(nullptr);
    if (!host::alcDevice) {
        ConsoleLine("alcOpenDevice failed");
        return;
    }
    host::alcContext = CreateAudioContext(host::alcDevice);
    if (!host::alcContext) {
        ConsoleLine("alcCreateContext failed");
        return;
    }
    if (!alcMakeContextCurrent(host::alcContext)) ConsoleLine("alcMakeContextCurrent failed");
}

// The first frame plays nothing, and probing for a sound device can take a good part of the
// start-up: the device opens once that frame is on the screen, before the first update (the first
// sound loads a few updates later).
void OpenAudioAfterFirstFrame() {
    afterFirstFrame = nullptr;
    OpenAudio();
    if (host::app && host::app->AudioDevice()) host::app->AudioDevice()->ContextReady();
}

// The context goes before its device.
void CloseAudio() {
    if (host::alcContext) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(host::alcContext);
        host::alcContext = nullptr;
    }
    if (host::alcDevice) {
        alcCloseDevice(host::alcDevice);
        host::alcDevice = nullptr;
    }
}

void RunProgram(int argc, char** argv, const GameHooks& game) {
    try {
        runtimeMain(argc, argv, game);
        if (runner) runner();
    } catch (ThrowableObject*) {
        Print(T("Vantor Runtime Error : Uncaught Vantor Exception"));
    } catch (const char*) {
        // A thrown text ends the program quietly.
    }
}

// Decoding a picture takes a few large blocks that are freed as soon as it is on the GPU. With a
// fixed threshold they are mapped and unmapped on their own; glibc's sliding threshold would
// otherwise serve later ones from the heap, whose freed pages stay resident.
void KeepLargeBlocksMapped() {
#if defined(__GLIBC__) && defined(M_MMAP_THRESHOLD)
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

}  // namespace

int hostMain(int argc, char** argv, Platform& platform, const GameHooks& game) {
    KeepLargeBlocksMapped();
    SetCurrentPlatform(&platform);
    OpenWindow(platform);
    // Extra pad layouts come from beside (or inside) the data folder the game reads.
    LoadGamepadMappings(platform, DataFolder());
    afterFirstFrame = OpenAudioAfterFirstFrame;
    RunProgram(argc, argv, game);
    afterFirstFrame = nullptr;
    CloseAudio();
    platform.Terminate();
    return 0;
}

int runtimeMain(int argc, char** argv, const GameHooks& game) {
    host::argc = argc;
    host::argv = argv;
    std::signal(SIGSEGV, sighandler);
    std::signal(SIGILL, sighandler);
    std::signal(SIGFPE, sighandler);
    gc_init1();
    initGlobals(game);
    gc_mark();
    if (game.createGame) game.createGame();
    return 0;
}

int initGlobals(const GameHooks& game) {
    InitGraphicsGlobals();
    InitInputGlobals();
    InitAudioGlobals();
    InitAppGlobals();
    Seed = 1234;
    if (game.initGlobals) game.initGlobals();
    return 0;
}
