// How to play: a box over the menu that tells a new player what the game never says on its own,
// with pictures from the game's own images: holding both aims and fires, what drains the
// energy, what each microbe does, and the keys and the pad. Its button on the menu pulses
// slowly until the box has been opened once (kept in the record), and opens nothing by itself.
#include <cmath>

#include "game/asset_slots.h"
#include "game/layout.h"
#include "game/my_app.h"
#include "host/window_mode.h"

using namespace vexmo;

namespace {

constexpr int kControllerFrame = 12;
constexpr int kPulseUpdates = 120;  // one slow pulse every two seconds

// Content units (a 584 x 440 panel): pictures centred on kPictureX, texts from kTextX.
constexpr float kPictureX = 40;
constexpr float kTextX = 80;
constexpr float kLine = 13;

struct Microbe {
    int kind;
    const char* text;
};
// Hits are for a full-grown microbe (growth 79 against the damage of one hit); "spreads"
// follows how fast a full-grown one ripens.
constexpr Microbe kMicrobes[] = {
    {1, "Green: 2 hits. Spreads slowly."}, {2, "Blue: 3 hits. Spreads slowly."},
    {3, "Red: 1 hit. Spreads fastest."},   {4, "Yellow: 2 hits. Spreads fast."},
    {5, "Violet: 2 hits. Spreads fast."},  {6, "Shell: 2 hits. Bounces shots."},
};

void Header(MyApp& app, const MenuBoxLayout& l, float y, const char* text) {
    app.SetSize(l.scale);
    app.SetCol(255, 225, 110, 1);
    app.Text(l.X(kTextX), l.Y(y), T(text), 0, 1);
}

// Lines of body text, one under the other from y.
template <int N>
void Lines(MyApp& app, const MenuBoxLayout& l, float y, const char* const (&lines)[N]) {
    app.SetSize(l.scale);
    app.SetCol(255, 255, 255, 1);
    for (int i = 0; i < N; ++i) app.Text(l.X(kTextX), l.Y(y + kLine * i), T(lines[i]), 0, 1);
}

void AimAndFire(MyApp& app, const MenuBoxLayout& l) {
    // A small dish with the ship on its rim firing inward.
    app.ResetDraw();
    app.Alpha(0.5f);
    app.SetSize(0.25f * l.scale);
    app.DrawImg(kDishImage, l.X(kPictureX), l.Y(86), 0);
    app.ResetDraw();
    app.SetSize(l.scale);
    app.CR(0);
    app.DrawImg(kGfxImage, l.X(kPictureX), l.Y(58), 1);
    app.DrawImg(kGfxImage, l.X(kPictureX), l.Y(74), 2);
    app.DrawImg(kGfxImage, l.X(kPictureX), l.Y(90), 2);
    Header(app, l, 52, "Aim and fire");
    const char* const lines[] = {
        "Hold the mouse button (or a finger) anywhere: the ship circles the rim",
        "toward the pointer and fires inward. It turns only while you hold.",
        "A short tap fires a shot and sends the ship toward where you tapped.",
        "The longer you hold, the slower it fires: let go now and then.",
    };
    Lines(app, l, 66, lines);
}

void Energy(MyApp& app, const MenuBoxLayout& l) {
    app.ResetDraw();
    app.SetCol(150, 0, 50, 1);
    app.Rect(l.X(kPictureX - 22), l.Y(142), 44 * l.scale, 28 * l.scale);
    app.SetCol(255, 255, 255, 1);
    app.SetSize(2 * l.scale);
    app.Text(l.X(kPictureX), l.Y(156), T("99"), 1, 1);
    Header(app, l, 128, "Energy");
    const char* const lines[] = {
        "Energy starts at 99, shown beside the dish. It drains while the dish is",
        "crowded (the dish turns red) and each time a shot bounces into the ship.",
        "When it runs out, the game ends. Clear all microbes for the next round.",
    };
    Lines(app, l, 142, lines);
}

void Microbes(MyApp& app, const MenuBoxLayout& l) {
    Header(app, l, 194, "Microbes: a hit scores the microbe's number, 1 to 6");
    for (int i = 0; i < 6; ++i) {
        const Microbe& m = kMicrobes[i];
        const float column = i < 3 ? 0.0f : 250.0f;
        const float y = 214 + 24.0f * (i % 3);
        app.ResetDraw();
        app.SetSize(2.5f * l.scale);
        app.DrawImg(kMicrobesImage, l.X(kTextX + column), l.Y(y), (m.kind - 1) * 10.0f + 9);
        app.SetSize(l.scale);
        app.Text(l.X(kTextX + column + 20), l.Y(y), T(m.text), 0, 1);
    }
    const char* const lines[] = {
        "Hits count for full-grown microbes; those spread into empty cells.",
    };
    Lines(app, l, 288, lines);
}

void KeysAndPad(MyApp& app, const MenuBoxLayout& l) {
    app.ResetDraw();
    app.SetSize(0.75f * l.scale);
    app.DrawImg(kButtonsImage, l.X(kPictureX), l.Y(356), kControllerFrame);
    Header(app, l, 320, "Keys and pad");
    const char* const desktop[] = {
        "Escape: pause a game; on the menu, close a box, or quit.",
        "F11 or Alt+Enter: fullscreen on and off.",
        "Arrow keys choose the difficulty; Space or Enter starts a game.",
        "Pad: D-pad or stick chooses, A starts and confirms, Start pauses.",
    };
    const char* const browser[] = {
        "Escape: pause a game; on the menu, close a box.",
        "F11 or Alt+Enter: fullscreen on and off.",
        "Arrow keys choose the difficulty; Space or Enter starts a game.",
        "Pad: D-pad or stick chooses, A starts and confirms, Start pauses.",
    };
    Lines(app, l, 334, CanEndApp() ? desktop : browser);
    Header(app, l, 404, "Settings");
    const char* const settings[] = {
        "The gear button on the menu sets the music and effects volumes,",
        "fullscreen and the sound mode.",
    };
    Lines(app, l, 418, settings);
}

}  // namespace

