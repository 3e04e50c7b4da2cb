// The badge box: its button on the main menu, and the panel it opens, which lists every badge a
// player can earn with its picture, name and how to earn it; earned ones bright, the others
// dimmed. The list scrolls with up and down, the mouse wheel and drags; the close button, Escape
// or a pad's back button close it. While it is open the menu ignores its own controls.
#include <algorithm>

#include "game/asset_slots.h"
#include "game/badges.h"
#include "game/layout.h"
#include "game/my_app.h"
#include "input/input.h"

using namespace vexmo;

namespace {

constexpr float kKeyScrollStep = 6;     // units per update while up or down is held
constexpr float kWheelScrollStep = 28;  // units per wheel notch: half a row

// The badges the list shows, in number order: every defined one but the test badge, which no
// player can earn.
bool Listed(int badge) {
    return badge != kBadgeTest && IsBadgeDefined(badge);
}

}  // namespace

void MyApp::BadgesButton(int slide) {
    ResetDraw();
    SetSize(kBadgesButtonSize);
    SetCol(255, 215, 90, 1);
    const ScreenPoint at = BadgesButtonPosition(landscape, slide);
    if (Button(kIconsImage, at.x, at.y, kBadgesIcon) && !clickLatch && !MenuBoxOpen()) {
        clickLatch = 1;
        badgesOpen = 1;
        badgeScroll = 0;
        PlaySFX(kSfxToggle, 1, 1, 0);
    }
}

int MyApp::BadgesBox() {
    const BadgesBoxLayout l = LayoutBadgesBox();
    int listed = 0;
    int earned = 0;
    for (int badge = 0; badge < kBadges; ++badge) {
        if (!Listed(badge)) continue;
        listed += 1;
        earned += badgeGot[badge] ? 1 : 0;
    }

    // Scrolling: held keys glide, the wheel steps, a drag moves the list with the pointer.
    const float viewHeight = l.listBottom - l.listTop;
    const float maxScroll = std::max(0.0f, listed * l.rowHeight - viewHeight);
    if (keyLatch == 0 && PlayKey(kButtonUp)) badgeScroll -= kKeyScrollStep;
    if (keyLatch == 0 && PlayKey(kButtonDown)) badgeScroll += kKeyScrollStep;
    badgeScroll -= MouseWheel() * kWheelScrollStep;
    if (pointerDown > 0) badgeScroll -= static_cast<float>(pointerY - lastPointerY);
    badgeScroll = std::clamp(badgeScroll, 0.0f, maxScroll);

    ResetDraw();
    SetCol(0, 0, 40, 0.95f);
    Rect(l.panelX, l.panelY, l.panelWidth, l.panelHeight);
    SetCol(255, 225, 110, 1);
    SetSize(1.5f);
    Text(l.title.x, l.title.y, T("Badges ") + String(earned) + T("/") + String(listed), 0, 1);

    // Rows show only while wholly inside the list, so none runs over the title or the edge.
    float top = l.listTop - badgeScroll;
    for (int badge = 0; badge < kBadges; ++badge) {
        if (!Listed(badge)) continue;
        const float rowTop = top;
        top += l.rowHeight;
        if (rowTop < l.listTop - 0.5f || rowTop + l.rowHeight > l.listBottom + 0.5f) continue;
        const bool got = badgeGot[badge];
        if (badge < kBadgePictures) {
            SetCol(255, 255, 255, got ? 1.0f : 0.3f);
            SetSize(l.pictureSize);
            DrawImg(kBadgeSheet, l.pictureX, rowTop + l.rowHeight / 2, static_cast<float>(badge));
        }
        SetSize(1);
        if (got) {
            SetCol(255, 225, 110, 1);
        } else {
            SetCol(170, 170, 190, 0.7f);
        }
        Text(l.textX, rowTop + l.nameY, BadgeName(badge), 0, 1);
        SetSize(l.detailSize);
        if (got) {
            SetCol(255, 255, 255, 1);
        } else {
            SetCol(200, 200, 220, 0.75f);
        }
        Text(l.textX, rowTop + l.detailY, BadgeDetail(badge), 0, 1);
    }

    // A bar at the right edge tells how much of the list is in view and where.
    if (maxScroll > 0) {
        const float trackX = l.panelX + l.panelWidth - 5;
        const float thumb = viewHeight * viewHeight / (viewHeight + maxScroll);
        const float thumbY = l.listTop + (viewHeight - thumb) * badgeScroll / maxScroll;
        SetCol(255, 255, 255, 0.15f);
        Rect(trackX, l.listTop, 3, viewHeight);
        SetCol(255, 225, 110, 0.8f);
        Rect(trackX, thumbY, 3, thumb);
    }

    ResetDraw();
    SetCol(255, 90, 90, 1);
    if (Button(kIconsImage, l.close.x, l.close.y, kCloseIcon) && !clickLatch) {
        clickLatch = 1;
        badgesOpen = 0;
        PlaySFX(kSfxToggle, 1, 1, 0);
    }
    return 0;
}
