// The input module: the game's view of the input device. Every function reads 0 while no
// device is set.
#pragma once

#include "input/input_device.h"
#include "input/key_translation.h"
#include "runtime/gc.h"

namespace input {
// The platform input device, set once when the application adapter is made.
extern gc_ref<gxtkInput> device;
}  // namespace input

// Sets the module's device to null and registers it with the collector's roots; the host's
// global initialisation calls it.
void InitInputGlobals();
int SetInputDevice(gxtkInput* dev);

int EnableKeyboard();
int DisableKeyboard();
int GetChar();
int KeyDown(int key);
int KeyHit(int key);
float MouseX();
float MouseY();
// Wheel notches turned since the previous update, positive away from the user.
float MouseWheel();
// Buttons: 0 left, 1 right, 2 middle.
int MouseDown(int button = 0);
int MouseHit(int button = 0);
// Touch 0 is the left mouse button at the pointer; touches 1..9 are further fingers where the
// platform reports them (a browser), and otherwise never down and at the mouse position.
int TouchDown(int index = 0);
int TouchHit(int index = 0);
float TouchX(int index = 0);
float TouchY(int index = 0);
// Only the first joystick (unit 0) is read.
float JoyX(int index = 0, int unit = 0);
float JoyY(int index = 0, int unit = 0);
float JoyZ(int index = 0, int unit = 0);
int JoyDown(int button, int unit = 0);
int JoyHit(int button, int unit = 0);
float AccelX();
float AccelY();
float AccelZ();
