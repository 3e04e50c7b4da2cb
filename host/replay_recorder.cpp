#include "host/replay_recorder.h"

#include <algorithm>

// Stands between the window and the host's listener: each event goes on the tape, and the
// readings its handling makes (a held Alt for Alt+Enter) follow it there.
class ReplayRecorder::Events final : public PlatformEvents {
public:
    explicit Events(ReplayRecorder& owner) : owner_(owner) {}
    void OnKey(int key, int action) override {
        if (owner_.taping_) {
            owner_.tape_.Tag(TapeTag::kKey);
            owner_.tape_.Signed(key);
            owner_.tape_.Unsigned(static_cast<uint64_t>(action & 0xff));
        }
        owner_.EventBegins();
        if (owner_.listener_) owner_.listener_->OnKey(key, action);
        owner_.EventEnds();
    }
    void OnChar(unsigned int codepoint) override {
        if (owner_.taping_) {
            owner_.tape_.Tag(TapeTag::kChar);
            owner_.tape_.Unsigned(codepoint);
        }
        owner_.EventBegins();
        if (owner_.listener_) owner_.listener_->OnChar(codepoint);
        owner_.EventEnds();
    }
    void OnMouseButton(int button, int action) override {
        if (owner_.taping_) {
            owner_.tape_.Tag(TapeTag::kButton);
            owner_.tape_.Unsigned(static_cast<uint64_t>(button & 0xff));
            owner_.tape_.Unsigned(static_cast<uint64_t>(action & 0xff));
        }
        owner_.EventBegins();
        if (owner_.listener_) owner_.listener_->OnMouseButton(button, action);
        owner_.EventEnds();
    }
    void OnScroll(double dx, double dy) override {
        if (owner_.taping_) {
            owner_.tape_.Tag(TapeTag::kScroll);
            owner_.tape_.DoubleBits(dy);
        }
        owner_.EventBegins();
        if (owner_.listener_) owner_.listener_->OnScroll(dx, dy);
        owner_.EventEnds();
    }
    void OnTouch(int finger, int action, double x, double y) override {
        if (owner_.taping_) {
            owner_.tape_.Tag(TapeTag::kTouch);
            owner_.tape_.Unsigned(static_cast<uint64_t>(finger & 0xff));
            owner_.tape_.Unsigned(static_cast<uint64_t>(action & 0xff));
            owner_.tape_.DoubleBits(x);
            owner_.tape_.DoubleBits(y);
        }
        owner_.EventBegins();
        if (owner_.listener_) owner_.listener_->OnTouch(finger, action, x, y);
        owner_.EventEnds();
    }
    // The host does nothing with these; the size a hook sees is noted when the hook begins.
    void OnWindowSize(int width, int height) override {
        if (owner_.listener_) owner_.listener_->OnWindowSize(width, height);
    }
    void OnWindowRefresh() override {
        if (owner_.listener_) owner_.listener_->OnWindowRefresh();
    }

private:
    ReplayRecorder& owner_;
};

ReplayRecorder::ReplayRecorder(Platform& inner) : ForwardingPlatform(inner) {
    events_ = new Events(*this);
    host::hookObserver = this;
}

ReplayRecorder::~ReplayRecorder() {
    if (host::hookObserver == this) host::hookObserver = nullptr;
    delete events_;
}

void ReplayRecorder::SetListener(PlatformEvents* listener) {
    listener_ = listener;
    Inner().SetListener(listener ? events_ : nullptr);
}

void ReplayRecorder::BeginTape() {
    tape_.Clear();
    updates_ = 0;
    taping_ = false;
    if (depth_ > 0) {
        startPending_ = true;
        return;
    }
    taping_ = true;
    NoteSize();
    std::copy(size_, size_ + 4, startSize_);
}

std::vector<uint8_t> ReplayRecorder::EndTape(long* updates) {
    std::vector<uint8_t> bytes;
    if (taping_) {
        tape_.Tag(TapeTag::kEnd);
        bytes = tape_.Bytes();
    }
    if (updates) *updates = updates_;
    taping_ = false;
    startPending_ = false;
    return bytes;
}

void ReplayRecorder::StartSize(int size[4]) const {
    std::copy(startSize_, startSize_ + 4, size);
}

void ReplayRecorder::NoteSize() {
    int now[4] = {0, 0, 0, 0};
    Inner().GetWindowSize(&now[0], &now[1]);
    Inner().GetFramebufferSize(&now[2], &now[3]);
    if (!std::equal(now, now + 4, size_) || tape_.Bytes().empty()) {
        std::copy(now, now + 4, size_);
        tape_.Tag(TapeTag::kSize);
        for (const int v : size_) tape_.Unsigned(static_cast<uint64_t>(std::max(0, v)));
    }
}

