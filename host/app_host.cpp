#include "host/app_host.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "audio/audio_device.h"
#include "graphics/renderer.h"
#include "host/data_location.h"
#include "host/state_file.h"
#include "host/window_mode.h"
#include "input/input_device.h"
#include "input/key_translation.h"
#include "platform/data_path.h"
#include "platform/platform.h"
#include "runtime/console.h"

namespace host {
gc_ref<gxtkApp> app;
HookObserver* hookObserver = nullptr;
void (*loopOverride)(gxtkApp& app) = nullptr;
void (*passOverride)(gxtkApp& app) = nullptr;
}  // namespace host
int (*runner)() = nullptr;
void (*afterFirstFrame)() = nullptr;

namespace {

// Forwards the platform's events to the host's static callbacks.
class HostEvents final : public PlatformEvents {
public:
    void OnKey(int key, int action) override { gxtkApp::OnKey(key, action); }
    void OnChar(unsigned int codepoint) override {
        gxtkApp::OnChar(static_cast<int>(codepoint), Platform::kPress);
    }
    void OnMouseButton(int button, int action) override { gxtkApp::OnMouseButton(button, action); }
    void OnWindowSize(int width, int height) override { gxtkApp::OnWindowSize(width, height); }
    void OnWindowRefresh() override { gxtkApp::OnWindowRefresh(); }
    void OnScroll(double, double dy) override { gxtkApp::OnScroll(dy); }
    void OnTouch(int finger, int action, double x, double y) override {
        gxtkApp::OnTouch(finger, action, x, y);
    }
};

HostEvents hostEvents;

// Brackets one hook for the observer, if there is one.
class ObservedHook {
public:
    explicit ObservedHook(HookObserver::Hook hook) {
        if (host::hookObserver) host::hookObserver->OnHookBegin(hook);
    }
    ~ObservedHook() {
        if (host::hookObserver) host::hookObserver->OnHookEnd();
    }
    ObservedHook(const ObservedHook&) = delete;
    ObservedHook& operator=(const ObservedHook&) = delete;
};

void RunScheduledPass() {
    if (!host::app) return;
    if (host::passOverride) {
        host::passOverride(*host::app);
    } else {
        host::app->RunPass();
    }
}

}  // namespace

PlatformEvents& host::HostListener() {
    return hostEvents;
}

int RunApp() {
    if (host::app) host::app->Run();
    return 0;
}

gxtkApp::gxtkApp() {
    host::app = this;
    gc_add_root(host::app);
    graphics = gc_new<gxtkGraphics>();
    input = gc_new<gxtkInput>();
    audio = gc_new<gxtkAudio>();
    updateRate = 0;
    suspended = false;
    runner = RunApp;
}

void gxtkApp::mark() {
    gc_mark_field(graphics);
    gc_mark_field(input);
    gc_mark_field(audio);
}

gxtkGraphics* gxtkApp::GraphicsDevice() {
    return graphics;
}
gxtkInput* gxtkApp::InputDevice() {
    return input;
}
gxtkAudio* gxtkApp::AudioDevice() {
    return audio;
}
String gxtkApp::AppTitle() {
    return T("<TODO>");
}
// The record's place is decided at start-up (host/data_location.h); with none, nothing is saved.
String gxtkApp::LoadState() {
    const std::string& path = RecordPath();
    if (path.empty()) return String();
    return LoadStateFile(path.c_str());
}
namespace {
bool recordWritable = true;
}  // namespace

void host::SetRecordWritable(bool writable) {
    recordWritable = writable;
}

bool host::RecordWritable() {
    return recordWritable;
}

std::string host::KeepSavedFiles() {
    return CurrentPlatform().KeepSavedState();
}

int gxtkApp::SaveState(String state) {
    if (!recordWritable) return 0;
    const std::string& path = RecordPath();
    if (path.empty()) return -1;
    PrepareRecordFolder();
    const int result = SaveStateFile(state, path.c_str());
    if (result != 0) return result;
    // A browser carries the written file on to lasting storage, when it has any: a record that
    // lasts only as long as the page is a failed save, as the player is told.
    const std::string lost = host::KeepSavedFiles();
    if (lost.empty()) return 0;
    ConsoleLine("Save failed: " + lost);
    return -1;
}

String gxtkApp::LoadString(String path) {
    FileRefusal refusal;
    FILE* file = OpenDataFile(path, kMaxTextFileBytes, &refusal);
    if (!file) return String();
    String text = String::Load(file);
    std::fclose(file);
    return text;
}

int gxtkApp::SetUpdateRate(int hertz) {
    updateRate = hertz;
    if (hertz != 0) {
        updatePeriod = 1.0 / hertz;
        nextUpdate = CurrentPlatform().Time() + updatePeriod;
    }
    return 0;
}

int gxtkApp::MilliSecs() {
    // Through 64 bits so a clock past 2^31 ms wraps instead of overflowing.
    const int64_t ms = static_cast<int64_t>(CurrentPlatform().Time() * 1000.0);
    return static_cast<int>(static_cast<uint32_t>(ms));
}

int gxtkApp::Loading() {
    return 0;
}
int gxtkApp::OnCreate() {
    return 0;
}
int gxtkApp::OnSuspend() {
    return 0;
}
int gxtkApp::OnResume() {
    return 0;
}
int gxtkApp::OnUpdate() {
    return 0;
}
int gxtkApp::OnRender() {
    return 0;
}
int gxtkApp::OnLoading() {
    return 0;
}

void gxtkApp::InvokeOnCreate() {
    // The game lays itself out from the first size it sees; without one nothing can work.
    if (!graphics->Validate()) std::abort();
    OnCreate();
    gc_collect();
}

