#include "platform/platform_browser.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "platform/finger_slots.h"
#include "platform/platform_glfw.h"

namespace {

// Holds the page's events until the loop polls, so the game sees them at the same point of a
// pass as on the desktop, however the browser interleaves its event handlers with the frames.
class EventQueue final : public PlatformEvents {
public:
    void SetTarget(PlatformEvents* target) { target_ = target; }
    void Deliver() {
        // An event handler may not run inside delivery, but the swap keeps the loop safe anyway.
        std::vector<std::function<void(PlatformEvents&)>> due;
        due.swap(pending_);
        if (!target_) return;
        for (auto& event : due) event(*target_);
    }
    void OnKey(int key, int action) override {
        Add([=](PlatformEvents& l) { l.OnKey(key, action); });
    }
    void OnChar(unsigned int codepoint) override {
        Add([=](PlatformEvents& l) { l.OnChar(codepoint); });
    }
    void OnMouseButton(int button, int action) override {
        Add([=](PlatformEvents& l) { l.OnMouseButton(button, action); });
    }
    void OnWindowSize(int width, int height) override {
        Add([=](PlatformEvents& l) { l.OnWindowSize(width, height); });
    }
    void OnWindowRefresh() override {
        Add([](PlatformEvents& l) { l.OnWindowRefresh(); });
    }
    void OnScroll(double dx, double dy) override {
        Add([=](PlatformEvents& l) { l.OnScroll(dx, dy); });
    }
    void OnTouch(int finger, int action, double x, double y) override {
        Add([=](PlatformEvents& l) { l.OnTouch(finger, action, x, y); });
    }
    // Runs `step` at its place among the events, when they are delivered.
    void AddStep(std::function<void()> step) {
        Add([step = std::move(step)](PlatformEvents&) { step(); });
    }

private:
    void Add(std::function<void(PlatformEvents&)> event) { pending_.push_back(std::move(event)); }
    PlatformEvents* target_ = nullptr;
    std::vector<std::function<void(PlatformEvents&)>> pending_;
};

class BrowserPlatform;
BrowserPlatform* page = nullptr;  // the one the page's own input handlers (web/pre.js) reach

class BrowserPlatform final : public Platform {
public:
    BrowserPlatform() : glfw_(NewGlfwPlatform()) { page = this; }
    ~BrowserPlatform() override {
        if (page == this) page = nullptr;
    }

    // The page reads the canvas's touch events itself, in canvas pixels (the GLFW layer would
    // press the button at the last place and never move it). Phases: 0 start, 1 move, 2 end,
    // 3 cancel.
    void OnPageFinger(int phase, long id, double x, double y) {
        if (!open_) return;
        int finger = -1;
        int action = kRepeat;
        if (phase == 0) {
            finger = fingers_.Press(id);
            action = kPress;
        } else if (phase == 1) {
            finger = fingers_.Find(id);
        } else {
            finger = fingers_.Release(id);
            action = kRelease;
        }
        if (finger < 0) return;  // an eleventh finger, or one that went down before the game
        // The first finger is also the pointer, so it is at its place before it presses.
        if (finger == 0) queue_.AddStep([this, x, y] { PointAt(x, y); });
        queue_.OnTouch(finger, action, x, y);
        if (finger == 0 && action != kRepeat) queue_.OnMouseButton(0, action);
    }
    void OnPageWheel(double notches) {
        if (open_) queue_.OnScroll(0.0, notches);
    }

    bool Init() override {
        start_ = emscripten_get_now();
        return glfw_->Init();
    }

    bool OpenWindow(int width, int height, const std::string& title) override {
        if (!glfw_->OpenWindow(width, height, title)) return false;
        glfw_->SetListener(&queue_);
        open_ = true;
        // GLFW sized the canvas to the window asked for; the page wants it to fill the page.
        EM_ASM({
            if (Module.vexmoFitCanvas) Module.vexmoFitCanvas();
        });
        return true;
    }

    // A page has no position of its own.
    void SetWindowPos(int x, int y) override {}
    void GetDesktopSize(int* width, int* height) override {
        *width = EM_ASM_INT({ return Math.round(screen.width * (window.devicePixelRatio || 1)); });
        *height =
            EM_ASM_INT({ return Math.round(screen.height * (window.devicePixelRatio || 1)); });
    }
    // The canvas's drawing buffer, which every poll fits to the page's size in device pixels.
    void GetWindowSize(int* width, int* height) override {
        *width = 0;
        *height = 0;
        if (!open_) return;
        emscripten_get_canvas_element_size("#canvas", width, height);
    }
    // The screen less the system's panels, in device pixels, as the page can see it.
    int GetWorkAreas(MonitorArea* areas, int max) override {
        if (max < 1) return 0;
        areas[0] = MonitorArea{};
        areas[0].width =
            EM_ASM_INT({ return Math.round(screen.availWidth * (window.devicePixelRatio || 1)); });
        areas[0].height =
            EM_ASM_INT({ return Math.round(screen.availHeight * (window.devicePixelRatio || 1)); });
        return 1;
    }
    // A tab is closed by the browser without asking the page.
    bool IsOpen() override { return open_; }
    bool IsIconified() override { return open_ && PageHidden(); }
    // A visible page counts as focused: a tab that is shown is the one being played.
    bool IsFocused() override { return open_ && !PageHidden(); }
    void SwapBuffers() override { glfw_->SwapBuffers(); }
    void Terminate() override {
        open_ = false;
        glfw_->Terminate();
    }

