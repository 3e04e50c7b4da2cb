// A pad with a standard layout read as the framework's joystick: its state becomes the six
// joystick axes and the joystick buttons (key codes 256 + b) that the game already reads.
//
//   joystick button  0 A    1 B    2 X    3 Y    4 left shoulder    5 right shoulder
//                    6 Back 7 Start (the pause button)
//                    8 D-pad left  9 D-pad up  10 D-pad right  11 D-pad down
//                   12 left stick pressed  13 right stick pressed
//   axes             left stick x, y; left trigger; right stick x, y; right trigger
//
// The sticks keep the pad's "down is positive" y, which is what the game's up and down tests
// expect (up is y below -0.4); the right stick's y is stored negated because JoyY(1) negates it
// back. Triggers read 0 released to 1 fully pressed. The guide button is left to the system.
#pragma once

#include "platform/gamepad_state.h"

constexpr int kGamepadJoyAxes = 6;
constexpr int kGamepadJoyButtons = 14;

// Fills all of `axes` and `buttons` (Platform::kPress for held buttons, 0 for the others).
void MapGamepadToJoystick(const GamepadState& pad, float axes[kGamepadJoyAxes],
                          unsigned char buttons[kGamepadJoyButtons]);
