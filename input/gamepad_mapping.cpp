#include "input/gamepad_mapping.h"

#include "platform/platform.h"

namespace {

// Joystick button b is the pad button kButtonOf[b].
constexpr GamepadState::Button kButtonOf[kGamepadJoyButtons] = {
    GamepadState::kA,         GamepadState::kB,          GamepadState::kX,
    GamepadState::kY,         GamepadState::kLeftBumper, GamepadState::kRightBumper,
    GamepadState::kBack,      GamepadState::kStart,      GamepadState::kDpadLeft,
    GamepadState::kDpadUp,    GamepadState::kDpadRight,  GamepadState::kDpadDown,
    GamepadState::kLeftThumb, GamepadState::kRightThumb,
};

// -1 released .. 1 pressed becomes 0 .. 1.
float TriggerDepth(float axis) {
    return (axis + 1.0f) * 0.5f;
}

}  // namespace

void MapGamepadToJoystick(const GamepadState& pad, float axes[kGamepadJoyAxes],
                          unsigned char buttons[kGamepadJoyButtons]) {
    axes[0] = pad.axes[GamepadState::kLeftX];
    axes[1] = pad.axes[GamepadState::kLeftY];
    axes[2] = TriggerDepth(pad.axes[GamepadState::kLeftTrigger]);
    axes[3] = pad.axes[GamepadState::kRightX];
    axes[4] = -pad.axes[GamepadState::kRightY];
    axes[5] = TriggerDepth(pad.axes[GamepadState::kRightTrigger]);
    for (int b = 0; b < kGamepadJoyButtons; ++b) {
        buttons[b] = pad.buttons[kButtonOf[b]] != 0 ? Platform::kPress : 0;
    }
}
