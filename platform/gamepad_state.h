// One pad with a standard layout, as the window system reports it once it knows the pad's
// mapping: the face buttons by position (A bottom, B right, X left, Y top), the shoulders, the
// D-pad, two sticks and two triggers. The numbering is GLFW's gamepad numbering, so the GLFW
// backend copies its state straight in; the game never sees this type, the input device turns
// it into joystick axes and buttons (input/gamepad_mapping.h).
#pragma once

struct GamepadState {
    enum Button {
        kA,
        kB,
        kX,
        kY,
        kLeftBumper,
        kRightBumper,
        kBack,
        kStart,
        kGuide,
        kLeftThumb,
        kRightThumb,
        kDpadUp,
        kDpadRight,
        kDpadDown,
        kDpadLeft,
        kButtonCount
    };
    enum Axis { kLeftX, kLeftY, kRightX, kRightY, kLeftTrigger, kRightTrigger, kAxisCount };

    // 1 (Platform::kPress) while held, 0 otherwise.
    unsigned char buttons[kButtonCount] = {};
    // Sticks from -1 to 1, x right and y DOWN positive; triggers from -1 (released) to 1 (fully
    // pressed). The defaults are a pad at rest.
    float axes[kAxisCount] = {0.0f, 0.0f, 0.0f, 0.0f, -1.0f, -1.0f};
};
