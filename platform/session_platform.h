// A platform that wraps the real one for automated sessions: it can end the program after a
// number of updates, keep the last frame drawn for a screenshot, and let a pilot steer the
// pointer and the left button. The pilot's moves travel the same way a hand's do: the cursor
// position the input device samples, and button events delivered to the host's listener.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/forwarding_platform.h"

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

class SessionPlatform final : public ForwardingPlatform {
public:
    explicit SessionPlatform(Platform& inner) : ForwardingPlatform(inner) {}

    // 0 runs until the window closes.
    void SetUpdateLimit(long updates) { updateLimit_ = updates; }
    void SetPilot(InputPilot* pilot) { pilot_ = pilot; }
    // Read back every frame before it is shown, so the last one is at hand at exit.
    void SetCaptureFrames(bool capture) { captureFrames_ = capture; }

    long Updates() const { return updates_; }
    const FrameCapture& LastFrame() const { return lastFrame_; }

    // The limit ends the session like a close request: the loop finishes its pass and returns.
    bool IsOpen() override {
        return Inner().IsOpen() && (updateLimit_ <= 0 || updates_ < updateLimit_);
    }
    void SwapBuffers() override;
    void SetListener(PlatformEvents* listener) override;
    // The input device samples the pointer exactly once per update, so this is where updates
    // are counted and where the pilot takes its turn.
    void GetCursorPos(double* x, double* y) override;

private:
    void CaptureBackBuffer();

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

// Writes the capture as an opaque PNG, through a temporary file renamed into place. False, with
// the reason in *why, when there is nothing to write or the file cannot be written (then no
// file, whole or partial, is left).
bool WriteFramePng(const FrameCapture& frame, const std::string& path, std::string* why = nullptr);
