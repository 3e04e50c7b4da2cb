#include "platform/platform_glfw.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/key_tokens.h"
#include "platform/monitor_choice.h"

namespace {

// The input device translates these numbers without seeing GLFW's header.
static_assert(KeyToken::kSpace == GLFW_KEY_SPACE && KeyToken::kApostrophe == GLFW_KEY_APOSTROPHE);
static_assert(KeyToken::kComma == GLFW_KEY_COMMA && KeyToken::kSlash == GLFW_KEY_SLASH);
static_assert(KeyToken::k0 == GLFW_KEY_0 && KeyToken::k9 == GLFW_KEY_9);
static_assert(KeyToken::kSemicolon == GLFW_KEY_SEMICOLON && KeyToken::kEqual == GLFW_KEY_EQUAL);
static_assert(KeyToken::kA == GLFW_KEY_A && KeyToken::kZ == GLFW_KEY_Z);
static_assert(KeyToken::kLeftBracket == GLFW_KEY_LEFT_BRACKET);
static_assert(KeyToken::kBackslash == GLFW_KEY_BACKSLASH);
static_assert(KeyToken::kRightBracket == GLFW_KEY_RIGHT_BRACKET);
static_assert(KeyToken::kGraveAccent == GLFW_KEY_GRAVE_ACCENT);
static_assert(KeyToken::kEscape == GLFW_KEY_ESCAPE && KeyToken::kEnter == GLFW_KEY_ENTER);
static_assert(KeyToken::kTab == GLFW_KEY_TAB && KeyToken::kBackspace == GLFW_KEY_BACKSPACE);
static_assert(KeyToken::kInsert == GLFW_KEY_INSERT && KeyToken::kDelete == GLFW_KEY_DELETE);
static_assert(KeyToken::kRight == GLFW_KEY_RIGHT && KeyToken::kLeft == GLFW_KEY_LEFT);
static_assert(KeyToken::kDown == GLFW_KEY_DOWN && KeyToken::kUp == GLFW_KEY_UP);
static_assert(KeyToken::kPageUp == GLFW_KEY_PAGE_UP && KeyToken::kPageDown == GLFW_KEY_PAGE_DOWN);
static_assert(KeyToken::kHome == GLFW_KEY_HOME && KeyToken::kEnd == GLFW_KEY_END);
static_assert(KeyToken::kF1 == GLFW_KEY_F1 && KeyToken::kF12 == GLFW_KEY_F12);
static_assert(KeyToken::kF13 == GLFW_KEY_F13 && KeyToken::kKeypad0 == GLFW_KEY_KP_0);
static_assert(KeyToken::kLeftShift == GLFW_KEY_LEFT_SHIFT);
static_assert(KeyToken::kRightShift == GLFW_KEY_RIGHT_SHIFT);
static_assert(KeyToken::kLeftControl == GLFW_KEY_LEFT_CONTROL);
static_assert(KeyToken::kRightControl == GLFW_KEY_RIGHT_CONTROL);
static_assert(KeyToken::kLeftAlt == GLFW_KEY_LEFT_ALT && KeyToken::kRightAlt == GLFW_KEY_RIGHT_ALT);
static_assert(KeyToken::kLast == GLFW_KEY_LAST);
static_assert(Platform::kPress == GLFW_PRESS && Platform::kRelease == GLFW_RELEASE);

// GLFW 3.3 brought the gamepad API; with an older GLFW (the browser build's) every pad reads raw.
#ifdef GLFW_GAMEPAD_BUTTON_A
#define VEXMO_GLFW_GAMEPADS 1
#else
#define VEXMO_GLFW_GAMEPADS 0
#endif

#if VEXMO_GLFW_GAMEPADS
// Gamepad states are copied across index for index.
static_assert(GamepadState::kA == GLFW_GAMEPAD_BUTTON_A &&
              GamepadState::kY == GLFW_GAMEPAD_BUTTON_Y);
static_assert(GamepadState::kLeftBumper == GLFW_GAMEPAD_BUTTON_LEFT_BUMPER);
static_assert(GamepadState::kStart == GLFW_GAMEPAD_BUTTON_START);
static_assert(GamepadState::kGuide == GLFW_GAMEPAD_BUTTON_GUIDE);
static_assert(GamepadState::kDpadUp == GLFW_GAMEPAD_BUTTON_DPAD_UP);
static_assert(GamepadState::kDpadLeft == GLFW_GAMEPAD_BUTTON_DPAD_LEFT);
static_assert(GamepadState::kButtonCount == GLFW_GAMEPAD_BUTTON_LAST + 1);
static_assert(GamepadState::kLeftX == GLFW_GAMEPAD_AXIS_LEFT_X);
static_assert(GamepadState::kRightY == GLFW_GAMEPAD_AXIS_RIGHT_Y);
static_assert(GamepadState::kLeftTrigger == GLFW_GAMEPAD_AXIS_LEFT_TRIGGER);
static_assert(GamepadState::kAxisCount == GLFW_GAMEPAD_AXIS_LAST + 1);

// The GLFW errors raised inside a call that wants to report them; GLFW runs its error callback
// on the calling thread, inside that call.
struct GlfwErrorCatch {
    int count = 0;
    std::string first;
};
GlfwErrorCatch* errorCatch = nullptr;
#endif

class GlfwPlatform final : public Platform {
public:
    ~GlfwPlatform() override { Terminate(); }

