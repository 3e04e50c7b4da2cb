#include "game/layout.h"

#include <algorithm>
#include <cmath>

namespace vexmo {

FieldLayout LayoutField(const MyApp& app) {
    FieldLayout l;
    l.cx = jscrw / 2;
    l.cy = jscrh / 2;
    l.scale = std::min((jscrw - 16) / app.gridW * 0.125f, (jscrh - 16) / app.gridH * 0.125f);
    l.originX = l.cx - l.scale * app.gridW * 4;
    l.originY = l.cy - l.scale * app.gridH * 4;
    l.rimRadius = l.scale * app.gridW * 4;
    return l;
}

void DifficultyButtonPositions(int landscape, int slide, ScreenPoint out[3]) {
    if (landscape) {
        out[0] = {jscrw * 0.2f, jscrh * 0.7f - 8 * slide};
        out[1] = {jscrw * 0.4f, jscrh * 0.7f - 12 * slide};
        out[2] = {jscrw * 0.6f, jscrh * 0.7f - 10 * slide};
    } else {
        out[0] = {jscrw * 0.3f - 8 * slide, jscrh * 0.45f};
        out[1] = {jscrw * 0.3f, jscrh * 0.65f - 12 * slide};
        out[2] = {jscrw * 0.3f + 8 * slide, jscrh * 0.85f};
    }
}

ScreenPoint WatchBestPosition(int landscape, int slide, int difficulty) {
    ScreenPoint buttons[3];
    DifficultyButtonPositions(landscape, slide, buttons);
    const ScreenPoint b = buttons[std::max(1, std::min(difficulty, 3)) - 1];
    // Half a button (drawn at 1.5 times its 56 units) and a gap.
    constexpr float kClear = 56;
    return landscape ? ScreenPoint{b.x, b.y + kClear}
                     : ScreenPoint{b.x + kClear + kWatchBestWidth / 2, b.y};
}

ScreenPoint SoundButtonPosition(int landscape, int slide) {
    return landscape ? ScreenPoint{32.0f + 4 * slide, jscrh / 2}
                     : ScreenPoint{jscrw / 2, 32.0f + 4 * slide};
}

ScreenPoint BadgesButtonPosition(int landscape, int slide) {
    // One button's width plus a gap of 8 away from the sound button.
    constexpr float kStep = 72;
    const ScreenPoint sound = SoundButtonPosition(landscape, slide);
    return landscape ? ScreenPoint{sound.x, sound.y - kStep}
                     : ScreenPoint{sound.x - kStep, sound.y};
}

ScreenPoint WorldButtonPosition(int landscape, int slide) {
    constexpr float kStep = 72;  // as between the sound and the badge buttons
    const ScreenPoint badges = BadgesButtonPosition(landscape, slide);
    return landscape ? ScreenPoint{badges.x + kStep, badges.y}
                     : ScreenPoint{badges.x, badges.y + kStep};
}

ScreenPoint HowToPlayButtonPosition(int landscape, int slide) {
    constexpr float kStep = 72;  // as between the sound and the badge buttons
    const ScreenPoint sound = SoundButtonPosition(landscape, slide);
    return landscape ? ScreenPoint{sound.x, sound.y + kStep}
                     : ScreenPoint{sound.x + kStep, sound.y};
}

ScreenPoint SettingsButtonPosition(int landscape, int slide) {
    constexpr float kStep = 72;
    const ScreenPoint sound = SoundButtonPosition(landscape, slide);
    return landscape ? ScreenPoint{sound.x, sound.y + 2 * kStep}
                     : ScreenPoint{sound.x - 2 * kStep, sound.y};
}

ScreenPoint QuitButtonPosition(int landscape, int slide) {
    constexpr float kInset = 24;  // a 32-unit button 8 units from both edges
    return landscape ? ScreenPoint{kInset + 4 * slide, kInset}
                     : ScreenPoint{kInset, jscrh - kInset - 4 * slide};
}

MenuBoxLayout LayoutMenuBox(float deviceScale) {
    const BadgesBoxLayout b = LayoutBadgesBox();
    MenuBoxLayout l;
    l.panelX = b.panelX;
    l.panelY = b.panelY;
    l.panelWidth = b.panelWidth;
    l.panelHeight = b.panelHeight;
    l.title = b.title;
    l.close = b.close;
    l.scale = std::min({1.0f, l.panelWidth / MenuBoxLayout::kContentWidth,
                        l.panelHeight / MenuBoxLayout::kContentHeight});
    // A 5:4 screen's panel is 584 give or take a rounding of the virtual size: size 1 still.
    if (l.scale > 0.999f) l.scale = 1;
    if (l.scale < 1 && deviceScale > 0) {
        const float pixels = std::floor(l.scale * deviceScale);
        if (pixels >= 1) l.scale = pixels / deviceScale;
    }
    l.originX = l.panelX + (l.panelWidth - MenuBoxLayout::kContentWidth * l.scale) / 2;
    l.originY = l.panelY;
    return l;
}

QuitPromptLayout LayoutQuitPrompt() {
    QuitPromptLayout l;
    l.panelWidth = 240;
    l.panelHeight = 120;
    l.panelX = jscrw / 2 - l.panelWidth / 2;
    l.panelY = jscrh / 2 - l.panelHeight / 2;
    l.question = {jscrw / 2, l.panelY + 34};
    l.buttonWidth = 80;
    l.buttonHeight = 32;
    l.yes = {jscrw / 2 - 56, l.panelY + 84};
    l.no = {jscrw / 2 + 56, l.panelY + 84};
    return l;
}

BadgesBoxLayout LayoutBadgesBox() {
    constexpr float kMargin = 8;
    BadgesBoxLayout l;
    l.panelX = kMargin;
    l.panelY = kMargin;
    l.panelWidth = jscrw - 2 * kMargin;
    l.panelHeight = jscrh - 2 * kMargin;
    l.title = {kMargin + 16, kMargin + 24};
    l.close = {jscrw - kMargin - 24, kMargin + 24};
    l.listTop = kMargin + 48;
    l.listBottom = jscrh - kMargin - 6;
    l.rowHeight = 56;
    l.pictureSize = 0.625f;
    l.pictureX = kMargin + 30;
    l.textX = kMargin + 60;
    l.textRight = jscrw - kMargin - 6;
    l.nameY = 16;
    l.detailY = 31;
    l.detailSize = 1;
    return l;
}

ScreenPoint PauseQuitPosition(int landscape, float cx, float panelY) {
    // Whole units on the x axis, as the panel's buttons are placed.
    return landscape ? ScreenPoint{static_cast<float>(static_cast<int>(cx - 140)), panelY - 64}
                     : ScreenPoint{static_cast<float>(static_cast<int>(cx - 96)), panelY - 96};
}

}  // namespace vexmo
