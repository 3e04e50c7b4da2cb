#include "platform/platform_headless.h"

#include <algorithm>
#include <cmath>
#include <utility>

void HeadlessPlatform::SetDesktopSize(int width, int height) {
    desktopWidth_ = width;
    desktopHeight_ = height;
}

bool HeadlessPlatform::Init() {
    initialised_ = !initFails_;
    terminated_ = false;
    return initialised_;
}

bool HeadlessPlatform::OpenWindow(int width, int height, const std::string& title) {
    if (!initialised_ || openFails_) return false;
    width_ = width;
    height_ = height;
    title_ = title;
    open_ = true;
    focused_ = true;  // a new window gets the focus, as under a window manager
    iconified_ = false;
    return true;
}

void HeadlessPlatform::SetWindowPos(int x, int y) {
    windowX_ = x;
    windowY_ = y;
}

void HeadlessPlatform::GetDesktopSize(int* width, int* height) {
    *width = desktopWidth_;
    *height = desktopHeight_;
}

void HeadlessPlatform::GetWindowSize(int* width, int* height) {
    // A closed window has no client area left to report.
    *width = open_ ? width_ : 0;
    *height = open_ ? height_ : 0;
}

void HeadlessPlatform::Terminate() {
    open_ = false;
    initialised_ = false;
    terminated_ = true;
}

void HeadlessPlatform::Sleep(double seconds) {
    ++sleepCount_;
    if (seconds <= 0.0) return;
    time_ += seconds;
    totalSlept_ += seconds;
}

void HeadlessPlatform::Queue(double at, std::function<void()> deliver) {
    queue_.push_back(Event{at, std::move(deliver)});
}

void HeadlessPlatform::QueueKey(int glfwKey, int action, double at) {
    Queue(at, [this, glfwKey, action] {
        if (action == kRelease) {
            keysDown_.erase(glfwKey);
        } else {
            keysDown_.insert(glfwKey);
        }
        if (listener_) listener_->OnKey(glfwKey, action);
    });
}

void HeadlessPlatform::QueueChar(unsigned int codepoint, double at) {
    Queue(at, [this, codepoint] {
        if (listener_) listener_->OnChar(codepoint);
    });
}

void HeadlessPlatform::QueueScroll(double dx, double dy, double at) {
    Queue(at, [this, dx, dy] {
        if (listener_) listener_->OnScroll(dx, dy);
    });
}

void HeadlessPlatform::QueueMouseButton(int button, int action, double at) {
    Queue(at, [this, button, action] {
        if (listener_) listener_->OnMouseButton(button, action);
    });
}

void HeadlessPlatform::QueueCursor(double x, double y, double at) {
    Queue(at, [this, x, y] { SetCursorNow(x, y); });
}

void HeadlessPlatform::QueueWindowSize(int width, int height, double at) {
    Queue(at, [this, width, height] {
        SetWindowSizeNow(width, height);
        if (listener_) listener_->OnWindowSize(width, height);
    });
}

void HeadlessPlatform::QueueRefresh(double at) {
    Queue(at, [this] {
        if (listener_) listener_->OnWindowRefresh();
    });
}

void HeadlessPlatform::QueueIconify(bool iconified, double at) {
    Queue(at, [this, iconified] {
        iconified_ = iconified;
        if (iconified) focused_ = false;  // a minimised window never keeps the focus
    });
}

void HeadlessPlatform::QueueFocus(bool focused, double at) {
    Queue(at, [this, focused] { focused_ = focused; });
}

void HeadlessPlatform::QueueClose(double at) {
    Queue(at, [this] { open_ = false; });
}

void HeadlessPlatform::QueueAction(std::function<void()> action, double at) {
    Queue(at, std::move(action));
}

void HeadlessPlatform::SetWindowSizeNow(int width, int height) {
    width_ = width;
    height_ = height;
}

void HeadlessPlatform::SetCursorNow(double x, double y) {
    cursorX_ = x;
    cursorY_ = y;
}

void HeadlessPlatform::SetJoystick(std::vector<float> axes, std::vector<unsigned char> buttons) {
    joyAxes_ = std::move(axes);
    joyButtons_ = std::move(buttons);
}

void HeadlessPlatform::RemoveJoystick() {
    joyAxes_.clear();
    joyButtons_.clear();
    gamepadMapped_ = false;
}