    bool Init() override {
        initialised_ = glfwInit() == GLFW_TRUE;
        return initialised_;
    }

    bool OpenWindow(int width, int height, const std::string& title) override {
        if (!initialised_) return false;
        glfwDefaultWindowHints();
        glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
        // Colour bits stay at the driver's default; the game draws in 2D only.
        glfwWindowHint(GLFW_DEPTH_BITS, 0);
        glfwWindowHint(GLFW_STENCIL_BITS, 0);
        window_ = glfwCreateWindow(width, height, title.c_str(), nullptr, nullptr);
        if (!window_) return false;
        glfwMakeContextCurrent(window_);
        glfwSetWindowUserPointer(window_, this);
        InstallCallbacks();
        InstallWheelCallback();
        return true;
    }

    void SetWindowPos(int x, int y) override {
        if (window_) glfwSetWindowPos(window_, x, y);
    }

    void GetDesktopSize(int* width, int* height) override {
        *width = 0;
        *height = 0;
        GLFWmonitor* monitor = glfwGetPrimaryMonitor();
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (!mode) return;
        *width = mode->width;
        *height = mode->height;
    }

    void GetWindowSize(int* width, int* height) override {
        *width = 0;
        *height = 0;
        if (window_) glfwGetWindowSize(window_, width, height);
    }

    bool IsOpen() override { return window_ && !glfwWindowShouldClose(window_); }
    bool IsIconified() override {
        return window_ && glfwGetWindowAttrib(window_, GLFW_ICONIFIED) == GLFW_TRUE;
    }
    bool IsFocused() override {
        return window_ && glfwGetWindowAttrib(window_, GLFW_FOCUSED) == GLFW_TRUE;
    }
    void SwapBuffers() override {
        if (window_) glfwSwapBuffers(window_);
    }

    void Terminate() override {
        if (!initialised_) return;
        glfwTerminate();  // also destroys the window
        window_ = nullptr;
        initialised_ = false;
    }

    double Time() override { return glfwGetTime(); }

    void Sleep(double seconds) override {
        if (seconds <= 0.0) return;
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }

    void SetListener(PlatformEvents* listener) override { listener_ = listener; }
    void PollEvents() override { glfwPollEvents(); }
    void WaitEvents() override { glfwWaitEvents(); }

    void GetCursorPos(double* x, double* y) override {
        *x = 0.0;
        *y = 0.0;
        if (window_) glfwGetCursorPos(window_, x, y);
    }

    int GetJoystickAxes(float* axes, int max) override {
        const int joystick = FirstJoystick();
        if (joystick < 0) return 0;
        int count = 0;
        const float* raw = glfwGetJoystickAxes(joystick, &count);
        if (!raw) return 0;
        const int n = std::min(count, max);
        for (int i = 0; i < n; ++i) {
            // The game reads stick y as "up is positive", the older joystick convention;
            // GLFW 3 reports the odd (y) axes with down positive.
            axes[i] = (i % 2 == 1) ? -raw[i] : raw[i];
        }
        return count;
    }

    int GetJoystickButtons(unsigned char* buttons, int max) override {
        const int joystick = FirstJoystick();
        if (joystick < 0) return 0;
        int count = 0;
        const unsigned char* raw = glfwGetJoystickButtons(joystick, &count);
        if (!raw) return 0;
        std::copy(raw, raw + std::min(count, max), buttons);
        return count;
    }

