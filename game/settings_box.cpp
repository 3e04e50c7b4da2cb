// The settings box: music and effects volumes in steps of 10 %, fullscreen on or off, and the
// four sound modes by name. Pointer, keys and pad all work: up and down choose a row, left and
// right change it, a fire key or A steps a choice on; the close button, Escape or the pad's
// Start close the box. Everything is kept in the saved record (settings slots 5, 20, 21, 22).
#include <algorithm>

#include "game/asset_slots.h"
#include "game/layout.h"
#include "game/my_app.h"
#include "game/sound_modes.h"
#include "game/volumes.h"
#include "host/window_mode.h"

using namespace vexmo;

namespace {

enum Row { kMusicRow = 0, kEffectsRow = 1, kFullscreenRow = 2, kSoundRow = 3, kRows = 4 };

// Content units of the 584 x 440 panel.
constexpr float kLabelX = 40;
constexpr float kRowY[kRows] = {84, 132, 180, 236};
constexpr float kControlX = 216;
constexpr float kStepWidth = 30;  // the - and + buttons
constexpr float kBarX = 252;
constexpr float kSegment = 18;
constexpr float kOptionHeight = 30;
constexpr float kSoundOptionWidth = 170;

const char* const kRowLabels[kRows] = {"Music volume", "Effects volume", "Fullscreen", "Sound"};
const char* const kSoundLabels[4] = {"Off", "Music and effects", "Effects only", "Music only"};
constexpr int kSoundIcons[4] = {5, 8, 9, 10};

struct Box {
    float x, y, w, h;  // content units
};

bool PressedIn(MyApp& app, const MenuBoxLayout& l, const Box& b) {
    if (app.pointerDown <= 0 || app.clickLatch) return false;
    const float x0 = l.X(b.x);
    const float y0 = l.Y(b.y);
    return app.pointerX >= x0 && app.pointerX < x0 + b.w * l.scale && app.pointerY >= y0 &&
           app.pointerY < y0 + b.h * l.scale;
}

// A flat button with a centred label, lit when chosen.
void Option(MyApp& app, const MenuBoxLayout& l, const Box& b, const String& label, bool chosen,
            float labelShift = 0) {
    app.ResetDraw();
    if (chosen) {
        app.SetCol(60, 140, 255, 0.9f);
    } else {
        app.SetCol(255, 255, 255, 0.12f);
    }
    app.Rect(l.X(b.x), l.Y(b.y), b.w * l.scale, b.h * l.scale);
    app.SetSize(l.scale);
    app.SetCol(255, 255, 255, 1);
    app.Text(l.X(b.x + b.w / 2 + labelShift), l.Y(b.y + b.h / 2), label, 1, 1);
}

Box StepBox(int row, bool up) {
    const float x = up ? kBarX + 10 * kSegment + 6 : kControlX;
    return {x, kRowY[row] - kOptionHeight / 2, kStepWidth, kOptionHeight};
}

Box FullscreenBox(int on) {
    return {kControlX + on * 100.0f, kRowY[kFullscreenRow] - kOptionHeight / 2, 90, kOptionHeight};
}

Box SoundBox(int mode) {
    // Two modes to a row: the column and the row of this one.
    const int column = mode % 2;
    const int row = mode / 2;
    return {kControlX + static_cast<float>(column) * (kSoundOptionWidth + 8),
            kRowY[kSoundRow] - kOptionHeight / 2 + static_cast<float>(row) * (kOptionHeight + 8),
            kSoundOptionWidth, kOptionHeight};
}

void ChangeVolume(MyApp& app, int setting, int by) {
    const int before = QuietSteps(app.settings[setting]);
    const int after = std::clamp(before - by, 0, kVolumeSteps);
    if (after == before) return;
    app.settings[setting] = after;
    app.ApplyVolumes();
    // Heard at the new level, so the player knows what was chosen.
    app.PlaySFX(kSfxMenu, 1, 0.5f, 0);
}

void SetSoundMode(MyApp& app, int mode) {
    const int before = app.settings[5];
    if (mode == before) return;
    app.settings[5] = mode;
    app.BadgesForSoundMode(before);
    app.PlaySFX(kSfxMenu, 1, 0.5f, 0);
}

void VolumeRow(MyApp& app, const MenuBoxLayout& l, int row, int setting) {
    const int level = kVolumeSteps - QuietSteps(app.settings[setting]);
    Option(app, l, StepBox(row, false), T("-"), false);
    Option(app, l, StepBox(row, true), T("+"), false);
    app.ResetDraw();
    for (int i = 0; i < kVolumeSteps; ++i) {
        if (i < level) {
            app.SetCol(120, 220, 255, 1);
        } else {
            app.SetCol(255, 255, 255, 0.15f);
        }
        const float x = kBarX + i * kSegment;
        app.Rect(l.X(x + 1), l.Y(kRowY[row] - 9), (kSegment - 2) * l.scale, 18 * l.scale);
    }
    app.SetSize(l.scale);
    app.SetCol(255, 255, 255, 1);
    app.Text(l.X(kBarX + 10 * kSegment + kStepWidth + 16), l.Y(kRowY[row]),
             String(level * 10) + T("%"), 0, 1);
    if (PressedIn(app, l, StepBox(row, false))) {
        app.clickLatch = 1;
        app.settingsFocus = row;
        ChangeVolume(app, setting, -1);
    }
    if (PressedIn(app, l, StepBox(row, true))) {
        app.clickLatch = 1;
        app.settingsFocus = row;
        ChangeVolume(app, setting, 1);
    }
}

void FullscreenRow(MyApp& app, const MenuBoxLayout& l) {
    const int on = Fullscreen();
    for (int choice = 0; choice <= 1; ++choice) {
        Option(app, l, FullscreenBox(choice), choice ? T("On") : T("Off"), on == choice);
        if (PressedIn(app, l, FullscreenBox(choice))) {
            app.clickLatch = 1;
            app.settingsFocus = kFullscreenRow;
            if (on != choice) SetFullscreen(choice);
        }
    }
}

void SoundRow(MyApp& app, const MenuBoxLayout& l) {
    const int modes = HasMusic == 1 ? 4 : 2;
    for (int mode = 0; mode < modes; ++mode) {
        const Box b = SoundBox(mode);
        const bool chosen = app.settings[5] == mode;
        // The label sits right of the mode's icon.
        Option(app, l, b, T(kSoundLabels[HasMusic == 1 ? mode : mode * 2]), chosen, 12);
        app.ResetDraw();
        app.SetSize(0.75f * l.scale);
        app.SetCol(180, 255, 255, 1);
        app.DrawImg(kIconsImage, l.X(b.x + 16), l.Y(b.y + b.h / 2),
                    static_cast<float>(kSoundIcons[HasMusic == 1 ? mode : mode * 2]));
        if (PressedIn(app, l, b)) {
            app.clickLatch = 1;
            app.settingsFocus = kSoundRow;
            SetSoundMode(app, mode);
        }
    }
}

// Keys and pad: up and down move between rows, left and right change the row's value, a fire
// key steps it on.
void SettingsKeys(MyApp& app) {
    if (app.keyLatch) return;
    const int row = app.settingsFocus;
    int change = 0;
    if (app.PlayKey(kButtonUp)) {
        app.settingsFocus = (row + kRows - 1) % kRows;
    } else if (app.PlayKey(kButtonDown)) {
        app.settingsFocus = (row + 1) % kRows;
    } else if (app.PlayKey(kButtonLeft)) {
        change = -1;
    } else if (app.PlayKey(kButtonRight)) {
        change = 1;
    } else if (app.PlayKey(kButtonAction1) || app.PlayKey(kButtonAction2)) {
        change = 2;  // steps on, wrapping round
    } else {
        return;
    }
    app.keyLatch = 1;
    if (change == 0) {
        app.PlaySFX(kSfxMenu, 1.2f, 0.5f, 0);
        return;
    }
    switch (row) {
        case kMusicRow:
        case kEffectsRow:
            if (change != 2) {
                ChangeVolume(app, row == kMusicRow ? kMusicQuietSetting : kEffectsQuietSetting,
                             change);
            }
            break;
        case kFullscreenRow:
            if (change == 2 || (change == 1) != (Fullscreen() == 1)) {
                SetFullscreen(Fullscreen() == 0 ? 1 : 0);
            }
            break;
        default: {
            const int modes = HasMusic == 1 ? 4 : 2;
            const int mode = app.settings[5];
            SetSoundMode(app, change == -1 ? (mode + modes - 1) % modes : NextSoundMode(mode));
            break;
        }
    }
}

}  // namespace

