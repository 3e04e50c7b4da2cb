// Controls: logical buttons folded together from the keyboard, the first joystick and the
// virtual buttons (set by an iCade or the on-screen pad), screen buttons, and tilt input.
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "game/asset_slots.h"
#include "game/my_app.h"
#include "input/input.h"

using namespace vexmo;

namespace {

// An axis counts only beyond this, in either direction.
constexpr float kAxisDeadZone = 0.4f;

// Joystick button k of the first joystick.
constexpr int JoyButton(int k) {
    return 256 + k;
}

bool AnyKeyDown(std::initializer_list<int> keys) {
    for (const int key : keys) {
        if (KeyDown(key)) return true;
    }
    return false;
}

// The keyboard and joystick sources of a logical button; iCade mode drops the letter keys,
// because the iCade reports its buttons as typed letters.
bool DeviceHeld(int b, bool iCadeMode) {
    switch (b) {
        case kButtonUp:
            return KeyDown(38) || (!iCadeMode && KeyDown(87)) || KeyDown(JoyButton(9)) ||
                   JoyY(0) < -kAxisDeadZone;
        case kButtonLeft:
            return KeyDown(37) || (!iCadeMode && KeyDown(65)) || KeyDown(JoyButton(8)) ||
                   JoyX(0) < -kAxisDeadZone;
        case kButtonRight:
            return KeyDown(39) || (!iCadeMode && KeyDown(68)) || KeyDown(JoyButton(10)) ||
                   JoyX(0) > kAxisDeadZone;
        case kButtonDown:
            return KeyDown(40) || (!iCadeMode && KeyDown(83)) || KeyDown(JoyButton(11)) ||
                   JoyY(0) > kAxisDeadZone;
        case kButtonAction1:
            return (!iCadeMode && AnyKeyDown({90, 74})) || AnyKeyDown({32, 13, JoyButton(0)});
        case kButtonAction2:
            return (!iCadeMode && AnyKeyDown({88, 75})) || AnyKeyDown({17, JoyButton(1)});
        case kButtonAction3:
            return (!iCadeMode && AnyKeyDown({67, 76})) || AnyKeyDown({16, JoyButton(2)});
        case kButtonAction4:
            return (!iCadeMode && AnyKeyDown({86, 73})) || KeyDown(JoyButton(3));
        case kButtonBack:
            return AnyKeyDown({27, 46, 8, JoyButton(7)});
        default:
            return false;
    }
}

struct ICadeLetter {
    char press;
    char release;
    int entry;
};

// Each iCade button types one letter when pressed and another when released.
constexpr ICadeLetter kICadeLetters[] = {
    {'W', 'E', 0},  {'X', 'Z', 8},  {'A', 'Q', 3},  {'D', 'C', 5},  {'H', 'R', 10}, {'J', 'N', 11},
    {'K', 'P', 12}, {'Y', 'T', 13}, {'U', 'F', 14}, {'I', 'M', 15}, {'O', 'G', 16}, {'L', 'V', 17},
};

int UpperCase(int ch) {
    return (ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : ch;
}

bool StrictlyInside(int value, float centre, float half) {
    const float v = static_cast<float>(value);
    return v > centre - half && v < centre + half;
}

}  // namespace

int MyApp::PlayKey(int b) {
    if (iCadeControls != 0 && iCadeControls != 1) return 0;
    if (DeviceHeld(b, iCadeControls == 1)) return 1;
    switch (b) {
        case kButtonUp:
        case kButtonLeft:
        case kButtonRight:
        case kButtonDown:
        case kButtonAction1:
        case kButtonAction2:
        case kButtonAction3:
        case kButtonAction4:
            return vbutton[b] != 0 ? 1 : 0;
        case kButtonBack:
            return (vbutton[16] != 0 || vbutton[17] != 0) ? 1 : 0;
        default:
            return 0;
    }
}

void MyApp::ApplyICadeChar(int ch) {
    const int letter = UpperCase(ch);
    for (const ICadeLetter& entry : kICadeLetters) {
        if (letter == entry.press) {
            vbutton[entry.entry] = 2;
            return;
        }
        if (letter == entry.release) {
            vbutton[entry.entry] = 0;
            return;
        }
    }
}

int MyApp::iCade(int mode) {
    if (mode == 1) {
        EnableKeyboard();
        iCadeControls = 1;
        // Letters typed before the switch are not button presses.
        do {
            iCadeChar = GetChar();
        } while (iCadeChar != 0);
    } else if (mode == 0) {
        DisableKeyboard();
        iCadeControls = 0;
        for (int i = 0; i < kVirtualButtons; ++i) vbutton[i] = 0;
    }
    return 0;
}

int MyApp::Button(int slot, float x, float y, float frame) {
    DrawImg(slot, x, y, frame);
    buttonHit = 0;
    // The hit box has the image's size on the virtual screen.
    const float halfWidth = imageInfo[slot * 3] * imageScale * drawSizeX / 2;
    const float halfHeight = imageInfo[slot * 3 + 1] * imageScale * drawSizeY / 2;
    for (n = 0; n < kTouches; ++n) {
        if (StrictlyInside(touchX[n], x, halfWidth) && StrictlyInside(touchY[n], y, halfHeight) &&
            pointerDown > 0) {
            buttonHit = 1;
        }
    }
    return buttonHit;
}

int MyApp::Button0(int slot, float x, float y, float frame) {
    DrawImg(slot, x, y, frame);
    n = 0;
    const float halfWidth = imageInfo[slot * 3] * imageScale * drawSizeX / 2;
    const float halfHeight = imageInfo[slot * 3 + 1] * imageScale * drawSizeY / 2;
    const bool hit = StrictlyInside(touchX[0], x, halfWidth) &&
                     StrictlyInside(touchY[0], y, halfHeight) && pointerDown > 0;
    return hit ? 1 : 0;
}

void MyApp::ClampPadSettings() {
    const int maxX = static_cast<int>(jscrw - 32);
    const int maxFromBottom = static_cast<int>(jscrh - 32);
    if (settings[10] < 32) settings[10] = 32;
    if (settings[10] > maxX) settings[10] = maxX;
    if (settings[11] < 32) settings[11] = 32;
    if (settings[11] > maxFromBottom) settings[11] = maxFromBottom;
    if (settings[12] < 8) settings[12] = 8;
    if (settings[12] > 25) settings[12] = 25;
}

void MyApp::OnScreenPad() {
    ClampPadSettings();
    padX = settings[10];
    padY = static_cast<int>(jscrh - settings[11]);
    padScale = settings[12] / 10.0f;
    ResetDraw();
    SetCol(255, 255, 255, 0.6f);
    SetSize(padScale);

    const float arm = 32 * padScale;
    struct Arm {
        float x, y;
        int frame, entry;
    };
    const Arm arms[] = {
        {padX - arm, static_cast<float>(padY), 4, 3},
        {static_cast<float>(padX), padY - arm, 1, 0},
        {static_cast<float>(padX), padY + arm, 9, 8},
        {padX + arm, static_cast<float>(padY), 6, 5},
    };
    for (const Arm& a : arms) {
        if (Button(kDpadImage, a.x, a.y, static_cast<float>(a.frame)) == 1 && paused == 0) {
            vbutton[a.entry] = 1;
        }
    }
    DrawImg(kDpadImage, static_cast<float>(padX), static_cast<float>(padY), 5);

    if (paused > 0) MovePad();

    SetSize(1.5f * padScale);
    const float reach = 24 * padScale;
    if (Button(kDpadImage, jscrw - padX + reach, padY - reach, 0)) vbutton[kButtonAction1] = 1;
    if (Button(kDpadImage, jscrw - padX - reach, padY + reach, 0)) vbutton[kButtonAction2] = 1;
}

// While paused the pad follows one finger and a second finger spread sideways resizes it.
void MyApp::MovePad() {
    SetSize(3);
    const bool secondFinger = touchDown[1] != 0;
    if (Button0(kDpadImage, static_cast<float>(padX), static_cast<float>(padY), 0) &&
        !secondFinger) {
        settings[10] = touchX[0];
        settings[11] = static_cast<int>(jscrh - touchY[0]);
    }
    if (!secondFinger) {
        pinchActive = 0;
        pinchLast = 0;
    }
    if (touchDown[0] != 0 && secondFinger) {
        const int spread = std::abs(touchX[0] - touchX[1]) / 16;
        if (pinchActive == 1) settings[12] += spread - pinchLast;
        pinchLast = spread;
        pinchActive = 1;
    }
}

void MyApp::TiltInput() {
    ResetDraw();
    SetSize(1.5f);
    SetCol(255, 255, 255, 0.8f);
    tiltX = AccelX() - tiltZeroX;
    tiltY = AccelY() - tiltZeroY;
    tiltSmoothX += (tiltX - tiltSmoothX) * 0.25f;
    if (std::abs(tiltX - tiltSmoothX) < 0.005f) tiltSmoothX = tiltX;
    tiltSmoothY += (tiltY - tiltSmoothY) * 0.25f;
    if (std::abs(tiltY - tiltSmoothY) < 0.005f) tiltSmoothY = tiltY;
    if (Button(kIconsImage, 24, jscrh - 24, 7)) {
        tiltZeroX = AccelX();
        tiltZeroY = AccelY();
    }
    SetCol(100, 255, 100, 0.6f);
    SetSize(1);
    Oval(24 + 20 * tiltSmoothX, jscrh - 24 + 20 * tiltSmoothY, 4, 4);
}
