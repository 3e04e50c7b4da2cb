// The base of every platform that wraps another one (automated sessions, recorders, measuring
// benches): each call goes to the inner platform, so a wrapper overrides only what it changes
// and a call added to Platform is forwarded everywhere at once.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

class ForwardingPlatform : public Platform {
public:
    explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

    bool Init() override { return inner_.Init(); }
    bool OpenWindow(int width, int height, const std::string& title) override {
        return inner_.OpenWindow(width, height, title);
    }
    void SetWindowPos(int x, int y) override { inner_.SetWindowPos(x, y); }
    void GetDesktopSize(int* width, int* height) override { inner_.GetDesktopSize(width, height); }
    void GetWindowSize(int* width, int* height) override { inner_.GetWindowSize(width, height); }
    bool IsOpen() override { return inner_.IsOpen(); }
    bool IsIconified() override { return inner_.IsIconified(); }
    bool IsFocused() override { return inner_.IsFocused(); }
    void SwapBuffers() override { inner_.SwapBuffers(); }
    void Terminate() override { inner_.Terminate(); }
    double Time() override { return inner_.Time(); }
    void Sleep(double seconds) override { inner_.Sleep(seconds); }
    void SetListener(PlatformEvents* listener) override { inner_.SetListener(listener); }
    void PollEvents() override { inner_.PollEvents(); }
    void WaitEvents() override { inner_.WaitEvents(); }
    void GetCursorPos(double* x, double* y) override { inner_.GetCursorPos(x, y); }
    int GetJoystickAxes(float* axes, int max) override { return inner_.GetJoystickAxes(axes, max); }
    int GetJoystickButtons(unsigned char* buttons, int max) override {
        return inner_.GetJoystickButtons(buttons, max);
    }
    bool GetGamepadState(GamepadState* state) override { return inner_.GetGamepadState(state); }
    bool TakesGamepadMappings() override { return inner_.TakesGamepadMappings(); }
    bool AddGamepadMapping(const std::string& line, std::string* error) override {
        return inner_.AddGamepadMapping(line, error);
    }
    void GetFramebufferSize(int* width, int* height) override {
        inner_.GetFramebufferSize(width, height);
    }
    bool SetFullscreen(bool fullscreen) override { return inner_.SetFullscreen(fullscreen); }
    bool IsFullscreen() override { return inner_.IsFullscreen(); }
    void SetWindowIcon(const std::vector<IconImage>& images) override {
        inner_.SetWindowIcon(images);
    }
    bool IsKeyDown(int glfwKey) override { return inner_.IsKeyDown(glfwKey); }
    bool GetWindowPos(int* x, int* y) override { return inner_.GetWindowPos(x, y); }
    void SetWindowSize(int width, int height) override { inner_.SetWindowSize(width, height); }
    int GetWorkAreas(MonitorArea* areas, int max) override {
        return inner_.GetWorkAreas(areas, max);
    }
    bool CanClose() override { return inner_.CanClose(); }
    void RequestClose() override { inner_.RequestClose(); }
    bool SchedulePasses(void (*pass)()) override { return inner_.SchedulePasses(pass); }
    std::string KeepSavedState() override { return inner_.KeepSavedState(); }

protected:
    Platform& Inner() { return inner_; }

private:
    Platform& inner_;
};