void MyApp::SettingsButton(int slide) {
    const ScreenPoint at = SettingsButtonPosition(landscape, slide);
    ResetDraw();
    SetSize(kMenuButtonSize);
    SetCol(200, 200, 230, 1);
    if (Button(kIconsImage, at.x, at.y, kSettingsIcon) && !clickLatch && !MenuBoxOpen()) {
        clickLatch = 1;
        settingsOpen = 1;
        settingsFocus = kMusicRow;
        PlaySFX(kSfxToggle, 1, 1, 0);
    }
}

int MyApp::SettingsBox() {
    const MenuBoxLayout l = LayoutMenuBox(scaleX);
    SettingsKeys(*this);
    ResetDraw();
    SetCol(0, 0, 40, 0.95f);
    Rect(l.panelX, l.panelY, l.panelWidth, l.panelHeight);
    SetCol(255, 225, 110, 1);
    SetSize(1.5f);
    Text(l.title.x, l.title.y, T("Settings"), 0, 1);

    // The row under focus is marked by a band behind it.
    const float bandTop = kRowY[settingsFocus] - 22;
    const float bandHeight = settingsFocus == kSoundRow ? 44 + kOptionHeight + 8 : 44;
    ResetDraw();
    SetCol(255, 225, 110, 0.12f);
    Rect(l.X(16), l.Y(bandTop), (MenuBoxLayout::kContentWidth - 32) * l.scale,
         bandHeight * l.scale);
    for (int row = 0; row < kRows; ++row) {
        ResetDraw();
        SetSize(l.scale);
        SetCol(255, 225, 110, 1);
        Text(l.X(kLabelX), l.Y(kRowY[row]), T(kRowLabels[row]), 0, 1);
    }
    VolumeRow(*this, l, kMusicRow, kMusicQuietSetting);
    VolumeRow(*this, l, kEffectsRow, kEffectsQuietSetting);
    FullscreenRow(*this, l);
    SoundRow(*this, l);
    ResetDraw();
    SetSize(l.scale);
    SetCol(200, 200, 220, 0.8f);
    Text(l.X(kLabelX), l.Y(340), T("Up and down choose a row, left and right change it."), 0, 1);
    Text(l.X(kLabelX), l.Y(354), T("Escape or the close button closes the box."), 0, 1);

    ResetDraw();
    SetCol(255, 90, 90, 1);
    if (Button(kIconsImage, l.close.x, l.close.y, kCloseIcon) && !clickLatch) {
        clickLatch = 1;
        settingsOpen = 0;
        PlaySFX(kSfxToggle, 1, 1, 0);
    }
    return 0;
}
