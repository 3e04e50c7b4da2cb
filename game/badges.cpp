// Badges: the table of names and details, the pop-ups that announce a badge in the bottom-left
// corner, the badge box, and the empty hooks where a platform score service would be told.
#include <algorithm>

#include "game/my_app.h"

using namespace vexmo;

namespace {

constexpr int kBadgeSheet = 80;     // 64 frames, one picture per badge 0..63
constexpr int kBadgePictures = 64;  // badges from here on have no picture
constexpr int kPopupSlotsShown = 13;
constexpr int kPopupWidth = 160;
constexpr int kPopupHeight = 32;
constexpr int kPopupRowStep = 34;
constexpr int kPopupLife = 240;  // updates from start to end
constexpr int kPopupSlideSpeed = 16;

// Where a pop-up of the given age stands: sliding in from the left, resting at 0, sliding out
// over its last ten updates.
int PopupX(int age) {
    int x = kPopupSlideSpeed * age - kPopupWidth;
    if (age > kPopupLife - kPopupWidth / kPopupSlideSpeed) {
        x = kPopupSlideSpeed * (kPopupLife - age) - kPopupWidth;
    }
    return std::min(x, 0);
}

// Badge box layout.
constexpr float kBoxRowHeight = 72;
constexpr float kBoxMargin = 24;

}  // namespace

String MyApp::BadgeID(int badge) {
    if (badge == 0) return T("Test Badge|This is a Test Badge which has no purpose.");
    return String();
}

String MyApp::BadgeName(int badge) {
    const String record = BadgeID(badge);
    const int bar = record.Find(T("|"));
    return bar < 0 ? record : record.Slice(0, bar);
}

String MyApp::BadgeDetail(int badge) {
    const String record = BadgeID(badge);
    const int bar = record.Find(T("|"));
    return bar < 0 ? String() : record.Slice(bar + 1);
}

int MyApp::ShowBadges() {
    ResetDraw();
    for (int slot = 0; slot < kPopupSlotsShown; ++slot) {
        if (badgeQueueTime[slot] <= 0) continue;
        const int age = badgeQueueTime[slot] + 1;
        badgeQueueTime[slot] = age;
        const float x = static_cast<float>(PopupX(age));
        // The pop-up is still drawn (off screen) in the update it ends.
        if (age > kPopupLife) badgeQueueTime[slot] = 0;

        const int badge = badgeQueue[slot];
        const float y = jscrh - kPopupRowStep * (slot + 1);
        SetCol(0, 0, 80, 0.8f);
        Rect(x, y, kPopupWidth, kPopupHeight);
        SetCol(255, 255, 255, 1);
        Text(x + 16, y + 4, BadgeName(badge), 0, 0);
        if (badge >= 0 && badge < kBadgePictures) {
            SetSize(0.5f);
            DrawImg(kBadgeSheet, x + 144, y + 16, static_cast<float>(badge));
            SetSize(1);
        }
    }
    return 0;
}

// No screen opens the badge box yet; when one does, it lists every defined badge with its picture
// and detail, earned ones bright, and scrolls with up and down or a drag.
int MyApp::BadgesBox() {
    int defined = 0;
    for (int badge = 0; badge < kBadges; ++badge) defined += BadgeID(badge).Length() > 0;
    const float listHeight = defined * kBoxRowHeight;
    const float maxScroll = std::max(0.0f, listHeight - (jscrh - 2 * kBoxMargin));

    if (keyLatch == 0 && PlayKey(kButtonUp)) badgeScroll -= kBoxRowHeight / 4;
    if (keyLatch == 0 && PlayKey(kButtonDown)) badgeScroll += kBoxRowHeight / 4;
    if (pointerDown > 0) badgeScroll -= static_cast<float>(pointerY - lastPointerY);
    badgeScroll = std::clamp(badgeScroll, 0.0f, maxScroll);

    ResetDraw();
    SetCol(0, 0, 40, 0.9f);
    Rect(kBoxMargin, kBoxMargin, jscrw - 2 * kBoxMargin, jscrh - 2 * kBoxMargin);
    float y = kBoxMargin + kBoxRowHeight / 2 - badgeScroll;
    for (int badge = 0; badge < kBadges; ++badge) {
        if (BadgeID(badge).Length() == 0) continue;
        const bool visible = y > kBoxMargin && y < jscrh - kBoxMargin;
        if (visible) {
            const float shade = badgeGot[badge] ? 1.0f : 0.35f;
            SetCol(255, 255, 255, shade);
            if (badge < kBadgePictures) {
                SetSize(0.75f);
                DrawImg(kBadgeSheet, kBoxMargin + 48, y, static_cast<float>(badge));
                SetSize(1);
            }
            Text(kBoxMargin + 96, y - 10, BadgeName(badge), 0, 1);
            SetSize(0.8f);
            Text(kBoxMargin + 96, y + 10, BadgeDetail(badge), 0, 1);
            SetSize(1);
        }
        y += kBoxRowHeight;
    }
    return 0;
}

// A platform score service would receive the best score of the finished game's difficulty here.
int MyApp::GC_PostScore(int, int) {
    return 0;
}

// ... and the earned badges here.
int MyApp::GC_Badges() {
    return 0;
}
