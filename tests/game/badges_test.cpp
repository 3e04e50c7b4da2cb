// Badges: the table, and the pop-ups' slide, stacking, pictures and end.
#include "game/badges.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/asset_slots.h"
#include "tests/game/game_fixture.h"

namespace {

class BadgeTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_GE(harness->FinishLoading(), 0);
    }

    // The boxes of the pop-ups drawn by the last update.
    std::vector<DrawCommand> PopupBoxes() const {
        std::vector<DrawCommand> boxes;
        for (const DrawCommand& c : harness->CommandsOfKind(vexmo::kRectKind)) {
            if (c.sizeX == 160 && c.sizeY == 32 && c.red == 0 && c.green == 0 && c.blue == 80 &&
                c.alpha == 0.8f) {
                boxes.push_back(c);
            }
        }
        return boxes;
    }
    std::vector<DrawCommand> BadgePictures() const {
        return harness->CommandsOfKind(static_cast<float>(kBadgeSheet));
    }
    void StartPopup(int slot, int badge) {
        game->badgeQueue[slot] = badge;
        game->badgeQueueTime[slot] = 1;
    }
};

TEST_F(BadgeTest, TheTestBadgeStaysAndNumbersWithoutARecordAreEmpty) {
    EXPECT_EQ(game->BadgeID(0), T("Test Badge|This is a Test Badge which has no purpose."));
    EXPECT_EQ(game->BadgeName(0), T("Test Badge"));
    EXPECT_EQ(game->BadgeDetail(0), T("This is a Test Badge which has no purpose."));
    EXPECT_EQ(game->BadgeName(1), T("Clean Dish"));
    EXPECT_EQ(game->BadgeDetail(1), T("Clear the first round."));
    for (const int badge : {20, 63, 64, 255, -1, 256}) {
        EXPECT_EQ(game->BadgeID(badge).Length(), 0) << badge;
        EXPECT_EQ(game->BadgeName(badge).Length(), 0) << badge;
        EXPECT_EQ(game->BadgeDetail(badge).Length(), 0) << badge;
        EXPECT_FALSE(vexmo::IsBadgeDefined(badge)) << badge;
    }
}

TEST_F(BadgeTest, EveryBadgeHasANameADetailAndAPicture) {
    int defined = 0;
    for (int badge = 1; badge < vexmo::kBadges; ++badge) {
        const String record = game->BadgeID(badge);
        if (record.Length() == 0) continue;
        ++defined;
        EXPECT_GT(game->BadgeName(badge).Length(), 0) << badge;
        EXPECT_GT(game->BadgeDetail(badge).Length(), 0) << badge;
        EXPECT_EQ(record, game->BadgeName(badge) + T("|") + game->BadgeDetail(badge)) << badge;
        EXPECT_LT(badge, 64) << "no picture for badge " << badge;
        EXPECT_TRUE(vexmo::IsBadgeDefined(badge)) << badge;
    }
    EXPECT_GE(defined, 16);
}

TEST_F(BadgeTest, APopupSlidesInRestsAndSlidesOut) {
    StartPopup(0, 0);
    harness->Update();
    ASSERT_EQ(PopupBoxes().size(), 1u);
    EXPECT_EQ(PopupBoxes()[0].x, -128);
    EXPECT_EQ(PopupBoxes()[0].y, jscrh - 34);

    harness->Update(7);
    EXPECT_LT(PopupBoxes()[0].x, 0) << "eighth update";
    harness->Update();
    EXPECT_EQ(PopupBoxes()[0].x, 0) << "ninth update";

    while (game->badgeQueueTime[0] < 230) {
        harness->Update();
        ASSERT_EQ(PopupBoxes().size(), 1u);
        ASSERT_EQ(PopupBoxes()[0].x, 0) << "time " << game->badgeQueueTime[0];
    }
    harness->Update();
    EXPECT_EQ(game->badgeQueueTime[0], 231);
    EXPECT_EQ(PopupBoxes()[0].x, -16);

    while (game->badgeQueueTime[0] != 240) harness->Update();
    harness->Update();
    // The last drawn update is off screen, and the slot is idle again.
    EXPECT_EQ(game->badgeQueueTime[0], 0);
    ASSERT_EQ(PopupBoxes().size(), 1u);
    EXPECT_LE(PopupBoxes()[0].x + 160, 0);
    harness->Update();
    EXPECT_TRUE(PopupBoxes().empty());
}

