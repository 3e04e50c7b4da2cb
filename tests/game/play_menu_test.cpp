// The main menu, the loading picture, placings and the game-over overlay.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game/asset_slots.h"
#include "game/score_table.h"
#include "tests/game/play_support.h"

using namespace vexmo;

namespace {

// The text the font commands of the current picture spell, in drawing order.
std::string DrawnText(const GameHarness& h) {
    std::string text;
    for (const DrawCommand& c : h.CommandsOfKind(static_cast<float>(kFontSlot))) {
        text += static_cast<char>(c.frame + 32);
    }
    return text;
}

using MenuTest = PlayTest;

TEST_F(MenuTest, TheMenuSlidesInOverThirtyTwoUpdates) {
    game->menuSlide = -32;
    for (int i = 1; i <= 32; ++i) {
        Update();
        EXPECT_EQ(game->menuSlide, -32 + i);
    }
    Update();
    EXPECT_EQ(game->menuSlide, 0);
}

TEST_F(MenuTest, EachDifficultyButtonStartsItsGame) {
    for (int level = 1; level <= 3; ++level) {
        game->screen = kScreenMenu;
        game->menuSlide = 0;
        Update();
        StartGame(level);
        EXPECT_EQ(game->spawnsLeft, 3 * level);
    }
}

TEST_F(MenuTest, TheCurrentDifficultyIsHighlighted) {
    game->difficulty = 3;
    Update();
    int highlights = 0;
    for (const DrawCommand& c : harness->CommandsOfKind(kButtonsImage)) {
        if (c.frame != 15) continue;
        ++highlights;
        EXPECT_FLOAT_EQ(c.x, jscrw * 0.6f);
        EXPECT_FLOAT_EQ(c.alpha, 0.75f);
    }
    EXPECT_EQ(highlights, 1);
}

TEST_F(MenuTest, KeysChangeTheDifficultyWithinOneToThreeAndFireStarts) {
    game->difficulty = 1;
    const size_t playsBefore = sfx->plays.size();
    Tap(KeyCode::kUp);
    EXPECT_EQ(game->difficulty, 1);
    EXPECT_EQ(sfx->plays.size(), playsBefore) << "nothing to go up to, nothing to hear";
    Tap(KeyCode::kDown);
    EXPECT_EQ(game->difficulty, 2);
    EXPECT_FLOAT_EQ(sfx->plays.back().rate, 1.2f);
    Tap(KeyCode::kRight);
    Tap(KeyCode::kRight);
    EXPECT_EQ(game->difficulty, 3);
    Tap(KeyCode::kLeft);
    EXPECT_EQ(game->difficulty, 2);
    EXPECT_FLOAT_EQ(sfx->plays.back().rate, 0.8f);
    harness->Press('Z');
    Update();
    EXPECT_EQ(game->screen, kScreenStartPlay);
    EXPECT_EQ(game->clickLatch, 1);
    Update();
    EXPECT_EQ(game->screen, kScreenPlay);
    EXPECT_EQ(game->difficulty, 2);
}

TEST_F(MenuTest, HoldingADirectionMovesOnce) {
    game->difficulty = 1;
    harness->Press(KeyCode::kDown);
    Update(10);
    EXPECT_EQ(game->difficulty, 2);
}

TEST_F(MenuTest, TheSoundButtonCyclesTheFourModes) {
    const float x = 32, y = jscrh / 2;  // landscape: left edge, middle
    const int expected[] = {2, 3, 0, 1};
    for (const int mode : expected) {
        ClickAt(x, y);
        EXPECT_EQ(game->settings[5], mode);
    }
}

TEST_F(MenuTest, TheLogoOpensTheCreditsAndBlocksTheDifficultyButtons) {
    ClickAt(jscrw - 70, jscrh - 40);
    EXPECT_EQ(game->creditsOpen, 1);
    game->clickLatch = 0;
    // A difficulty button press while the box is open starts nothing; Menu alone is asked,
    // so the credits box cannot take the press first.
    game->pointerDown = 1;
    game->touchX[0] = static_cast<int>(jscrw * 0.2f);
    game->touchY[0] = static_cast<int>(jscrh * 0.7f);
    game->Menu();
    EXPECT_EQ(game->screen, kScreenMenu);
}

TEST_F(MenuTest, TheICadeButtonSwitchesTheModeBothWays) {
    const size_t playsBefore = sfx->plays.size();
    ClickAt(jscrw - 38, 38);
    EXPECT_EQ(iCadeControls, 1);
    EXPECT_EQ(sfx->CountOf(99, playsBefore), 1);
    Update();
    bool shownOn = false;
    for (const DrawCommand& c : harness->CommandsOfKind(92)) shownOn |= c.frame == 1;
    EXPECT_TRUE(shownOn) << "the button shows the mode it is in";
    ClickAt(jscrw - 38, 38);
    EXPECT_EQ(iCadeControls, 0);
}

TEST_F(MenuTest, ScoreListsShowTenRowsOfTheChosenDifficulty) {
    game->difficulty = 2;
    game->highScores[10] = 777;
    game->highScores[40] = 55;
    Update();
    const std::string text = DrawnText(*harness);
    EXPECT_NE(text.find("Top10"), std::string::npos) << text;
    EXPECT_NE(text.find("Last10"), std::string::npos) << text;
    EXPECT_NE(text.find("777"), std::string::npos) << text;
    EXPECT_NE(text.find("55"), std::string::npos) << text;
}

TEST(MenuOnAShortScreen, ShowsOneRowTitledHighscoreAndLast) {
    GameHarness h(640, 200);  // a virtual screen of 640 x 200
    h.Create();
    h.FinishLoading();
    h.Update(40);
    const std::string text = DrawnText(h);
    EXPECT_NE(text.find("Highscore"), std::string::npos) << text;
    EXPECT_NE(text.find("Last0"), std::string::npos) << text;
    EXPECT_EQ(text.find("Top"), std::string::npos) << text;
}

// The two placing rules side by side, on the cases where they part: a tie is told the higher
// place but filed below the score it ties.
TEST(ScoreTable, TheToldPlacingTakesTiesUpTheFiledOneDoesNot) {
    struct Case {
        const char* what;
        bool emptyTable;
        int score;
        int announced;
        int filed;
    };
    // The full table holds 1000, 900, ... 100 on difficulty 2.
    const Case cases[] = {
        {"empty table, score 0", true, 0, 1, 0}, {"empty table, score 1", true, 1, 1, 1},
        {"tie at 1st", false, 1000, 1, 2},       {"above the best", false, 1001, 1, 1},
        {"tie at 4th", false, 700, 4, 5},        {"between 4th and 5th", false, 650, 5, 5},
        {"tie at 10th", false, 100, 10, 0},      {"just above the 10th", false, 101, 10, 10},
        {"below the 10th", false, 99, 0, 0},
    };
    for (const Case& c : cases) {
        Array<int> scores(150);
        if (!c.emptyTable) {
            for (int i = 0; i < 10; ++i) scores[10 + i] = 1000 - 100 * i;
        }
        EXPECT_EQ(AnnouncedPlacing(scores, 2, c.score), c.announced) << c.what;
        EXPECT_EQ(FilingPlacing(scores, 2, c.score), c.filed) << c.what;
        // Filing follows the filing rule: the table changes from that slot on, or not at all
        // (a 0 filed into an empty table would change nothing either way).
        Array<int> before(150);
        for (int i = 0; i < 150; ++i) before[i] = scores[i];
        RecordBest(scores, 2, c.score);
        int changedFrom = 0;
        for (int i = 0; i < 10 && changedFrom == 0; ++i) {
            if (scores[10 + i] != before[10 + i]) changedFrom = i + 1;
        }
        if (c.score != 0) {
            EXPECT_EQ(changedFrom, c.filed) << c.what;
        }
        if (c.filed > 0) {
            EXPECT_EQ(scores[10 + c.filed - 1], c.score) << c.what;
        }
    }
}

TEST(ScoreTable, ANewSecondBestPushesTheRestDownAndDropsTheTenth) {
    Array<int> scores(150);
    for (int i = 0; i < 10; ++i) scores[20 + i] = 1000 - 100 * i;
    RecordBest(scores, 3, 950);
    EXPECT_EQ(scores[20], 1000);
    EXPECT_EQ(scores[21], 950);
    EXPECT_EQ(scores[22], 900);
    EXPECT_EQ(scores[29], 200) << "the old tenth (100) fell off";
    RecordLast(scores, 3, 0);
    RecordLast(scores, 3, 7);
    EXPECT_EQ(scores[50], 7);
    EXPECT_EQ(scores[51], 0);
}

TEST(ScoreTable, ADifficultyOutsideOneToThreeStaysInsideTheTable) {
    Array<int> scores(150);
    RecordBest(scores, 0, 5);
    RecordBest(scores, 99, 6);
    RecordLast(scores, -4, 7);
    EXPECT_EQ(scores[0], 5);
    EXPECT_EQ(scores[20], 6);
    EXPECT_EQ(scores[30], 7);
}

TEST_F(MenuTest, PlacingTextsNameTheSlot) {
    const char* const expected[] = {"1st!", "2nd", "3rd", "4th", "5th",
                                    "6th",  "7th", "8th", "9th", "10th"};
    game->difficulty = 1;
    for (int i = 0; i < 10; ++i) game->highScores[i] = 1000 - 100 * i;
    for (int place = 1; place <= 10; ++place) {
        game->score = 1000 - 100 * (place - 1) + 1;
        EXPECT_EQ(std::string(game->MyNth().ToCString<char>()), expected[place - 1]);
        EXPECT_EQ(game->n, place);
    }
    game->score = 99;  // below the tenth, 100
    EXPECT_EQ(game->MyNth().Length(), 0);
    EXPECT_EQ(game->n, 0);
}

// Whether the blue banner behind "New Highscore" is in the picture.
bool HighscoreBanner(const GameHarness& h) {
    for (const DrawCommand& c : h.CommandsOfKind(kRectKind)) {
        if (c.red == 0 && c.green == 125 && c.blue == 255) return true;
    }
    return false;
}

// The overlay's green words: "New Highscore" and the placing, or nothing.
std::string HighscoreWords(const GameHarness& h) {
    std::string text;
    for (const DrawCommand& c : h.CommandsOfKind(static_cast<float>(kFontSlot))) {
        if (c.red == 100 && c.green == 255 && c.blue == 100)
            text += static_cast<char>(c.frame + 32);
    }
    return text;
}

// From the first frame of the overlay to the last of its fade over the menu, which files the
// score halfway, the placing reads the same: a tie at 4th stays "4th", and a 0 on an empty
// table stays "1st!".
TEST_F(MenuTest, TheOverlayPlacingReadsTheSameFromFirstFrameToLast) {
    struct Case {
        bool emptyTable;
        int score;
        const char* shown;
    };
    const Case cases[] = {{false, 700, "NewHighscore4th"},
                          {true, 0, "NewHighscore1st!"},
                          {false, 1000, "NewHighscore1st!"},
                          {false, 99, ""}};
    for (const Case& c : cases) {
        for (int i = 0; i < 10; ++i) game->highScores[i] = c.emptyTable ? 0 : 1000 - 100 * i;
        game->screen = kScreenMenu;
        game->gameOverTimer = 0;
        game->menuSlide = 0;
        Update();
        StartGame(1);
        game->score = c.score;
        game->energy = -1;
        std::set<std::string> seen;
        int frames = 0;
        bool filed = false;
        for (int i = 0; i < 200; ++i) {
            Update();
            if (game->screen == kScreenMenu) filed = true;
            if (game->gameOverTimer == 0 && filed) break;
            // The update that leaves play draws the overlay two or three times over (the menu's
            // picture starts only in the next one): each copy counts on its own.
            const std::string words = HighscoreWords(*harness);
            const std::string banner = "NewHighscore";
            for (size_t at = words.find(banner); at != std::string::npos;) {
                const size_t next = words.find(banner, at + banner.size());
                seen.insert(words.substr(at, next == std::string::npos ? next : next - at));
                at = next;
            }
            if (HighscoreBanner(*harness) && words.empty()) seen.insert("banner without words");
            ++frames;
        }
        ASSERT_TRUE(filed) << c.score;
        EXPECT_GT(frames, 89 + 30) << "the whole overlay, its fade included, was watched";
        if (*c.shown == '\0') {
            EXPECT_TRUE(seen.empty()) << c.score;
        } else {
            ASSERT_EQ(seen.size(), 1u)
                << c.score << ": " << *seen.begin() << " / " << *seen.rbegin();
            EXPECT_EQ(*seen.begin(), c.shown);
        }
        EXPECT_EQ(game->highScores[LastListStart(1)], c.score) << "the menu did file it";
    }
}

TEST_F(MenuTest, TheOverlayWordsStopAtFortyFivePercentFromTheEdges) {
    StartGame(1);
    game->energy = -1;
    Update(19);  // timer 18 is drawn in the 19th update: h = 216 = 0.45 * 480
    float gameY = -1;
    for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(kFontSlot))) {
        if (c.frame == 'G' - 32 && c.sizeX == 4) gameY = c.y;
    }
    Update();
    float laterY = -2;
    for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(kFontSlot))) {
        if (c.frame == 'G' - 32 && c.sizeX == 4) laterY = c.y;
    }
    EXPECT_FLOAT_EQ(gameY, laterY);
}

