#include "input/input_device.h"

#include <algorithm>
#include <utility>

#include "input/gamepad_mapping.h"
#include "platform/platform.h"

namespace {

bool IsValidKey(int key) {
    return key >= 1 && key < gxtkInput::kKeyCount;
}
bool IsShiftSide(int key) {
    return key == KeyCode::kLeftShift || key == KeyCode::kRightShift;
}
bool IsControlSide(int key) {
    return key == KeyCode::kLeftControl || key == KeyCode::kRightControl;
}

static_assert(kGamepadJoyAxes == gxtkInput::kJoyAxes);
static_assert(kGamepadJoyButtons <= gxtkInput::kJoyButtons);

}  // namespace

int gxtkInput::SetKeyboardEnabled(int enabled) {
    return 0;
}

int gxtkInput::StateOf(int key) const {
    if (!IsValidKey(key)) return 0;
    // Touch 0 is the left mouse button.
    if (key == KeyCode::kTouch0) key = KeyCode::kMouseLeft;
    return keyStates[key];
}

bool gxtkInput::IsDown(int key) const {
    return (keyStates[key] & kDownBit) != 0;
}

int gxtkInput::KeyDown(int key) {
    return StateOf(key) != 0 ? 1 : 0;
}

int gxtkInput::KeyHit(int key) {
    return StateOf(key) & kHitMask;
}

int gxtkInput::GetChar() {
    if (charGet >= charPut) return 0;
    return chars[charGet++];
}

float gxtkInput::MouseX() {
    return mouseX;
}
float gxtkInput::MouseY() {
    return mouseY;
}

float gxtkInput::JoyX(int index) {
    if (index == 0) return joyPos[0];
    if (index == 1) return joyPos[3];
    return 0.0f;
}

float gxtkInput::JoyY(int index) {
    if (index == 0) return joyPos[1];
    if (index == 1) return -joyPos[4];
    return 0.0f;
}

float gxtkInput::JoyZ(int index) {
    if (index == 0) return joyPos[2];
    if (index == 1) return joyPos[5];
    return 0.0f;
}

// Slot 0 is the pointer itself; other slots read the mouse until a finger has been there.
float gxtkInput::TouchX(int index) {
    if (index < 1 || index >= kFingers || !fingerSeen[index]) return mouseX;
    return fingerX[index] * unitScaleX;
}
float gxtkInput::TouchY(int index) {
    if (index < 1 || index >= kFingers || !fingerSeen[index]) return mouseY;
    return fingerY[index] * unitScaleY;
}
float gxtkInput::AccelX() {
    return 0.0f;
}
float gxtkInput::AccelY() {
    return 0.0f;
}
float gxtkInput::AccelZ() {
    return 0.0f;
}

void gxtkInput::BeginUpdate() {
    Platform& platform = CurrentPlatform();
    double x = 0.0;
    double y = 0.0;
    platform.GetCursorPos(&x, &y);
    // The cursor comes in window units, the game draws in framebuffer pixels; a scaled display
    // has more of those than of these.
    int windowWidth = 0;
    int windowHeight = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    platform.GetWindowSize(&windowWidth, &windowHeight);
    platform.GetFramebufferSize(&pixelWidth, &pixelHeight);
    unitScaleX = 1.0f;
    unitScaleY = 1.0f;
    if (windowWidth > 0 && windowHeight > 0 && pixelWidth > 0 && pixelHeight > 0) {
        unitScaleX = static_cast<float>(pixelWidth) / static_cast<float>(windowWidth);
        unitScaleY = static_cast<float>(pixelHeight) / static_cast<float>(windowHeight);
        x = x * pixelWidth / windowWidth;
        y = y * pixelHeight / windowHeight;
    }
    mouseX = static_cast<float>(x);
    mouseY = static_cast<float>(y);
    ReadJoystick();
}

