// The playing side of replays: a platform wrapper that answers the game's readings from a tape
// instead of the world, and runs the tape's steps (hooks and events) in their recorded order.
// The window it wraps only shows what is drawn: its events never reach the game (Space, the
// right arrow and Escape steer the watching instead), and the size the game sees is the size
// the tape was recorded at.
//
// Before the tape starts (Free mode) the game sees a still world: a clock that advances one
// update period per update, the cursor at 0,0, no pad, so a game can be brought to the
// recorded starting point without anything from outside.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/app_host.h"
#include "host/replay_tape.h"
#include "platform/forwarding_platform.h"

class ReplayPlayer final : public ForwardingPlatform {
public:
    // What the watcher asked with the keys of the window it watches in.
    struct Controls {
        bool paused = false;
        bool fast = false;
        bool stopped = false;
    };

    ReplayPlayer(Platform& inner, const std::vector<uint8_t>* tape, const int size[4]);

    // Free mode: one update period passes.
    void AdvanceFreeClock(double seconds) { freeTime_ += seconds; }
    // From now on the readings come from the tape.
    void StartTape() { taped_ = true; }

    // Runs the next step of the tape on `app`: a hook, or an event given to the host. Returns
    // false at the tape's end or at a failure (see Failed).
    bool Step(gxtkApp& app);
    // The step just run was an update / a render.
    bool SteppedUpdate() const { return lastStep_ == TapeTag::kUpdate; }
    bool SteppedRender() const { return lastStep_ == TapeTag::kRender; }
    long Updates() const { return updates_; }
    bool Failed() const { return tape_.Failed(); }
    const std::string& Why() const { return tape_.Why(); }

    const Controls& Watching() const { return controls_; }
    bool NextIsUpdate() const { return tape_.Peek() == TapeTag::kUpdate; }
    // The watching window's own clock, for pacing.
    double WallTime() { return Inner().Time(); }
    void WallSleep(double seconds) { Inner().Sleep(seconds); }

    // The window opens at the recorded size.
    bool OpenWindow(int width, int height, const std::string& title) override;
    void GetWindowSize(int* width, int* height) override;
    void GetFramebufferSize(int* width, int* height) override;
    bool IsOpen() override { return Inner().IsOpen() && !controls_.stopped; }
    bool IsIconified() override { return false; }
    bool IsFocused() override { return true; }
    double Time() override;
    void Sleep(double seconds) override {}
    void SetListener(PlatformEvents* listener) override;
    void GetCursorPos(double* x, double* y) override;
    int GetJoystickAxes(float* axes, int max) override;
    int GetJoystickButtons(unsigned char* buttons, int max) override;
    bool GetGamepadState(GamepadState* state) override;
    bool IsKeyDown(int glfwKey) override;
    bool IsFullscreen() override;
    bool SetFullscreen(bool fullscreen) override;
    bool GetWindowPos(int* x, int* y) override;
    int GetWorkAreas(MonitorArea* areas, int max) override;
    std::string KeepSavedState() override { return std::string(); }

private:
    class WatchKeys;
    // Events recorded inside a hook (an autopilot's button, sent as it moves the pointer) come
    // before the reading they preceded.
    void DeliverPendingEvents();
    void DeliverEvent(TapeTag tag);
    bool Reading(TapeTag tag);

    TapeReader tape_;
    PlatformEvents* game_ = nullptr;
    WatchKeys* keys_ = nullptr;
    Controls controls_;
    bool taped_ = false;
    double freeTime_ = 1.0;
    int size_[4] = {640, 480, 640, 480};
    bool fullscreen_ = false;
    long updates_ = 0;
    TapeTag lastStep_ = TapeTag::kEnd;

public:
    ~ReplayPlayer() override;
    ReplayPlayer(const ReplayPlayer&) = delete;
    ReplayPlayer& operator=(const ReplayPlayer&) = delete;
};