    // --- Gamepads ----------------------------------------------------------------------
    // GLFW knows a pad's layout from its built-in mapping database and from the lines added
    // below; glfwJoystickIsGamepad is true only for pads it has a mapping for.
#if VEXMO_GLFW_GAMEPADS
    bool GetGamepadState(GamepadState* state) override {
        const int joystick = FirstJoystick();
        if (joystick < 0 || !glfwJoystickIsGamepad(joystick)) return false;
        GLFWgamepadstate raw;
        if (!glfwGetGamepadState(joystick, &raw)) return false;
        std::copy(std::begin(raw.buttons), std::end(raw.buttons), state->buttons);
        std::copy(std::begin(raw.axes), std::end(raw.axes), state->axes);
        return true;
    }

    bool TakesGamepadMappings() override {
        return initialised_;
    }

    bool AddGamepadMapping(const std::string& line, std::string* error) override {
        if (!initialised_) return false;
        // GLFW accepts the call and reports a bad line only through its error callback.
        GlfwErrorCatch caught;
        errorCatch = &caught;
        const GLFWerrorfun previous = glfwSetErrorCallback([](int, const char* description) {
            if (!errorCatch) return;
            if (errorCatch->count++ == 0) errorCatch->first = description ? description : "";
        });
        const bool called = glfwUpdateGamepadMappings(line.c_str()) == GLFW_TRUE;
        glfwSetErrorCallback(previous);
        errorCatch = nullptr;
        if (called && caught.count == 0) return true;
        if (error) *error = caught.first.empty() ? "rejected" : caught.first;
        return false;
    }

#endif

    // The first joystick GLFW has in any slot, or -1. A pad plugged in while the game runs is
    // used from the next update on, and when the pad in the first slot is pulled out, one still
    // plugged into a later slot takes over.
    static int FirstJoystick() {
        for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick) {
            if (glfwJoystickPresent(joystick)) return joystick;
        }
        return -1;
    }

    // --- Display: framebuffer, fullscreen, icon -----------------------------------------

    void GetFramebufferSize(int* width, int* height) override {
        *width = 0;
        *height = 0;
        if (window_) glfwGetFramebufferSize(window_, width, height);
    }

    bool SetFullscreen(bool fullscreen) override {
        if (!window_) return false;
        if (fullscreen == IsFullscreen()) return true;
        if (!fullscreen) {
            glfwSetWindowMonitor(window_, nullptr, windowedX_, windowedY_, windowedWidth_,
                                 windowedHeight_, GLFW_DONT_CARE);
            return !IsFullscreen();
        }
        GLFWmonitor* monitor = MonitorUnderWindow();
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (!mode) return false;
        glfwGetWindowPos(window_, &windowedX_, &windowedY_);
        glfwGetWindowSize(window_, &windowedWidth_, &windowedHeight_);
        // The monitor's current mode, so the display is not switched to another resolution.
        const int refresh = mode->refreshRate > 0 ? mode->refreshRate : GLFW_DONT_CARE;
        glfwSetWindowMonitor(window_, monitor, 0, 0, mode->width, mode->height, refresh);
        return IsFullscreen();
    }

    bool IsFullscreen() override {
        return window_ && glfwGetWindowMonitor(window_) != nullptr;
    }

    void SetWindowIcon(const std::vector<IconImage>& images) override {
        if (!window_) return;
        std::vector<GLFWimage> pictures;
        for (const IconImage& image : images) {
            const size_t bytes = static_cast<size_t>(image.width) * image.height * 4;
            if (image.width <= 0 || image.height <= 0 || image.rgba.size() < bytes) continue;
            // GLFW only reads the pixels, during the call.
            pictures.push_back(GLFWimage{image.width, image.height,
                                         const_cast<unsigned char*>(image.rgba.data())});
        }
        glfwSetWindowIcon(window_, static_cast<int>(pictures.size()),
                          pictures.empty() ? nullptr : pictures.data());
    }

    bool IsKeyDown(int glfwKey) override {
        // Outside GLFW's key range the query would only raise an error.
        if (!window_ || glfwKey < GLFW_KEY_SPACE || glfwKey > GLFW_KEY_LAST) return false;
        return glfwGetKey(window_, glfwKey) == GLFW_PRESS;
    }

    bool GetWindowPos(int* x, int* y) override {
        *x = 0;
        *y = 0;
        if (!window_) return false;
        glfwGetWindowPos(window_, x, y);
        return true;
    }

    void SetWindowSize(int width, int height) override {
        if (window_ && width > 0 && height > 0) glfwSetWindowSize(window_, width, height);
    }