void gxtkInput::ReadJoystick() {
    Platform& platform = CurrentPlatform();
    unsigned char buttons[kJoyButtons] = {};
    int buttonCount = 0;
    GamepadState pad;
    if (platform.GetGamepadState(&pad)) {
        // A pad with a known layout arrives in the joystick layout the game reads.
        MapGamepadToJoystick(pad, joyPos, buttons);
        buttonCount = kGamepadJoyButtons;
    } else {
        ReadRawAxes(platform);
        buttonCount = platform.GetJoystickButtons(buttons, kJoyButtons);
    }
    const int readable = std::clamp(buttonCount, 0, kJoyButtons);
    // Buttons reported last update but not now (all of them once the pad is unplugged) read as
    // released, so a button held as the pad goes away does not stay down for good.
    const int visited = std::max(readable, joyButtonsRead);
    joyButtonsRead = readable;
    for (int b = 0; b < visited; ++b) {
        if (buttons[b] == Platform::kPress) {
            OnKeyDown(KeyCode::kJoyButton0 + b);
        } else {
            OnKeyUp(KeyCode::kJoyButton0 + b);
        }
    }
}

void gxtkInput::ReadRawAxes(Platform& platform) {
    float axes[kJoyAxes] = {};
    const int axisCount = platform.GetJoystickAxes(axes, kJoyAxes);
    std::copy(axes, axes + kJoyAxes, joyPos);
    // Pads with fewer axes report the right stick's y where a trigger would be.
    if (axisCount == 4) {
        joyPos[4] = joyPos[2];
        joyPos[2] = 0.0f;
    } else if (axisCount == 5) {
        std::swap(joyPos[3], joyPos[4]);
    }
}

void gxtkInput::EndUpdate() {
    for (int& state : keyStates) state &= kDownBit;
    wheel = 0.0f;
    charPut = 0;
    charGet = 0;
}

void gxtkInput::OnKeyDown(int key) {
    if (!IsValidKey(key) || IsDown(key)) return;  // repeats of a held key do not count again
    int hits = keyStates[key] & kHitMask;
    // The count saturates rather than spill into the down bit.
    if (hits < kHitMask) ++hits;
    keyStates[key] = kDownBit | hits;
    if (IsShiftSide(key)) {
        OnKeyDown(KeyCode::kShift);
    } else if (IsControlSide(key)) {
        OnKeyDown(KeyCode::kControl);
    }
}

void gxtkInput::OnKeyUp(int key) {
    if (!IsValidKey(key) || !IsDown(key)) return;
    keyStates[key] &= kHitMask;  // the hit count survives until EndUpdate
    if (IsShiftSide(key) && !IsDown(KeyCode::kLeftShift) && !IsDown(KeyCode::kRightShift)) {
        OnKeyUp(KeyCode::kShift);
    } else if (IsControlSide(key) && !IsDown(KeyCode::kLeftControl) &&
               !IsDown(KeyCode::kRightControl)) {
        OnKeyUp(KeyCode::kControl);
    }
}

float gxtkInput::MouseWheel() {
    return wheel;
}

void gxtkInput::OnWheel(float notches) {
    // A runaway value from a broken device must not fling a list out of reach.
    if (notches > -100 && notches < 100) wheel += notches;
}

void gxtkInput::OnTouch(int finger, int action, float x, float y) {
    if (finger < 0 || finger >= kFingers) return;
    // Positions beyond any screen are a broken event, not a place.
    if (x > -1e6f && x < 1e6f && y > -1e6f && y < 1e6f) {
        fingerX[finger] = x;
        fingerY[finger] = y;
        fingerSeen[finger] = true;
    }
    if (action == Platform::kPress) {
        OnKeyDown(KeyCode::kTouch0 + finger);
    } else if (action == Platform::kRelease) {
        OnKeyUp(KeyCode::kTouch0 + finger);
    }
}

void gxtkInput::PutChar(int ch) {
    if (charPut >= kCharQueueSize) return;  // the 33rd character of one update is dropped
    chars[charPut++] = ch;
}
