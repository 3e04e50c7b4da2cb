#include "input/input.h"

namespace input {
gc_ref<gxtkInput> device;
}  // namespace input

using input::device;

namespace {
constexpr int kJoyUnitStride = 16;
}

void InitInputGlobals() {
    device = nullptr;
    gc_add_root(device);
}

int SetInputDevice(gxtkInput* dev) {
    device = dev;
    return 0;
}

int EnableKeyboard() {
    return device ? device->SetKeyboardEnabled(1) : 0;
}
int DisableKeyboard() {
    return device ? device->SetKeyboardEnabled(0) : 0;
}
int GetChar() {
    return device ? device->GetChar() : 0;
}
int KeyDown(int key) {
    return device ? device->KeyDown(key) : 0;
}
int KeyHit(int key) {
    return device ? device->KeyHit(key) : 0;
}
float MouseX() {
    return device ? device->MouseX() : 0.0f;
}
float MouseY() {
    return device ? device->MouseY() : 0.0f;
}
float MouseWheel() {
    return device ? device->MouseWheel() : 0.0f;
}
int MouseDown(int button) {
    return KeyDown(KeyCode::kMouseLeft + button);
}
int MouseHit(int button) {
    return KeyHit(KeyCode::kMouseLeft + button);
}
int TouchDown(int index) {
    return KeyDown(KeyCode::kTouch0 + index);
}
int TouchHit(int index) {
    return KeyHit(KeyCode::kTouch0 + index);
}
float TouchX(int index) {
    return device ? device->TouchX(index) : 0.0f;
}
float TouchY(int index) {
    return device ? device->TouchY(index) : 0.0f;
}

float JoyX(int index, int unit) {
    return device ? device->JoyX(index + kJoyUnitStride * unit) : 0.0f;
}
float JoyY(int index, int unit) {
    return device ? device->JoyY(index + kJoyUnitStride * unit) : 0.0f;
}
float JoyZ(int index, int unit) {
    return device ? device->JoyZ(index + kJoyUnitStride * unit) : 0.0f;
}
int JoyDown(int button, int unit) {
    return KeyDown(KeyCode::kJoyButton0 + button + kJoyUnitStride * unit);
}
int JoyHit(int button, int unit) {
    return KeyHit(KeyCode::kJoyButton0 + button + kJoyUnitStride * unit);
}
float AccelX() {
    return device ? device->AccelX() : 0.0f;
}
float AccelY() {
    return device ? device->AccelY() : 0.0f;
}
float AccelZ() {
    return device ? device->AccelZ() : 0.0f;
}
