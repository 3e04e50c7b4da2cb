#include "host/platform_glfw.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

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
        if (!glfwJoystickPresent(GLFW_JOYSTICK_1)) return 0;
        int count = 0;
        const float* raw = glfwGetJoystickAxes(GLFW_JOYSTICK_1, &count);
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
        if (!glfwJoystickPresent(GLFW_JOYSTICK_1)) return 0;
        int count = 0;
        const unsigned char* raw = glfwGetJoystickButtons(GLFW_JOYSTICK_1, &count);
        if (!raw) return 0;
        std::copy(raw, raw + std::min(count, max), buttons);
        return count;
    }

private:
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
};

}  // namespace

std::unique_ptr<Platform> NewGlfwPlatform() {
    return std::make_unique<GlfwPlatform>();
}
