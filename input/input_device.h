// The platform input device: one state table for keys, mouse buttons and joystick buttons,
// a character queue, and the mouse and first joystick sampled once per update. A joystick that
// is a pad with a known layout is read through its mapping (input/gamepad_mapping.h).
#pragma once

#include "input/key_translation.h"
#include "platform/gxtk_object.h"

class Platform;

class gxtkInput : public gxtkObject {
public:
    static constexpr int kKeyCount = KeyCode::kCount;
    static constexpr int kCharQueueSize = 32;
    static constexpr int kDownBit = 0x100;
    static constexpr int kHitMask = 0xff;
    static constexpr int kJoyAxes = 6;
    static constexpr int kJoyButtons = 32;
    static constexpr int kFingers = 10;

    // Per key code: kDownBit while held; the low 8 bits count presses since the last EndUpdate.
    // KeyDown reads a key pressed since the last EndUpdate as down even once it is up again, so
    // a tap or click shorter than one update is still seen held by the update after it.
    int keyStates[kKeyCount] = {};
    int chars[kCharQueueSize] = {};
    int charPut = 0;
    int charGet = 0;
    float mouseX = 0.0f;
    float mouseY = 0.0f;
    // Wheel notches turned since the last EndUpdate, positive away from the user.
    float wheel = 0.0f;
    // Left stick x, y, trigger; right stick x, y, trigger.
    float joyPos[kJoyAxes] = {};
    // How many buttons the pad reported last update, so those it no longer reports are released.
    int joyButtonsRead = 0;
    // Per finger slot: its last position in window units, and whether a finger was ever there
    // (until then the slot reads the mouse, as on a desktop that has no touches).
    float fingerX[kFingers] = {};
    float fingerY[kFingers] = {};
    bool fingerSeen[kFingers] = {};
    // Window units to framebuffer pixels, as of the last BeginUpdate.
    float unitScaleX = 1.0f;
    float unitScaleY = 1.0f;

    virtual int SetKeyboardEnabled(int enabled);
    virtual int KeyDown(int key);
    virtual int KeyHit(int key);
    virtual int GetChar();
    virtual float MouseX();
    virtual float MouseY();
    virtual float MouseWheel();
    virtual float JoyX(int index);
    virtual float JoyY(int index);
    virtual float JoyZ(int index);
    virtual float TouchX(int index);
    virtual float TouchY(int index);
    virtual float AccelX();
    virtual float AccelY();
    virtual float AccelZ();

    // Samples the mouse and the first joystick from the current platform.
    void BeginUpdate();
    // Hit counts go to 0 (held keys stay down) and the character queue empties.
    void EndUpdate();
    void OnKeyDown(int key);
    void OnKeyUp(int key);
    void PutChar(int ch);
    void OnWheel(float notches);
    // A finger in slot 0..9 went down (kPress), moved (kRepeat) or lifted (kRelease) at (x, y)
    // in window units; its position is set before its touch key goes down. Slot 0's key reads
    // the left mouse button (the platform moves the pointer and holds that button for it).
    void OnTouch(int finger, int action, float x, float y);

private:
    int StateOf(int key) const;
    bool IsDown(int key) const;
    void ReadJoystick();
    void ReadRawAxes(Platform& platform);
};
