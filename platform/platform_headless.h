// A backend with no window system at all, for tests, benchmarks and simulations.
// The clock is scripted: Time() returns a settable value and Sleep() advances it instantly.
// Events are queued with a due time and delivered only inside PollEvents/WaitEvents, the way a
// real window system delivers them. Window state changes (iconify, focus, close, resize) are
// events too, so a script can place them between two passes of the frame loop.
#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/monitor_choice.h"
#include "platform/platform.h"

class HeadlessPlatform final : public Platform {
public:
    HeadlessPlatform() = default;

    // --- Script: start-up -------------------------------------------------------------
    void SetInitFails(bool fails) { initFails_ = fails; }
    void SetOpenWindowFails(bool fails) { openFails_ = fails; }
    void SetDesktopSize(int width, int height);

    // --- Script: clock ----------------------------------------------------------------
    void SetTime(double seconds) { time_ = seconds; }
    void AdvanceTime(double seconds) { time_ += seconds; }
    int SleepCount() const { return sleepCount_; }
    double TotalSlept() const { return totalSlept_; }

    // --- Script: events ---------------------------------------------------------------
    // Each Queue* call adds an event that is due at `at` seconds on the scripted clock
    // (default: already due, so the next poll delivers it). Events keep their queue order.
    static constexpr double kNow = -1.0;
    void QueueKey(int glfwKey, int action, double at = kNow);
    void QueueChar(unsigned int codepoint, double at = kNow);
    void QueueMouseButton(int button, int action, double at = kNow);
    void QueueCursor(double x, double y, double at = kNow);
    void QueueScroll(double dx, double dy, double at = kNow);
    void QueueWindowSize(int width, int height, double at = kNow);
    void QueueRefresh(double at = kNow);
    void QueueIconify(bool iconified, double at = kNow);
    void QueueFocus(bool focused, double at = kNow);
    void QueueClose(double at = kNow);
    // Runs arbitrary script code at delivery time (for example to queue further events).
    void QueueAction(std::function<void()> action, double at = kNow);
    size_t PendingEvents() const { return queue_.size(); }
    int PollCount() const { return pollCount_; }
    int WaitCount() const { return waitCount_; }

    // --- Script: immediate state (no event delivery) -----------------------------------
    void SetWindowSizeNow(int width, int height);
    void SetIconifiedNow(bool iconified) { iconified_ = iconified; }
    void SetFocusedNow(bool focused) { focused_ = focused; }
    void CloseNow() { open_ = false; }
    void SetCursorNow(double x, double y);
    void SetJoystick(std::vector<float> axes, std::vector<unsigned char> buttons);
    void RemoveJoystick();  // also unplugs the gamepad below
    // Why a written record will not last (as a browser refusing storage says); empty: it lasts.
    void SetSavedStateLost(std::string why) { savedStateLost_ = std::move(why); }

    // --- Script: gamepads ---------------------------------------------------------------
    // The joystick becomes a pad with a known mapping, in this state, until RemoveJoystick or
    // ForgetGamepadMapping. Its raw axes and buttons stay whatever SetJoystick gave.
    void SetGamepad(const GamepadState& state);
    void ForgetGamepadMapping() { gamepadMapped_ = false; }
    // Mapping lines taken so far, in order. A line is taken when it starts with a GUID of 32
    // characters and a comma, then a name and a comma (the checks GLFW makes and reports).
    const std::vector<std::string>& GamepadMappings() const { return gamepadMappings_; }

    // --- Observation ------------------------------------------------------------------
    const std::string& Title() const { return title_; }
    int WindowX() const { return windowX_; }
    int WindowY() const { return windowY_; }
    int SwapCount() const { return swapCount_; }
    bool Terminated() const { return terminated_; }