    // GLFW lists the primary monitor first.
    int GetWorkAreas(MonitorArea* areas, int max) override {
        int count = 0;
        GLFWmonitor** monitors = glfwGetMonitors(&count);
        int filled = 0;
        for (int i = 0; i < count && filled < max; ++i) {
            MonitorArea& area = areas[filled];
#if GLFW_VERSION_MAJOR > 3 || (GLFW_VERSION_MAJOR == 3 && GLFW_VERSION_MINOR >= 3)
            glfwGetMonitorWorkarea(monitors[i], &area.x, &area.y, &area.width, &area.height);
#else
            // The browser's GLFW 3.2 knows no work area: the whole monitor stands in for it.
            glfwGetMonitorPos(monitors[i], &area.x, &area.y);
            const GLFWvidmode* mode = glfwGetVideoMode(monitors[i]);
            area.width = mode ? mode->width : 0;
            area.height = mode ? mode->height : 0;
#endif
            if (area.width > 0 && area.height > 0) ++filled;
        }
        return filled;
    }

    bool CanClose() override {
        return true;
    }
    void RequestClose() override {
        if (window_) glfwSetWindowShouldClose(window_, GLFW_TRUE);
    }

private:
    // The monitor holding the window's centre; the primary one when GLFW lists none.
    GLFWmonitor* MonitorUnderWindow() {
        int count = 0;
        GLFWmonitor** monitors = glfwGetMonitors(&count);
        std::vector<MonitorArea> areas;
        for (int i = 0; i < count; ++i) {
            MonitorArea area;
            glfwGetMonitorPos(monitors[i], &area.x, &area.y);
            if (const GLFWvidmode* mode = glfwGetVideoMode(monitors[i])) {
                area.width = mode->width;
                area.height = mode->height;
            }
            areas.push_back(area);
        }
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        glfwGetWindowPos(window_, &x, &y);
        glfwGetWindowSize(window_, &width, &height);
        const int chosen = PickMonitor(areas, x + width / 2, y + height / 2);
        return chosen >= 0 ? monitors[chosen] : glfwGetPrimaryMonitor();
    }

    static GlfwPlatform* From(GLFWwindow* window) {
        return static_cast<GlfwPlatform*>(glfwGetWindowUserPointer(window));
    }
    static PlatformEvents* ListenerOf(GLFWwindow* window) {
        GlfwPlatform* self = From(window);
        return self ? self->listener_ : nullptr;
    }

    void InstallCallbacks() {
        // GLFW 3 delivers events only inside glfwPollEvents/glfwWaitEvents, and reports
        // held keys as repeat actions, which the host treats as further presses.
        glfwSetKeyCallback(window_, [](GLFWwindow* w, int key, int, int action, int) {
            if (PlatformEvents* l = ListenerOf(w)) l->OnKey(key, ToAction(action));
        });
        glfwSetCharCallback(window_, [](GLFWwindow* w, unsigned int codepoint) {
            if (PlatformEvents* l = ListenerOf(w)) l->OnChar(codepoint);
        });
        glfwSetMouseButtonCallback(window_, [](GLFWwindow* w, int button, int action, int) {
            if (PlatformEvents* l = ListenerOf(w)) l->OnMouseButton(button, ToAction(action));
        });
        glfwSetWindowSizeCallback(window_, [](GLFWwindow* w, int width, int height) {
            if (PlatformEvents* l = ListenerOf(w)) l->OnWindowSize(width, height);
        });
        glfwSetWindowRefreshCallback(window_, [](GLFWwindow* w) {
            if (PlatformEvents* l = ListenerOf(w)) l->OnWindowRefresh();
        });
    }

    void InstallWheelCallback() {
        glfwSetScrollCallback(window_, [](GLFWwindow* w, double dx, double dy) {
            if (PlatformEvents* l = ListenerOf(w)) l->OnScroll(dx, dy);
        });
    }

    static int ToAction(int glfwAction) {
        switch (glfwAction) {
            case GLFW_PRESS:
                return kPress;
            case GLFW_REPEAT:
                return kRepeat;
            default:
                return kRelease;
        }
    }

    GLFWwindow* window_ = nullptr;
    bool initialised_ = false;
    PlatformEvents* listener_ = nullptr;
    // The window's place and size before it went fullscreen.
    int windowedX_ = 0;
    int windowedY_ = 0;
    int windowedWidth_ = 0;
    int windowedHeight_ = 0;
};

}  // namespace

std::unique_ptr<Platform> NewGlfwPlatform() {
    return std::make_unique<GlfwPlatform>();
}
