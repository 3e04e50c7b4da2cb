// The recording side of replays: a platform wrapper that sees every reading the game makes of
// the outside world (the clock, the cursor, the joystick and pad, held keys, the window mode)
// and every event the window delivers, and writes them to a tape while a game is being
// recorded. The frame loop's own clock readings, made between hooks to pace itself, pass by
// unrecorded: a replay plays its hooks in order and needs no pacing.
//
// The clock and the cursor the game sees are always rounded the way the tape keeps them
// (whole milliseconds, sixteenths of a unit), recording or not, so a game plays the same from
// its first update whether or not a tape was running when it began.
#pragma once

#include <cstdint>
#include <vector>

#include "host/app_host.h"
#include "host/replay_tape.h"
#include "platform/forwarding_platform.h"

class ReplayRecorder final : public ForwardingPlatform, public HookObserver {
public:
    explicit ReplayRecorder(Platform& inner);
    ~ReplayRecorder() override;
    // It is the host's one hook observer and owns its event forwarder: never copied.
    ReplayRecorder(const ReplayRecorder&) = delete;
    ReplayRecorder& operator=(const ReplayRecorder&) = delete;

    // Starts a tape at the end of the hook now running (or at once between hooks); the window's
    // size is its first step.
    void BeginTape();
    // Ends the tape now; the hook running is its last. Returns the tape's bytes (empty when
    // none ran) and how many updates it holds.
    std::vector<uint8_t> EndTape(long* updates);
    bool Taping() const { return taping_; }
    long TapedUpdates() const { return updates_; }
    // The size the tape started at: window units, then drawable pixels.
    void StartSize(int size[4]) const;

    // HookObserver.
    void OnHookBegin(Hook hook) override;
    void OnHookEnd() override;

    // Readings.
    double Time() override;
    void GetCursorPos(double* x, double* y) override;
    int GetJoystickAxes(float* axes, int max) override;
    int GetJoystickButtons(unsigned char* buttons, int max) override;
    bool GetGamepadState(GamepadState* state) override;
    bool IsKeyDown(int glfwKey) override;
    bool IsFullscreen() override;
    bool SetFullscreen(bool fullscreen) override;
    // Where the window sits reaches the saved settings, so a replay carries it too.
    bool GetWindowPos(int* x, int* y) override;
    int GetWorkAreas(MonitorArea* areas, int max) override;
    void SetListener(PlatformEvents* listener) override;

private:
    class Events;
    friend class Events;
    bool Recording() const { return taping_ && depth_ > 0; }
    void NoteSize();
    void EventBegins();
    void EventEnds();

    // About twenty minutes of play before the buffer has to grow.
    TapeWriter tape_{1 << 20};
    PlatformEvents* listener_ = nullptr;
    Events* events_ = nullptr;
    int depth_ = 0;  // hooks and events running (a hook may run inside none, an event in none)
    bool taping_ = false;
    bool startPending_ = false;
    long updates_ = 0;
    int size_[4] = {0, 0, 0, 0};
    int startSize_[4] = {0, 0, 0, 0};
};