    double Time() override { return (emscripten_get_now() - start_) / 1000.0; }
    // The browser calls the loop once per animation frame; nothing may block between them.
    void Sleep(double seconds) override {}
    void SetListener(PlatformEvents* listener) override { queue_.SetTarget(listener); }
    void PollEvents() override {
        // Fitted here rather than on the page's resize event: that event waits for the browser's
        // next rendering step, which a busy page may not get for many frames, while the canvas's
        // laid-out size is there at once.
        if (open_) {
            EM_ASM({
                if (Module.vexmoFitCanvas) Module.vexmoFitCanvas();
            });
        }
        glfw_->PollEvents();
        queue_.Deliver();
    }
    void WaitEvents() override { PollEvents(); }

    // The first finger's place until the mouse moves again.
    void GetCursorPos(double* x, double* y) override {
        glfw_->GetCursorPos(x, y);
        if (!fingerPoints_) return;
        if (*x != mouseAtFinger_[0] || *y != mouseAtFinger_[1]) {
            fingerPoints_ = false;
            return;
        }
        *x = finger_[0];
        *y = finger_[1];
    }
    int GetJoystickAxes(float* axes, int max) override { return glfw_->GetJoystickAxes(axes, max); }
    int GetJoystickButtons(unsigned char* buttons, int max) override {
        return glfw_->GetJoystickButtons(buttons, max);
    }

    bool SchedulePasses(void (*pass)()) override {
        // A hidden tab gets no animation frames, so the change of visibility runs a pass of its
        // own: that pass suspends the game (audio paused) at once.
        scheduledPass_ = pass;
        emscripten_set_visibilitychange_callback(
            nullptr, 0, [](int, const EmscriptenVisibilityChangeEvent*, void*) -> EM_BOOL {
                if (scheduledPass_) scheduledPass_();
                return 0;
            });
        // Animation frames; the last argument unwinds the caller's stack and never returns, so
        // nothing after start-up shuts the page's audio or GL down.
        emscripten_set_main_loop(pass, 0, 1);
        return true;
    }
    std::string KeepSavedState() override {
        const bool kept = EM_ASM_INT({
                              if (!Module.vexmoSaves || !Module.vexmoSaves.enabled) return 0;
                              Module.vexmoSyncSaves();
                              return 1;
                          }) != 0;
        return kept ? std::string() : std::string("this browser refuses storage");
    }

private:
    static bool PageHidden() {
        return EM_ASM_INT({ return document.hidden ? 1 : 0; }) != 0;
    }

    void PointAt(double x, double y) {
        glfw_->GetCursorPos(&mouseAtFinger_[0], &mouseAtFinger_[1]);
        finger_[0] = x;
        finger_[1] = y;
        fingerPoints_ = true;
    }

    static inline void (*scheduledPass_)() = nullptr;
    std::unique_ptr<Platform> glfw_;
    EventQueue queue_;
    FingerSlots fingers_;
    bool fingerPoints_ = false;
    double finger_[2] = {};
    double mouseAtFinger_[2] = {};
    double start_ = 0.0;
    bool open_ = false;
};

}  // namespace

// Called by the page's touch and wheel handlers (web/pre.js).
extern "C" {
EMSCRIPTEN_KEEPALIVE void vexmo_page_finger(int phase, int id, double x, double y) {
    if (page) page->OnPageFinger(phase, id, x, y);
}
EMSCRIPTEN_KEEPALIVE void vexmo_page_wheel(double notches) {
    if (page) page->OnPageWheel(notches);
}
}

std::unique_ptr<Platform> NewBrowserPlatform() {
    return std::make_unique<BrowserPlatform>();
}

bool BrowserAddressHas(const char* option) {
    return EM_ASM_INT(
               {
                   var params = new URLSearchParams(location.search);
                   return params.has(UTF8ToString($0)) ? 1 : 0;
               },
               option) != 0;
}

std::string BrowserAddressValue(const char* option) {
    const int size = EM_ASM_INT(
        {
            var value = new URLSearchParams(location.search).get(UTF8ToString($0)) || "";
            return lengthBytesUTF8(value) + 1;
        },
        option);
    std::string text(static_cast<std::size_t>(size), '\0');
    EM_ASM(
        {
            var value = new URLSearchParams(location.search).get(UTF8ToString($0)) || "";
            stringToUTF8(value, $1, $2);
        },
        option, text.data(), size);
    text.resize(static_cast<std::size_t>(size - 1));
    return text;
}
