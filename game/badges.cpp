// Badges: the table of names and details, the pop-ups that announce a badge in the bottom-left
// corner, and the empty hooks where a platform score service would be told. What earns each
// badge is in badge_awards.cpp; the box that lists them is in badges_box.cpp.
#include "game/badges.h"

#include <algorithm>

#include "game/my_app.h"

using namespace vexmo;

namespace {

// "Name|Detail" per badge number; a detail of two lines breaks with the text's line break, so
// every line fits the badge box on a narrow portrait screen. Names fit the pop-up beside its
// picture. Numbers without a record are not badges.
const char* const kBadgeRecords[] = {
    "Test Badge|This is a Test Badge which has no purpose.",
    "Clean Dish|Clear the first round.",
    "Easy Going|Reach round 5 on Easy.",
    "Steady Hand|Reach round 10 on Easy.",
    "Easy Master|Reach round 15 on Easy.",
    "Lab Assistant|Reach round 5 on Normal.",
    "Lab Technician|Reach round 10 on Normal.",
    "Head of the Lab|Reach round 15 on Normal.",
    "Hard Graft|Reach round 5 on Hard.",
    "Iron Nerve|Reach round 10 on Hard.",
    "Petri Legend|Reach round 15 on Hard.",
    "Four Figures|Score 1,000 in one game.",
    "High Five|Score 5,000 in one game.",
    "Top Scientist|Score 20,000 in one game.",
    "Spotless|Clear a round without\\nlosing any energy.",
    "One Hit Wonder|Destroy 100 one-hit\\nmicrobes in one game.",
    "Mirror Dodger|Clear a round of reflecting\\nmicrobes without a hit.",
    "Standing Room|Clear a round in which\\ncrowding drained energy.",
    "Sound Check|Try every sound mode.",
    "Grand Tour|Score points on Easy,\\nNormal and Hard.",
};
constexpr int kBadgeRecordCount = static_cast<int>(sizeof kBadgeRecords / sizeof kBadgeRecords[0]);
static_assert(kBadgeRecordCount == kBadgeLastDefined + 1, "one record per badge number");

constexpr int kPopupSlotsShown = kBadgePopupSlots;
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

}  // namespace

bool vexmo::IsBadgeDefined(int badge) {
    return badge >= 0 && badge < kBadgeRecordCount;
}

String MyApp::BadgeID(int badge) {
    if (badge < 0 || badge >= kBadgeRecordCount) return String();
    return T(kBadgeRecords[badge]);
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
        vexmo::CachedTexts<1>& name = badgePopupNames[slot];
        if (name.Stale(&badge, 1)) name[0] = BadgeName(badge);
        Text(x + 16, y + 4, name[0], 0, 0);
        if (badge >= 0 && badge < kBadgePictures) {
            SetSize(0.5f);
            DrawImg(kBadgeSheet, x + 144, y + 16, static_cast<float>(badge));
            SetSize(1);
        }
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