TEST(LoadingPicture, TheSpinnerTurnsSixteenDegreesAnUpdate) {
    GameHarness h;
    h.Create();
    h.Update();
    const int angle = h.game->spinAngle;
    const std::vector<DrawCommand> ovals = h.CommandsOfKind(kOvalKind);
    EXPECT_EQ(ovals.size(), 1u + 22u) << "backdrop and two rings of eleven dots";
    h.Update();
    EXPECT_EQ(h.game->spinAngle, angle + 16);
    EXPECT_EQ(h.CommandsOfKind(static_cast<float>(kLogoSlot)).size(), 1u);
}

}  // namespace

namespace {

// A portrait window: 480 x 640 gives a virtual screen of 360 x 480.
class PortraitTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness = std::make_unique<GameHarness>(480, 640);
        game = harness->game;
        harness->Create();
        ASSERT_GE(harness->FinishLoading(), 0);
        harness->Update(40);
        ASSERT_EQ(game->landscape, 0);
    }
    void ClickAt(float x, float y) {
        harness->MoveMouseVirtual(x, y);
        harness->Press(KeyCode::kMouseLeft);
        harness->Update();
        harness->Release(KeyCode::kMouseLeft);
        harness->Update();
    }
    std::string TextOnRow(float y) const {
        std::string text;
        for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(kFontSlot))) {
            if (c.y == y) text += static_cast<char>(c.frame + 32);
        }
        return text;
    }

    std::unique_ptr<GameHarness> harness;
    MyApp* game = nullptr;
};