bool HeadlessPlatform::DeliverDue() {
    // Delivery runs in queue order and stops at the first event not yet due, so a script's
    // order is never reshuffled. Handlers may queue more events; those wait for the next call.
    size_t due = 0;
    while (due < queue_.size() && queue_[due].at <= time_) ++due;
    for (size_t i = 0; i < due; ++i) {
        Event event = std::move(queue_.front());
        queue_.pop_front();
        event.deliver();
    }
    return due > 0;
}

void HeadlessPlatform::PollEvents() {
    ++pollCount_;
    DeliverDue();
}

void HeadlessPlatform::WaitEvents() {
    ++waitCount_;
    if (DeliverDue()) return;
    if (queue_.empty()) {
        open_ = false;
        return;
    }
    time_ = std::max(time_, queue_.front().at);
    DeliverDue();
}

void HeadlessPlatform::GetCursorPos(double* x, double* y) {
    *x = cursorX_;
    *y = cursorY_;
}

int HeadlessPlatform::GetJoystickAxes(float* axes, int max) {
    const int count = static_cast<int>(joyAxes_.size());
    std::copy_n(joyAxes_.begin(), std::min(count, max), axes);
    return count;
}

int HeadlessPlatform::GetJoystickButtons(unsigned char* buttons, int max) {
    const int count = static_cast<int>(joyButtons_.size());
    std::copy_n(joyButtons_.begin(), std::min(count, max), buttons);
    return count;
}

// --- Gamepads ---------------------------------------------------------------------------

void HeadlessPlatform::SetGamepad(const GamepadState& state) {
    gamepad_ = state;
    gamepadMapped_ = true;
}

bool HeadlessPlatform::GetGamepadState(GamepadState* state) {
    if (!gamepadMapped_) return false;
    *state = gamepad_;
    return true;
}

bool HeadlessPlatform::AddGamepadMapping(const std::string& line, std::string* error) {
    if (!initialised_) return false;
    const size_t guidEnd = line.find(',');
    const size_t nameEnd = guidEnd == std::string::npos ? guidEnd : line.find(',', guidEnd + 1);
    if (guidEnd != 32 || nameEnd == std::string::npos) {
        if (error) *error = "not a GUID of 32 characters followed by a name";
        return false;
    }
    gamepadMappings_.push_back(line);
    return true;
}

// --- Display: framebuffer, fullscreen, icon ---------------------------------------------

void HeadlessPlatform::SetMonitors(std::vector<MonitorArea> monitors) {
    monitors_ = std::move(monitors);
    monitorsSet_ = true;
}

std::vector<MonitorArea> HeadlessPlatform::Monitors() const {
    if (monitorsSet_) return monitors_;
    return {MonitorArea{0, 0, desktopWidth_, desktopHeight_}};
}

void HeadlessPlatform::GetFramebufferSize(int* width, int* height) {
    GetWindowSize(width, height);
    *width = static_cast<int>(std::lround(*width * framebufferScale_));
    *height = static_cast<int>(std::lround(*height * framebufferScale_));
}

bool HeadlessPlatform::SetFullscreen(bool fullscreen) {
    if (!open_) return false;
    if (fullscreen == fullscreen_) return true;
    if (!fullscreen) {
        fullscreen_ = false;
        windowX_ = windowedX_;
        windowY_ = windowedY_;
        width_ = windowedWidth_;
        height_ = windowedHeight_;
        return true;
    }
    const std::vector<MonitorArea> monitors = Monitors();
    const int chosen = PickMonitor(monitors, windowX_ + width_ / 2, windowY_ + height_ / 2);
    if (chosen < 0) return false;
    windowedX_ = windowX_;
    windowedY_ = windowY_;
    windowedWidth_ = width_;
    windowedHeight_ = height_;
    const MonitorArea& m = monitors[chosen];
    fullscreen_ = true;
    windowX_ = m.x;
    windowY_ = m.y;
    width_ = m.width;
    height_ = m.height;
    return true;
}

void HeadlessPlatform::SetWindowIcon(const std::vector<IconImage>& images) {
    icons_ = images;
    ++iconSetCount_;
}

void HeadlessPlatform::SetWorkAreas(std::vector<MonitorArea> areas) {
    workAreas_ = std::move(areas);
    workAreasSet_ = true;
}

bool HeadlessPlatform::GetWindowPos(int* x, int* y) {
    *x = windowX_;
    *y = windowY_;
    return open_;
}

int HeadlessPlatform::GetWorkAreas(MonitorArea* areas, int max) {
    const std::vector<MonitorArea> all = workAreasSet_ ? workAreas_ : Monitors();
    int count = 0;
    for (const MonitorArea& area : all) {
        if (count >= max) break;
        areas[count++] = area;
    }
    return count;
}