void ReplayRecorder::OnHookBegin(Hook hook) {
    if (taping_ && depth_ == 0) {
        NoteSize();
        switch (hook) {
            case kUpdate:
                tape_.Tag(TapeTag::kUpdate);
                ++updates_;
                break;
            case kRender:
                tape_.Tag(TapeTag::kRender);
                break;
            case kSuspend:
                tape_.Tag(TapeTag::kSuspend);
                break;
            case kResume:
                tape_.Tag(TapeTag::kResume);
                break;
        }
    }
    ++depth_;
}

void ReplayRecorder::OnHookEnd() {
    if (depth_ > 0) --depth_;
    if (depth_ == 0 && startPending_) {
        startPending_ = false;
        BeginTape();
    }
}

void ReplayRecorder::EventBegins() {
    ++depth_;
}

void ReplayRecorder::EventEnds() {
    OnHookEnd();
}

double ReplayRecorder::Time() {
    const double now = Inner().Time();
    if (depth_ == 0) return now;  // the loop's pacing keeps full precision
    const int64_t ms = TapeMillis(now);
    if (Recording()) {
        tape_.Tag(TapeTag::kTime);
        tape_.Signed(ms - tape_.lastMillis);
        tape_.lastMillis = ms;
    }
    return TapeSeconds(ms);
}

void ReplayRecorder::GetCursorPos(double* x, double* y) {
    double rawX = 0;
    double rawY = 0;
    Inner().GetCursorPos(&rawX, &rawY);
    const int64_t qx = TapeCursor(rawX);
    const int64_t qy = TapeCursor(rawY);
    if (Recording()) {
        tape_.Tag(TapeTag::kCursor);
        tape_.Signed(qx - tape_.lastCursorX);
        tape_.Signed(qy - tape_.lastCursorY);
        tape_.lastCursorX = qx;
        tape_.lastCursorY = qy;
    }
    *x = TapeCursorUnits(qx);
    *y = TapeCursorUnits(qy);
}

int ReplayRecorder::GetJoystickAxes(float* axes, int max) {
    const int count = std::max(0, std::min(Inner().GetJoystickAxes(axes, max), max));
    if (Recording()) {
        tape_.Tag(TapeTag::kJoyAxes);
        tape_.Unsigned(static_cast<uint64_t>(count));
        for (int i = 0; i < count; ++i) tape_.FloatBits(axes[i]);
    }
    return count;
}

int ReplayRecorder::GetJoystickButtons(unsigned char* buttons, int max) {
    const int count = std::max(0, std::min(Inner().GetJoystickButtons(buttons, max), max));
    if (Recording()) {
        tape_.Tag(TapeTag::kJoyButtons);
        tape_.Unsigned(static_cast<uint64_t>(count));
        for (int i = 0; i < count; ++i) tape_.Unsigned(buttons[i]);
    }
    return count;
}

bool ReplayRecorder::GetGamepadState(GamepadState* state) {
    const bool known = Inner().GetGamepadState(state);
    if (Recording()) {
        tape_.Tag(TapeTag::kGamepad);
        tape_.Unsigned(known ? 1 : 0);
        if (known) {
            for (const unsigned char b : state->buttons) tape_.Unsigned(b);
            for (const float a : state->axes) tape_.FloatBits(a);
        }
    }
    return known;
}

bool ReplayRecorder::IsKeyDown(int glfwKey) {
    const bool down = Inner().IsKeyDown(glfwKey);
    if (Recording()) {
        tape_.Tag(TapeTag::kKeyDown);
        tape_.Unsigned(down ? 1 : 0);
    }
    return down;
}

bool ReplayRecorder::IsFullscreen() {
    const bool full = Inner().IsFullscreen();
    if (Recording()) {
        tape_.Tag(TapeTag::kFullscreen);
        tape_.Unsigned(full ? 1 : 0);
    }
    return full;
}

bool ReplayRecorder::SetFullscreen(bool fullscreen) {
    const bool done = Inner().SetFullscreen(fullscreen);
    if (Recording()) {
        tape_.Tag(TapeTag::kSetFullscreen);
        tape_.Unsigned(done ? 1 : 0);
    }
    return done;
}

bool ReplayRecorder::GetWindowPos(int* x, int* y) {
    const bool placed = Inner().GetWindowPos(x, y);
    if (Recording()) {
        tape_.Tag(TapeTag::kWindowPos);
        tape_.Unsigned(placed ? 1 : 0);
        if (placed) {
            tape_.Signed(*x);
            tape_.Signed(*y);
        }
    }
    return placed;
}

int ReplayRecorder::GetWorkAreas(MonitorArea* areas, int max) {
    const int count = std::max(0, std::min(Inner().GetWorkAreas(areas, max), max));
    if (Recording()) {
        tape_.Tag(TapeTag::kWorkAreas);
        tape_.Unsigned(static_cast<uint64_t>(count));
        for (int i = 0; i < count; ++i) {
            tape_.Signed(areas[i].x);
            tape_.Signed(areas[i].y);
            tape_.Signed(areas[i].width);
            tape_.Signed(areas[i].height);
        }
    }
    return count;
}
