// The platform host object and its frame loop. gxtkApp owns the renderer, the input device and
// the audio device, and its Run method decides when the update and render hooks run, when the
// program sleeps, when it is suspended and resumed, and when it ends.
#pragma once

#include <string>

#include "platform/gxtk_object.h"
#include "platform/platform.h"
#include "runtime/gc.h"
#include "runtime/string.h"

class gxtkGraphics;
class gxtkInput;
class gxtkAudio;

class gxtkApp : public gxtkObject {
public:
    // Updates run in batches of at most this many before a render; a longer backlog is dropped.
    static constexpr int kMaxCatchUpUpdates = 7;

    gc_ref<gxtkGraphics> graphics;
    gc_ref<gxtkInput> input;
    gc_ref<gxtkAudio> audio;
    int updateRate = 0;       // updates per second; 0 renders only when events arrive
    double nextUpdate = 0.0;  // seconds on the platform clock
    double updatePeriod = 0.0;
    bool suspended = false;

    // Becomes host::app, creates the three devices and sets `runner` to RunApp.
    gxtkApp();
    void mark() override;

    virtual gxtkGraphics* GraphicsDevice();
    virtual gxtkInput* InputDevice();
    virtual gxtkAudio* AudioDevice();
    virtual String AppTitle();
    // The state file ".vantorstate": in the working directory when the data is ./data, else in
    // the player's data folder (host/data_location.h); the empty string when there is none.
    virtual String LoadState();
    // 0 on success, -1 when the file cannot be created, -2 when not every byte was written;
    // on failure the previous file is left as it was.
    virtual int SaveState(String state);
    virtual String LoadString(String path);
    // Stores the rate; a non-zero rate restarts the update clock one period from now.
    virtual int SetUpdateRate(int hertz);
    virtual int MilliSecs();
    virtual int Loading();
    virtual int OnCreate();
    virtual int OnSuspend();
    virtual int OnResume();
    virtual int OnUpdate();
    virtual int OnRender();
    virtual int OnLoading();

    // Each runs one hook with the steps around it, then a collection step.
    void InvokeOnCreate();
    void InvokeOnUpdate();
    void InvokeOnRender();
    void InvokeOnSuspend();
    void InvokeOnResume();
    // The frame loop; returns once the window has been closed, or at once when the platform
    // calls the passes itself (a browser, once per animation frame).
    void Run();
    // One bounded pass of the loop: poll, up to kMaxCatchUpUpdates updates by the clock, one
    // render, suspend and resume. Run repeats it; nothing else in it blocks but the platform's
    // Sleep and WaitEvents, which return at once in a browser.
    void RunPass();

    // Event callbacks; the platform calls them only while the loop polls or waits.
    static void OnKey(int key, int action);
    static void OnChar(int ch, int action);
    static void OnMouseButton(int button, int action);
    static void OnWindowSize(int width, int height);
    static void OnWindowRefresh();
    static void OnScroll(double notches);
    static void OnTouch(int finger, int action, double x, double y);

private:
    void RenderWhenEventDriven();
    void RunCatchUpBatch();
    void UpdateBody();
    void RenderBody();
};

// Told where each hook the host runs begins and ends, so that a replay recorder can tell what
// the game read from readings the frame loop makes for its own pacing (host/replay_recorder.h).
class HookObserver {
public:
    enum Hook { kUpdate = 1, kRender, kSuspend, kResume };
    virtual ~HookObserver() = default;
    virtual void OnHookBegin(Hook hook) = 0;
    virtual void OnHookEnd() = 0;
};

namespace host {
// Null unless a recorder watches the hooks.
extern HookObserver* hookObserver;
// When set, Run hands the loop to it once the first frame is up (a replay being watched plays
// its recorded steps instead of following the clock).
extern void (*loopOverride)(gxtkApp& app);
// The same for a platform that calls the passes itself (a browser, once per animation frame):
// when set, each of those calls runs it instead of one RunPass. It must return without blocking.
extern void (*passOverride)(gxtkApp& app);
// The listener Run gives the platform: the host's event callbacks.
PlatformEvents& HostListener();
// The one host object (also registered as a collector root so a bare gxtkApp lives on). The
// static event callbacks reach the input device through it.
extern gc_ref<gxtkApp> app;
// False while the record may be read but not written (a demo playing on the player's record):
// every save then succeeds without touching the file. True unless set otherwise.
void SetRecordWritable(bool writable);
bool RecordWritable();
// Carries the files just written beside the record (the record, kept replays) on to lasting
// storage where the platform holds them elsewhere (a browser's IndexedDB); nothing to do on a
// desktop. Empty when they are kept, else why they are not.
std::string KeepSavedFiles();
}  // namespace host
// Called by main after start-up when set; the gxtkApp constructor sets it to RunApp.
extern int (*runner)();
// Run once the first frame has been presented (or skipped while suspended): start-up work that
// frame does not need, such as opening the audio device. hostMain sets it; null does nothing.
extern void (*afterFirstFrame)();
int RunApp();