TEST_F(BadgeTest, APopupShowsTheBadgeNameAndPicture) {
    StartPopup(0, 0);
    harness->Update(10);
    const DrawCommand box = PopupBoxes().at(0);
    const std::vector<DrawCommand> pictures = BadgePictures();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].x, box.x + 144);
    EXPECT_EQ(pictures[0].y, box.y + 16);
    EXPECT_EQ(pictures[0].frame, 0);
    EXPECT_EQ(pictures[0].sizeX, 0.5f);
    // "Test Badge": nine glyphs, the space only advances.
    int glyphsInBox = 0;
    for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(game->fontSlot))) {
        glyphsInBox += c.y >= box.y && c.y <= box.y + 32 && c.x >= box.x && c.x <= box.x + 160;
    }
    EXPECT_EQ(glyphsInBox, 9);
}

// The pop-up keeps its name text between updates; a slot used again for another badge must show
// that badge's name, not the one it showed before.
TEST_F(BadgeTest, ASlotUsedAgainShowsTheNewBadgesName) {
    auto glyphFrames = [this] {
        const DrawCommand box = PopupBoxes().at(0);
        std::vector<int> frames;
        for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(game->fontSlot))) {
            if (c.y >= box.y && c.y <= box.y + 32 && c.x >= box.x && c.x <= box.x + 160) {
                frames.push_back(static_cast<int>(c.frame));
            }
        }
        return frames;
    };
    auto framesOf = [this](int badge) {
        std::vector<int> frames;
        const String name = game->BadgeName(badge);
        for (int i = 0; i < name.Length(); ++i) {
            if (name[i] > 32) frames.push_back(name[i] - 32);
        }
        return frames;
    };
    StartPopup(0, vexmo::kBadgeFirstRound);
    harness->Update(10);
    EXPECT_EQ(glyphFrames(), framesOf(vexmo::kBadgeFirstRound));
    harness->Update(300);
    ASSERT_TRUE(PopupBoxes().empty());

    StartPopup(0, vexmo::kBadgeSoundCheck);
    harness->Update(10);
    EXPECT_EQ(glyphFrames(), framesOf(vexmo::kBadgeSoundCheck));
    EXPECT_NE(framesOf(vexmo::kBadgeFirstRound), framesOf(vexmo::kBadgeSoundCheck));
}

TEST_F(BadgeTest, ABadgeBeyondTheSheetHasNoPicture) {
    StartPopup(0, 70);
    harness->Update(10);
    EXPECT_EQ(PopupBoxes().size(), 1u);
    EXPECT_TRUE(BadgePictures().empty());

    StartPopup(1, 63);
    harness->Update();
    ASSERT_EQ(BadgePictures().size(), 1u);
    EXPECT_EQ(BadgePictures()[0].frame, 63);
}

TEST_F(BadgeTest, PopupsStackUpwardsAndOnlyThirteenSlotsShow) {
    for (int slot = 0; slot < vexmo::kBadgeQueue; ++slot) StartPopup(slot, 1);
    harness->Update();
    const std::vector<DrawCommand> boxes = PopupBoxes();
    ASSERT_EQ(boxes.size(), 13u);
    for (int slot = 0; slot < 13; ++slot) EXPECT_EQ(boxes[slot].y, jscrh - 34 * (slot + 1));
    // Slots 13 and 14 never run.
    EXPECT_EQ(game->badgeQueueTime[13], 1);
    EXPECT_EQ(game->badgeQueueTime[14], 1);
    EXPECT_EQ(game->badgeQueueTime[12], 2);
}

TEST_F(BadgeTest, PopupsLieOnTopOfTheScreen) {
    harness->Update(40);
    StartPopup(0, 0);
    harness->Update();
    const std::vector<DrawCommand> all = harness->Commands();
    ASSERT_FALSE(all.empty());
    EXPECT_TRUE(all.back().IsImage(kBadgeSheet));
}

TEST_F(BadgeTest, TheScoreHooksChangeNothing) {
    EXPECT_EQ(game->GC_PostScore(2, 1000), 0);
    EXPECT_EQ(game->GC_Badges(), 0);
}

}  // namespace
