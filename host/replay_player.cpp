#include "host/replay_player.h"

#include <algorithm>

#include "platform/key_tokens.h"

namespace {
// A damaged tape may sum to anything; the sum wraps instead of overflowing.
int64_t Wrapped(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
}  // namespace

// The watching window's keys: Space pauses and goes on, the right arrow is held for 4x,
// Escape stops. Everything else the window sends is left out.
class ReplayPlayer::WatchKeys final : public PlatformEvents {
public:
    explicit WatchKeys(Controls& controls) : controls_(controls) {}
    void OnKey(int key, int action) override {
        if (key == KeyToken::kSpace && action == Platform::kPress) {
            controls_.paused = !controls_.paused;
        } else if (key == KeyToken::kRight && action != Platform::kRepeat) {
            controls_.fast = action == Platform::kPress;
        } else if (key == KeyToken::kEscape && action == Platform::kPress) {
            controls_.stopped = true;
        }
    }

private:
    Controls& controls_;
};

ReplayPlayer::ReplayPlayer(Platform& inner, const std::vector<uint8_t>* tape, const int size[4])
    : ForwardingPlatform(inner), tape_(tape) {
    std::copy(size, size + 4, size_);
    keys_ = new WatchKeys(controls_);
}

ReplayPlayer::~ReplayPlayer() {
    delete keys_;
}

bool ReplayPlayer::OpenWindow(int width, int height, const std::string& title) {
    return Inner().OpenWindow(size_[0], size_[1], title);
}

void ReplayPlayer::GetWindowSize(int* width, int* height) {
    *width = size_[0];
    *height = size_[1];
}

void ReplayPlayer::GetFramebufferSize(int* width, int* height) {
    *width = size_[2];
    *height = size_[3];
}

void ReplayPlayer::SetListener(PlatformEvents* listener) {
    game_ = listener;
    Inner().SetListener(listener ? keys_ : nullptr);
}

bool ReplayPlayer::Step(gxtkApp& app) {
    lastStep_ = TapeTag::kEnd;
    if (tape_.Failed() || tape_.AtEnd()) return false;
    const TapeTag tag = tape_.TakeTag();
    switch (tag) {
        case TapeTag::kUpdate:
            lastStep_ = tag;
            ++updates_;
            app.InvokeOnUpdate();
            break;
        case TapeTag::kRender:
            lastStep_ = tag;
            app.InvokeOnRender();
            break;
        case TapeTag::kSuspend:
            app.InvokeOnSuspend();
            break;
        case TapeTag::kResume:
            app.InvokeOnResume();
            break;
        case TapeTag::kSize:
            for (int& v : size_)
                v = static_cast<int>(std::min<uint64_t>(tape_.Unsigned(), 1 << 16));
            break;
        case TapeTag::kEnd:
            return false;
        default:
            if (!IsTapeStep(tag)) {
                tape_.Fail("the replay does not match this build: a reading was left over");
                return false;
            }
            DeliverEvent(tag);
            break;
    }
    if (tape_.Failed()) return false;
    // A hook that read less than it did when recorded has gone another way too.
    if (!IsTapeStep(tape_.Peek())) {
        tape_.Fail("the replay does not match this build: a reading was left over");
        return false;
    }
    return true;
}

void ReplayPlayer::DeliverEvent(TapeTag tag) {
    switch (tag) {
        case TapeTag::kKey: {
            const int key = static_cast<int>(tape_.Signed());
            const int action = static_cast<int>(tape_.Unsigned());
            if (game_ && !tape_.Failed()) game_->OnKey(key, action);
            break;
        }
        case TapeTag::kChar: {
            const unsigned int codepoint = static_cast<unsigned int>(tape_.Unsigned());
            if (game_ && !tape_.Failed()) game_->OnChar(codepoint);
            break;
        }
        case TapeTag::kButton: {
            const int button = static_cast<int>(tape_.Unsigned());
            const int action = static_cast<int>(tape_.Unsigned());
            if (game_ && !tape_.Failed()) game_->OnMouseButton(button, action);
            break;
        }
        case TapeTag::kScroll: {
            const double dy = tape_.DoubleBits();
            if (game_ && !tape_.Failed()) game_->OnScroll(0, dy);
            break;
        }
        case TapeTag::kTouch: {
            const int finger = static_cast<int>(tape_.Unsigned());
            const int action = static_cast<int>(tape_.Unsigned());
            const double x = tape_.DoubleBits();
            const double y = tape_.DoubleBits();
            if (game_ && !tape_.Failed()) game_->OnTouch(finger, action, x, y);
            break;
        }
        default:
            tape_.Fail("the replay holds a step this build does not know");
            break;
    }
}

void ReplayPlayer::DeliverPendingEvents() {
    for (;;) {
        const TapeTag next = tape_.Peek();
        if (next != TapeTag::kKey && next != TapeTag::kChar && next != TapeTag::kButton &&
            next != TapeTag::kScroll && next != TapeTag::kTouch) {
            return;
        }
        DeliverEvent(tape_.TakeTag());
    }
}

bool ReplayPlayer::Reading(TapeTag tag) {
    if (!taped_) return false;
    DeliverPendingEvents();
    tape_.Expect(tag);
    return true;
}

double ReplayPlayer::Time() {
    if (!Reading(TapeTag::kTime)) return freeTime_;
    tape_.lastMillis = Wrapped(tape_.lastMillis, tape_.Signed());
    return TapeSeconds(tape_.lastMillis);
}

void ReplayPlayer::GetCursorPos(double* x, double* y) {
    if (!Reading(TapeTag::kCursor)) {
        *x = 0;
        *y = 0;
        return;
    }
    tape_.lastCursorX = Wrapped(tape_.lastCursorX, tape_.Signed());
    tape_.lastCursorY = Wrapped(tape_.lastCursorY, tape_.Signed());
    *x = TapeCursorUnits(tape_.lastCursorX);
    *y = TapeCursorUnits(tape_.lastCursorY);
}

int ReplayPlayer::GetJoystickAxes(float* axes, int max) {
    if (!Reading(TapeTag::kJoyAxes)) return 0;
    const uint64_t count = tape_.Unsigned();
    if (count > static_cast<uint64_t>(std::max(0, max))) {
        tape_.Fail("the replay does not match this build: more joystick axes than read");
        return 0;
    }
    for (uint64_t i = 0; i < count; ++i) axes[i] = tape_.FloatBits();
    return static_cast<int>(count);
}

int ReplayPlayer::GetJoystickButtons(unsigned char* buttons, int max) {
    if (!Reading(TapeTag::kJoyButtons)) return 0;
    const uint64_t count = tape_.Unsigned();
    if (count > static_cast<uint64_t>(std::max(0, max))) {
        tape_.Fail("the replay does not match this build: more joystick buttons than read");
        return 0;
    }
    for (uint64_t i = 0; i < count; ++i) buttons[i] = static_cast<unsigned char>(tape_.Unsigned());
    return static_cast<int>(count);
}

bool ReplayPlayer::GetGamepadState(GamepadState* state) {
    if (!Reading(TapeTag::kGamepad)) return false;
    if (tape_.Unsigned() == 0) return false;
    for (unsigned char& b : state->buttons) b = static_cast<unsigned char>(tape_.Unsigned());
    for (float& a : state->axes) a = tape_.FloatBits();
    return !tape_.Failed();
}

bool ReplayPlayer::IsKeyDown(int glfwKey) {
    if (!Reading(TapeTag::kKeyDown)) return false;
    return tape_.Unsigned() != 0;
}

bool ReplayPlayer::IsFullscreen() {
    if (!Reading(TapeTag::kFullscreen)) return fullscreen_;
    fullscreen_ = tape_.Unsigned() != 0;
    return fullscreen_;
}

bool ReplayPlayer::SetFullscreen(bool fullscreen) {
    // The watching window keeps its size: the game's layout follows the recorded one.
    if (!Reading(TapeTag::kSetFullscreen)) return !fullscreen;
    return tape_.Unsigned() != 0;
}

bool ReplayPlayer::GetWindowPos(int* x, int* y) {
    if (!Reading(TapeTag::kWindowPos)) return Inner().GetWindowPos(x, y);
    if (tape_.Unsigned() == 0) return false;
    *x = static_cast<int>(tape_.Signed());
    *y = static_cast<int>(tape_.Signed());
    return !tape_.Failed();
}

int ReplayPlayer::GetWorkAreas(MonitorArea* areas, int max) {
    if (!Reading(TapeTag::kWorkAreas)) return Inner().GetWorkAreas(areas, max);
    const uint64_t count = tape_.Unsigned();
    if (count > static_cast<uint64_t>(std::max(0, max))) {
        tape_.Fail("the replay does not match this build: more work areas than read");
        return 0;
    }
    for (uint64_t i = 0; i < count; ++i) {
        areas[i].x = static_cast<int>(tape_.Signed());
        areas[i].y = static_cast<int>(tape_.Signed());
        areas[i].width = static_cast<int>(tape_.Signed());
        areas[i].height = static_cast<int>(tape_.Signed());
    }
    return static_cast<int>(count);
}