    // --- Platform ---------------------------------------------------------------------
    bool Init() override;
    bool OpenWindow(int width, int height, const std::string& title) override;
    void SetWindowPos(int x, int y) override;
    void GetDesktopSize(int* width, int* height) override;
    void GetWindowSize(int* width, int* height) override;
    bool IsOpen() override { return open_; }
    bool IsIconified() override { return iconified_; }
    bool IsFocused() override { return focused_; }
    void SwapBuffers() override { ++swapCount_; }
    void Terminate() override;
    double Time() override { return time_; }
    void Sleep(double seconds) override;
    void SetListener(PlatformEvents* listener) override { listener_ = listener; }
    // Delivers every queued event that is due by now.
    void PollEvents() override;
    // Delivers what is due; when nothing is, jumps the clock to the next queued event and
    // delivers that. With nothing left to deliver, a real window would block forever, so the
    // headless window closes instead and the frame loop ends.
    void WaitEvents() override;
    void GetCursorPos(double* x, double* y) override;
    int GetJoystickAxes(float* axes, int max) override;
    int GetJoystickButtons(unsigned char* buttons, int max) override;
    bool GetGamepadState(GamepadState* state) override;
    bool TakesGamepadMappings() override { return initialised_; }
    bool AddGamepadMapping(const std::string& line, std::string* error) override;

    // --- Display: framebuffer, fullscreen, icon -----------------------------------------
    // Script: a scaled display has this many framebuffer pixels per window unit (2 for a
    // "retina" screen); the framebuffer follows every change of the window size.
    void SetFramebufferScale(double scale) { framebufferScale_ = scale; }
    // Script: the monitors, primary first. Until this is called there is one monitor, at 0, 0,
    // of the desktop size; an empty list means no monitor at all (fullscreen then fails).
    void SetMonitors(std::vector<MonitorArea> monitors);
    // Script: the work areas, primary first; until this is called they are the monitors.
    void SetWorkAreas(std::vector<MonitorArea> areas);
    // Observation: the icon pictures the game gave the window, and how often it set them.
    const std::vector<IconImage>& Icons() const { return icons_; }
    int IconSetCount() const { return iconSetCount_; }

    void GetFramebufferSize(int* width, int* height) override;
    bool SetFullscreen(bool fullscreen) override;
    bool IsFullscreen() override { return fullscreen_; }
    void SetWindowIcon(const std::vector<IconImage>& images) override;
    // Follows the key events delivered so far.
    bool IsKeyDown(int glfwKey) override { return keysDown_.count(glfwKey) != 0; }
    std::string KeepSavedState() override { return savedStateLost_; }

    // --- Placing and closing: the window resizes as a window system would, by an event ----
    bool GetWindowPos(int* x, int* y) override;
    void SetWindowSize(int width, int height) override { QueueWindowSize(width, height); }
    int GetWorkAreas(MonitorArea* areas, int max) override;
    bool CanClose() override { return true; }
    void RequestClose() override { open_ = false; }

private:
    std::vector<MonitorArea> Monitors() const;

    struct Event {
        double at;
        std::function<void()> deliver;
    };
    void Queue(double at, std::function<void()> deliver);
    bool DeliverDue();

    std::string savedStateLost_;
    bool initFails_ = false;
    bool openFails_ = false;
    bool initialised_ = false;
    bool terminated_ = false;
    bool open_ = false;
    bool iconified_ = false;
    bool focused_ = false;
    int desktopWidth_ = 1280;
    int desktopHeight_ = 1024;
    int width_ = 0;
    int height_ = 0;
    int windowX_ = 0;
    int windowY_ = 0;
    std::string title_;

    double time_ = 0.0;
    int sleepCount_ = 0;
    double totalSlept_ = 0.0;

    std::deque<Event> queue_;
    int pollCount_ = 0;
    int waitCount_ = 0;
    PlatformEvents* listener_ = nullptr;
    int swapCount_ = 0;

    double cursorX_ = 0.0;
    double cursorY_ = 0.0;
    std::vector<float> joyAxes_;
    std::vector<unsigned char> joyButtons_;
    bool gamepadMapped_ = false;
    GamepadState gamepad_;
    std::vector<std::string> gamepadMappings_;

    double framebufferScale_ = 1.0;
    bool monitorsSet_ = false;
    std::vector<MonitorArea> monitors_;
    bool workAreasSet_ = false;
    std::vector<MonitorArea> workAreas_;
    bool fullscreen_ = false;
    // The window's place and size before it went fullscreen.
    int windowedX_ = 0;
    int windowedY_ = 0;
    int windowedWidth_ = 0;
    int windowedHeight_ = 0;
    std::vector<IconImage> icons_;
    int iconSetCount_ = 0;
    std::set<int> keysDown_;
};