void gxtkApp::UpdateBody() {
    const ObservedHook observed(HookObserver::kUpdate);
    input->BeginUpdate();
    OnUpdate();
    input->EndUpdate();
    gc_collect();
}

void gxtkApp::RenderBody() {
    const ObservedHook observed(HookObserver::kRender);
    graphics->BeginRender();
    OnRender();
    graphics->EndRender();
    gc_collect();
}

void gxtkApp::InvokeOnUpdate() {
    if (suspended || updateRate == 0 || !graphics->Validate()) return;
    UpdateBody();
}

void gxtkApp::InvokeOnRender() {
    if (suspended || !graphics->Validate()) return;
    RenderBody();
}

void gxtkApp::InvokeOnSuspend() {
    if (suspended) return;
    const ObservedHook observed(HookObserver::kSuspend);
    suspended = true;
    OnSuspend();
    audio->OnSuspend();
    // The hook may have changed the rate; whatever it is now is what the resume restores.
    const int rate = updateRate;
    if (rate != 0) {
        SetUpdateRate(0);
        updateRate = rate;
    }
    gc_collect();
}

void gxtkApp::InvokeOnResume() {
    if (!suspended) return;
    const ObservedHook observed(HookObserver::kResume);
    // Setting the rate afresh restarts the update clock, so no backlog from the suspension runs.
    const int rate = updateRate;
    if (rate != 0) {
        updateRate = 0;
        SetUpdateRate(rate);
    }
    audio->OnResume();
    OnResume();
    suspended = false;
    gc_collect();
}

void gxtkApp::Run() {
    Platform& platform = CurrentPlatform();
    platform.SetListener(&hostEvents);
    InvokeOnCreate();
    if (!suspended) InvokeOnRender();
    if (afterFirstFrame) afterFirstFrame();
    // The listener stays: the platform's own passes keep delivering events to it.
    if (platform.SchedulePasses(RunScheduledPass)) return;
    if (host::loopOverride) {
        host::loopOverride(*this);
    } else {
        while (platform.IsOpen()) RunPass();
    }
    platform.SetListener(nullptr);
}

void gxtkApp::RunPass() {
    Platform& platform = CurrentPlatform();
    if (platform.IsIconified()) {
        if (!suspended) {
            InvokeOnSuspend();
        } else {
            platform.WaitEvents();
        }
        return;
    }
    // Asked only while suspended: the window system answers focus queries with a round trip.
    if (suspended && platform.IsFocused()) {
        InvokeOnResume();
        return;
    }
    // Suspended and merely restored: stay asleep until the window also has the focus.
    if (suspended) {
        platform.WaitEvents();
        return;
    }
    if (updateRate == 0) {
        RenderWhenEventDriven();
        return;
    }
    // The clock stays a double: a float stops resolving milliseconds after a few hours.
    const double now = platform.Time();
    if (nextUpdate > now) {
        platform.Sleep(nextUpdate - now);
        return;
    }
    platform.PollEvents();
    RunCatchUpBatch();
    if (!suspended) InvokeOnRender();
}

void gxtkApp::RenderWhenEventDriven() {
    if (graphics->Validate()) RenderBody();
    CurrentPlatform().WaitEvents();
}

void gxtkApp::RunCatchUpBatch() {
    Platform& platform = CurrentPlatform();
    for (int turn = 1;; ++turn) {
        nextUpdate += updatePeriod;
        if (!suspended) {
            if (updateRate == 0) return;
            if (graphics->Validate()) UpdateBody();
        }
        if (updateRate == 0) return;
        const double now = platform.Time();
        if (nextUpdate > now) return;
        if (turn == kMaxCatchUpUpdates) {
            nextUpdate = now;  // drop the rest of the backlog instead of bursting through it
            return;
        }
    }
}

void gxtkApp::OnKey(int key, int action) {
    if (!host::app) return;
    if (host::HandleWindowShortcut(key, action)) return;  // the window's, not the game's
    const int code = TransKey(key);
    if (code == 0) return;
    gxtkInput* device = host::app->input;
    if (action == Platform::kRelease) {
        device->OnKeyUp(code);
        return;
    }
    if (action != Platform::kPress && action != Platform::kRepeat) return;
    // A held key's repeats go down again, which queues its character again.
    device->OnKeyDown(code);
    const int ch = KeyToChar(code);
    if (ch != 0) device->PutChar(ch);
}

void gxtkApp::OnChar(int ch, int action) {
    if (!host::app || action != Platform::kPress) return;
    host::app->input->PutChar(ch);
}

void gxtkApp::OnScroll(double notches) {
    if (host::app) host::app->input->OnWheel(static_cast<float>(notches));
}

void gxtkApp::OnTouch(int finger, int action, double x, double y) {
    if (host::app)
        host::app->input->OnTouch(finger, action, static_cast<float>(x), static_cast<float>(y));
}

void gxtkApp::OnMouseButton(int button, int action) {
    if (!host::app) return;
    int code = 0;
    switch (button) {
        case 0:
            code = KeyCode::kMouseLeft;
            break;
        case 1:
            code = KeyCode::kMouseRight;
            break;
        case 2:
            code = KeyCode::kMouseMiddle;
            break;
        default:
            return;
    }
    if (action == Platform::kPress) {
        host::app->input->OnKeyDown(code);
    } else if (action == Platform::kRelease) {
        host::app->input->OnKeyUp(code);
    }
}

// A resize is noticed by Validate before the next update or render; nothing to do here.
void gxtkApp::OnWindowSize(int width, int height) {}
void gxtkApp::OnWindowRefresh() {}