void MyApp::HowToPlayButton(int slide) {
    const ScreenPoint at = HowToPlayButtonPosition(landscape, slide);
    ResetDraw();
    const bool seen = settings[kHowToPlaySeenSetting] != 0;
    if (!seen) {
        // A slow glow around the button, the only hint a new player needs.
        const float wave = 0.5f - 0.5f * std::cos(menuClock * 6.2831853f / kPulseUpdates);
        // It swells a little but stays within the button's own 72-unit step, clear of the
        // sound button's.
        SetSize(kMenuButtonSize * (1.0f + 0.05f * wave));
        SetCol(255, 240, 140, 0.25f + 0.6f * wave);
        DrawImg(kIconsImage, at.x, at.y, kFocusRingIcon);
    }
    SetSize(kMenuButtonSize);
    SetCol(120, 220, 255, 1);
    if (Button(kIconsImage, at.x, at.y, kHowToPlayIcon) && !clickLatch && !MenuBoxOpen()) {
        clickLatch = 1;
        howToPlayOpen = 1;
        if (!seen) {
            settings[kHowToPlaySeenSetting] = 1;
            Save();
        }
        PlaySFX(kSfxToggle, 1, 1, 0);
    }
}

int MyApp::HowToPlayBox() {
    const MenuBoxLayout l = LayoutMenuBox(scaleX);
    ResetDraw();
    SetCol(0, 0, 40, 0.95f);
    Rect(l.panelX, l.panelY, l.panelWidth, l.panelHeight);
    SetCol(255, 225, 110, 1);
    SetSize(1.5f);
    Text(l.title.x, l.title.y, T("How to play"), 0, 1);
    AimAndFire(*this, l);
    Energy(*this, l);
    Microbes(*this, l);
    KeysAndPad(*this, l);

    ResetDraw();
    SetCol(255, 90, 90, 1);
    bool close = Button(kIconsImage, l.close.x, l.close.y, kCloseIcon) && !clickLatch;
    // A fire key or the pad's A closes it too, as they confirm everywhere else.
    if (!keyLatch) {
        for (int code = kButtonAction1; code <= kButtonAction4; ++code)
            close = close || PlayKey(code);
    }
    if (close) {
        clickLatch = 1;
        keyLatch = 1;
        howToPlayOpen = 0;
        PlaySFX(kSfxToggle, 1, 1, 0);
    }
    return 0;
}
