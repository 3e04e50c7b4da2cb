// A platform that wraps the real one for automated sessions: it can end the program after a
// number of updates, keep the last frame drawn for a screenshot, and let a pilot steer the
// pointer and the left button. The pilot's moves travel the same way a hand's do: the cursor
// position the input device samples, and button events delivered to the host's listener.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// Decides, once per update, where the pointer is and whether the left button is held.
class InputPilot {
public:
    virtual ~InputPilot() = default;
    // Works in the device's pixels (the framebuffer, which a scaled display has more of than
    // window units): the size given, and the pointer position, which holds the previous one
    // on entry.
    virtual void Steer(int windowWidth, int windowHeight, double* x, double* y,
                       bool* buttonHeld) = 0;
};

// The last frame read back from the window, rows top-first, RGBA.
struct FrameCapture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    bool Empty() const { return width <= 0 || height <= 0; }
};

class SessionPlatform final : public Platform {
public:
    explicit SessionPlatform(Platform& inner) : inner_(inner) {}

    // 0 runs until the window closes.
    void SetUpdateLimit(long updates) { updateLimit_ = updates; }
    void SetPilot(InputPilot* pilot) { pilot_ = pilot; }
    // Read back every frame before it is shown, so the last one is at hand at exit.
    void SetCaptureFrames(bool capture) { captureFrames_ = capture; }

    long Updates() const { return updates_; }
    const FrameCapture& LastFrame() const { return lastFrame_; }

    bool Init() override { return inner_.Init(); }
    bool OpenWindow(int width, int height, const std::string& title) override {
        return inner_.OpenWindow(width, height, title);
    }
    void SetWindowPos(int x, int y) override { inner_.SetWindowPos(x, y); }
    void GetDesktopSize(int* width, int* height) override { inner_.GetDesktopSize(width, height); }
    void GetWindowSize(int* width, int* height) override { inner_.GetWindowSize(width, height); }
    // The limit ends the session like a close request: the loop finishes its pass and returns.
    bool IsOpen() override {
        return inner_.IsOpen() && (updateLimit_ <= 0 || updates_ < updateLimit_);
    }
    bool IsIconified() override { return inner_.IsIconified(); }
    bool IsFocused() override { return inner_.IsFocused(); }
    void SwapBuffers() override;
    void Terminate() override { inner_.Terminate(); }
    double Time() override { return inner_.Time(); }
    void Sleep(double seconds) override { inner_.Sleep(seconds); }
    void SetListener(PlatformEvents* listener) override;
    void PollEvents() override { inner_.PollEvents(); }
    void WaitEvents() override { inner_.WaitEvents(); }
    // The input device samples the pointer exactly once per update, so this is where updates
    // are counted and where the pilot takes its turn.
    void GetCursorPos(double* x, double* y) override;
    int GetJoystickAxes(float* axes, int max) override { return inner_.GetJoystickAxes(axes, max); }
    int GetJoystickButtons(unsigned char* buttons, int max) override {
        return inner_.GetJoystickButtons(buttons, max);
    }
    // Gamepads pass straight through.
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
    bool SchedulePasses(void (*pass)()) override { return inner_.SchedulePasses(pass); }
    std::string KeepSavedState() override { return inner_.KeepSavedState(); }

private:
    void CaptureBackBuffer();

    Platform& inner_;
    PlatformEvents* listener_ = nullptr;
    InputPilot* pilot_ = nullptr;
    long updateLimit_ = 0;
    long updates_ = 0;
    bool captureFrames_ = false;
    double pilotX_ = 0.0;
    double pilotY_ = 0.0;
    bool pilotHeld_ = false;
    FrameCapture lastFrame_;
};

// Writes the capture as an opaque PNG. False when there is nothing to write or the file cannot
// be written.
bool WriteFramePng(const FrameCapture& frame, const std::string& path);