TEST_F(PortraitTest, DifficultyButtonsStandInAColumnAndTheHudSitsAtTheTop) {
    ClickAt(jscrw * 0.3f, jscrh * 0.85f);  // the lowest button: difficulty 3
    ASSERT_EQ(game->screen, kScreenPlay);
    EXPECT_EQ(game->difficulty, 3);
    harness->Update();
    EXPECT_EQ(TextOnRow(20), "99");
    EXPECT_EQ(TextOnRow(50), "0000000000");
    for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(kFontSlot))) {
        if (c.y == 20) {
            EXPECT_GT(c.x, jscrw * 0.5f - 1) << "the energy is centred on the screen";
        }
    }
}

TEST_F(PortraitTest, ThePausePanelIsTallerAndQuitSitsAboveItsCorner) {
    ClickAt(jscrw * 0.3f, jscrh * 0.65f);
    ASSERT_EQ(game->screen, kScreenPlay);
    harness->Press(KeyCode::kEscape);
    harness->Update(20);
    harness->Release(KeyCode::kEscape);
    harness->Update();
    ASSERT_EQ(game->paused, 1);
    const float cx = jscrw * 0.5f;
    const float y = static_cast<float>(game->pauseSlide);
    bool body = false;
    for (const DrawCommand& c : harness->CommandsOfKind(kRectKind)) {
        if (c.x == cx - 128 && c.y == y - 80 && c.sizeX == 256 && c.sizeY == 160) body = true;
    }
    EXPECT_TRUE(body);
    ClickAt(static_cast<float>(static_cast<int>(cx - 96)), y - 96);
    EXPECT_EQ(game->dying, 1);
}

}  // namespace
