// A new player's menu: the how-to-play box and its pulsing button, the settings box, and the
// quit button with its "Quit?" question.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/asset_slots.h"
#include "game/layout.h"
#include "game/save_record.h"
#include "game/volumes.h"
#include "host/window_mode.h"
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

int CountIcon(const GameHarness& h, int frame) {
    int count = 0;
    for (const DrawCommand& c : h.CommandsOfKind(kIconsImage)) count += c.frame == frame;
    return count;
}

// Field n of the saved record in the harness's folder ("" when there is none).
std::string RecordField(const GameHarness& h, int n) {
    FILE* file = std::fopen((h.WorkingDirectory() / ".vantorstate").c_str(), "rb");
    if (file == nullptr) return "";
    std::string text;
    for (int ch = std::fgetc(file); ch != EOF; ch = std::fgetc(file)) text += static_cast<char>(ch);
    std::fclose(file);
    size_t start = 0;
    for (int i = 0; i < n; ++i) {
        start = text.find('|', start);
        if (start == std::string::npos) return "";
        ++start;
    }
    return text.substr(start, text.find('|', start) - start);
}

using FirstRunTest = PlayTest;

TEST_F(FirstRunTest, HowToPlayPulsesUntilOpenedOnceAndNeverOpensByItself) {
    const ScreenPoint at = HowToPlayButtonPosition(game->landscape, 0);
    // A slow pulse: the glow behind the button changes over the updates, and repeats.
    std::vector<float> glow;
    for (int i = 0; i < 240; ++i) {
        Update();
        float alpha = -1;
        for (const DrawCommand& c : harness->CommandsOfKind(kIconsImage)) {
            if (c.frame == kFocusRingIcon && c.x == at.x && c.y == at.y) alpha = c.alpha;
        }
        ASSERT_GE(alpha, 0) << "no glow at update " << i;
        glow.push_back(alpha);
    }
    float low = 1;
    float high = 0;
    for (const float a : glow) {
        low = std::min(low, a);
        high = std::max(high, a);
    }
    EXPECT_GT(high - low, 0.5f) << "the glow rises and falls";
    EXPECT_NEAR(glow[0], glow[120], 0.01f) << "one pulse every 120 updates";
    EXPECT_LT(std::abs(glow[1] - glow[0]), 0.05f) << "slowly";
    EXPECT_EQ(game->howToPlayOpen, 0) << "it never opens by itself";

    ClickAt(at.x, at.y);
    ASSERT_EQ(game->howToPlayOpen, 1);
    EXPECT_EQ(game->settings[kHowToPlaySeenSetting], 1);
    EXPECT_NE(DrawnText(*harness).find("Howtoplay"), std::string::npos);
    // Kept at once: the record on disk already says so.
    EXPECT_EQ(RecordField(*harness, kHowToPlaySeenSetting), "1");

    Tap(KeyCode::kEscape);
    EXPECT_EQ(game->howToPlayOpen, 0) << "Escape closes the box";
    Update();
    EXPECT_EQ(CountIcon(*harness, kFocusRingIcon), 0) << "no more pulse once seen";
    EXPECT_EQ(CountIcon(*harness, kHowToPlayIcon), 1);
}

// Every text of a box: inside the panel, at size 1 or more, and no glyph over another.
void ExpectTextsFit(const GameHarness& h, const char* box) {
    const MenuBoxLayout l = LayoutMenuBox();
    const float advance = static_cast<float>(h.game->imageInfo[kFontSlot * 3]);
    const float lineHeight = static_cast<float>(h.game->imageInfo[kFontSlot * 3 + 1]);
    struct Glyph {
        float x0, y0, x1, y1;
    };
    std::vector<Glyph> glyphs;
    for (const DrawCommand& c : h.CommandsOfKind(static_cast<float>(kFontSlot))) {
        EXPECT_GE(c.sizeX, 1.0f) << box << ": a glyph below size 1";
        if (c.sizeX < 1.0f) break;
        const Glyph g = {c.x - advance * c.sizeX / 2, c.y - lineHeight * c.sizeY / 2,
                         c.x + advance * c.sizeX / 2, c.y + lineHeight * c.sizeY / 2};
        EXPECT_GE(g.x0, l.panelX) << box << ": '" << static_cast<char>(c.frame + 32) << "'";
        EXPECT_LE(g.x1, l.panelX + l.panelWidth)
            << box << ": '" << static_cast<char>(c.frame + 32) << "' at " << c.x << "," << c.y;
        EXPECT_GE(g.y0, l.panelY) << box;
        EXPECT_LE(g.y1, l.panelY + l.panelHeight) << box;
        glyphs.push_back(g);
    }
    EXPECT_GT(glyphs.size(), 100u) << box << ": the box says something";
    int overlaps = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        for (size_t j = i + 1; j < glyphs.size(); ++j) {
            const Glyph& a = glyphs[i];
            const Glyph& b = glyphs[j];
            const float across = std::min(a.x1, b.x1) - std::max(a.x0, b.x0);
            const float down = std::min(a.y1, b.y1) - std::max(a.y0, b.y0);
            if (across > 0.5f && down > 0.5f) ++overlaps;
        }
    }
    EXPECT_EQ(overlaps, 0) << box << ": texts run into each other";
}

// At 640 x 480, on a 5:4 screen (a virtual 600 x 480, the narrowest landscape one) and in a
// window trimmed to fit a 640 x 480 screen.
TEST(MenuBoxes, EveryTextFitsAtSizeOne) {
    struct Window {
        int width, height;
    };
    // 638 x 455: a 640 x 480 screen less the window manager's title bar (seen under openbox).
    for (const Window window : {Window{640, 480}, Window{1280, 1024}, Window{638, 455}}) {
        GameHarness h(window.width, window.height);
        h.Create();
        ASSERT_GE(h.FinishLoading(), 0);
        h.Update(40);
        auto click = [&h](ScreenPoint at) {
            h.MoveMouseVirtual(at.x, at.y);
            h.Press(KeyCode::kMouseLeft);
            h.Update();
            h.Release(KeyCode::kMouseLeft);
            h.Update();
        };
        const std::string size = std::to_string(window.width) + "x" + std::to_string(window.height);
        click(HowToPlayButtonPosition(h.game->landscape, 0));
        ASSERT_EQ(h.game->howToPlayOpen, 1) << size;
        ExpectTextsFit(h, ("how to play at " + size).c_str());
        const std::string said = DrawnText(h);
        for (const char* words : {"Aimandfire", "Energy", "Microbes", "Keysandpad", "Escape", "F11",
                                  "Alt+Enter", "Pad:", "Ashorttap", "crowded", "bounces"}) {
            EXPECT_NE(said.find(words), std::string::npos) << words;
        }
        int microbes = 0;
        for (const DrawCommand& c : h.CommandsOfKind(1)) {
            microbes += static_cast<int>(c.frame) % 10 == 9;
        }
        EXPECT_EQ(microbes, 6) << "a full-grown picture of each kind";
        h.Press(KeyCode::kEscape);
        h.Update();
        h.Release(KeyCode::kEscape);
        h.Update();

        click(SettingsButtonPosition(h.game->landscape, 0));
        ASSERT_EQ(h.game->settingsOpen, 1) << size;
        ExpectTextsFit(h, ("settings at " + size).c_str());
        for (const char* words : {"Musicvolume", "Effectsvolume", "Fullscreen", "Off",
                                  "Musicandeffects", "Effectsonly", "Musiconly", "100%"}) {
            EXPECT_NE(DrawnText(h).find(words), std::string::npos) << words;
        }
    }
}

// The menu's buttons, as squares of their drawn size, for the layouts a player meets.
TEST(MenuButtons, NewButtonsStayOnScreenAndClearOfTheOthers) {
    struct Screen {
        int width, height;
    };
    for (const Screen screen : {Screen{640, 480}, Screen{640, 360}, Screen{360, 480}}) {
        jscrw = static_cast<float>(screen.width);
        jscrh = static_cast<float>(screen.height);
        const int landscape = jscrh <= jscrw ? 1 : 0;
        struct Square {
            const char* name;
            ScreenPoint at;
            float size;
        };
        ScreenPoint levels[3];
        DifficultyButtonPositions(landscape, 0, levels);
        const Square squares[] = {
            {"sound", SoundButtonPosition(landscape, 0), 64},
            {"badges", BadgesButtonPosition(landscape, 0), 64},
            {"how to play", HowToPlayButtonPosition(landscape, 0), 64},
            {"settings", SettingsButtonPosition(landscape, 0), 64},
            {"quit", QuitButtonPosition(landscape, 0), 32},
            {"iCade", {jscrw - 38, 38}, 64},
            {"easy", levels[0], 96},
            {"normal", levels[1], 96},
            {"hard", levels[2], 96},
        };
        for (const Square& a : squares) {
            EXPECT_GE(a.at.x - a.size / 2, 0) << a.name << " at " << screen.width;
            EXPECT_LE(a.at.x + a.size / 2, jscrw) << a.name << " at " << screen.width;
            EXPECT_GE(a.at.y - a.size / 2, 0) << a.name << " at " << screen.height;
            EXPECT_LE(a.at.y + a.size / 2, jscrh) << a.name << " at " << screen.height;
            for (const Square& b : squares) {
                if (&a == &b) continue;
                const bool apart = std::abs(a.at.x - b.at.x) >= (a.size + b.size) / 2 ||
                                   std::abs(a.at.y - b.at.y) >= (a.size + b.size) / 2;
                EXPECT_TRUE(apart) << a.name << " and " << b.name << " at " << screen.width << "x"
                                   << screen.height;
            }
        }
    }
    jscrw = 640;
    jscrh = 480;
}

TEST_F(FirstRunTest, EscapeOnTheMenuAsksQuitAndEachAnswerWorks) {
    // By keys: Escape asks, Escape again means no, N means no, Y leaves.
    Tap(KeyCode::kEscape);
    ASSERT_EQ(game->quitAsking, 1);
    EXPECT_NE(DrawnText(*harness).find("Quit?"), std::string::npos);
    EXPECT_NE(DrawnText(*harness).find("No"), std::string::npos);
    EXPECT_NE(DrawnText(*harness).find("Yes"), std::string::npos);
    Tap(KeyCode::kEscape);
    EXPECT_EQ(game->quitAsking, 0);
    EXPECT_TRUE(harness->platform.IsOpen());
    Tap(KeyCode::kEscape);
    Tap('N');
    EXPECT_EQ(game->quitAsking, 0);
    EXPECT_TRUE(harness->platform.IsOpen());
    // While it asks, the menu's own keys rest: fire does not start a game.
    Tap(KeyCode::kEscape);
    Tap(KeyCode::kRight);  // focus stays on no
    Tap(KeyCode::kSpace);
    EXPECT_EQ(game->screen, kScreenMenu);
    EXPECT_EQ(game->quitAsking, 0);
    EXPECT_TRUE(harness->platform.IsOpen()) << "space answered the focused no";

    // By pad: Start asks (it is the back button), left moves to yes, A confirms.
    harness->SetJoystick({0, 0}, std::vector<unsigned char>(12, 0));
    std::vector<unsigned char> start(12, 0);
    start[7] = 1;
    harness->SetJoystick({0, 0}, start);
    Update();
    harness->SetJoystick({0, 0}, std::vector<unsigned char>(12, 0));
    Update();
    ASSERT_EQ(game->quitAsking, 1);
    harness->SetJoystick({-1, 0}, std::vector<unsigned char>(12, 0));
    Update();
    harness->SetJoystick({0, 0}, std::vector<unsigned char>(12, 0));
    Update();
    EXPECT_EQ(game->quitFocus, 1);
    std::vector<unsigned char> a(12, 0);
    a[0] = 1;
    harness->SetJoystick({0, 0}, a);
    Update();
    EXPECT_FALSE(harness->platform.IsOpen()) << "yes closes the window";
}

TEST_F(FirstRunTest, TheQuitButtonAsksAndYesByPointerCloses) {
    const ScreenPoint at = QuitButtonPosition(game->landscape, 0);
    Update();
    EXPECT_EQ(CountIcon(*harness, kQuitIcon), 1) << "a desktop build shows the quit button";
    ClickAt(at.x, at.y);
    ASSERT_EQ(game->quitAsking, 1);
    const QuitPromptLayout l = LayoutQuitPrompt();
    ClickAt(l.no.x, l.no.y);
    EXPECT_EQ(game->quitAsking, 0);
    EXPECT_TRUE(harness->platform.IsOpen());
    ClickAt(at.x, at.y);
    ClickAt(l.yes.x, l.yes.y);
    EXPECT_FALSE(harness->platform.IsOpen());
}

TEST_F(FirstRunTest, SettingsChangeVolumesFullscreenAndSoundMode) {
    // An older record has 0 in the volume slots: full volume.
    EXPECT_EQ(game->settings[kMusicQuietSetting], 0);
    EXPECT_FLOAT_EQ(VolumeFactor(game->settings[kEffectsQuietSetting]), 1.0f);
    EXPECT_FLOAT_EQ(tunes->masterVolume, kFullMusicLevel);

    const ScreenPoint gear = SettingsButtonPosition(game->landscape, 0);
    ClickAt(gear.x, gear.y);
    ASSERT_EQ(game->settingsOpen, 1);
    EXPECT_EQ(CountIcon(*harness, kSettingsIcon), 1);
    // Music row has the focus: left three times, 70 %.
    for (int i = 0; i < 3; ++i) Tap(KeyCode::kLeft);
    EXPECT_EQ(game->settings[kMusicQuietSetting], 3);
    EXPECT_FLOAT_EQ(tunes->masterVolume, kFullMusicLevel * 0.7f);
    EXPECT_NE(DrawnText(*harness).find("70%"), std::string::npos);
    // Not below 0 %, not above 100 %.
    for (int i = 0; i < 12; ++i) Tap(KeyCode::kLeft);
    EXPECT_EQ(game->settings[kMusicQuietSetting], kVolumeSteps);
    EXPECT_FLOAT_EQ(tunes->masterVolume, 0.0f);
    for (int i = 0; i < 12; ++i) Tap(KeyCode::kRight);
    EXPECT_EQ(game->settings[kMusicQuietSetting], 0);

    // Effects: down to the row, left twice: every effect plays at 80 % of its own volume.
    Tap(KeyCode::kDown);
    Tap(KeyCode::kLeft);
    Tap(KeyCode::kLeft);
    EXPECT_EQ(game->settings[kEffectsQuietSetting], 2);
    ASSERT_FALSE(sfx->plays.empty());
    EXPECT_FLOAT_EQ(sfx->plays.back().volume, 0.5f * 0.8f) << "the menu's click at 80 %";

    // Fullscreen by the pointer, and back by keys.
    const MenuBoxLayout l = LayoutMenuBox();
    harness->Update();
    float onX = -1;
    float onY = -1;
    std::string row;
    for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(kFontSlot))) {
        if (c.frame == 'O' - 32 && onX < 0) {
            row = "O";
        } else if (row == "O" && c.frame == 'n' - 32) {
            onX = c.x;
            onY = c.y;
        } else {
            row.clear();
        }
    }
    ASSERT_GT(onX, l.panelX) << "an \"On\" choice is drawn";
    ClickAt(onX, onY);
    EXPECT_EQ(Fullscreen(), 1);
    Update();
    EXPECT_EQ(game->settings[kFullscreenSetting], 1) << "kept as F11 keeps it";
    Tap(KeyCode::kLeft);  // the click put the focus on the fullscreen row
    EXPECT_EQ(Fullscreen(), 0);

    // Sound modes by keys: right steps to the next, each labelled choice lit in turn.
    Tap(KeyCode::kDown);
    const int before = game->settings[5];
    Tap(KeyCode::kRight);
    EXPECT_EQ(game->settings[5], (before + 1) % 4);
    Tap(KeyCode::kLeft);
    EXPECT_EQ(game->settings[5], before);

    // Kept in the record of 98 fields, in their slots, under the settings checksum.
    game->Save();
    EXPECT_EQ(RecordField(*harness, kEffectsQuietSetting), "2");
    EXPECT_EQ(RecordField(*harness, kMusicQuietSetting), "0");
    EXPECT_EQ(RecordField(*harness, 25), std::to_string(SettingsChecksum(game->settings)));
    EXPECT_NE(RecordField(*harness, 97), "");
    EXPECT_EQ(RecordField(*harness, 98), "");
    // Read back as they were, and an older record without them reads as full volume.
    game->settings[kEffectsQuietSetting] = 0;
    game->Load();
    EXPECT_EQ(game->settings[kEffectsQuietSetting], 2);

    Tap(KeyCode::kEscape);
    EXPECT_EQ(game->settingsOpen, 0);
}

}  // namespace

namespace {

// The windowed place is noted in the settings while the game runs, and a saved one is put back
// at the next start, onto a monitor that exists; a record without one leaves the window alone.
TEST(WindowPlace, TheLastWindowedPlaceIsKeptAndComesBack) {
    GameHarness h;
    h.platform.SetMonitors({{0, 0, 1920, 1080}});
    h.Create();
    h.platform.SetWindowPos(300, 200);
    h.Update(30);
    EXPECT_EQ(h.game->settings[kWindowXSetting], 300);
    EXPECT_EQ(h.game->settings[kWindowYSetting], 200);
    EXPECT_EQ(h.game->settings[kWindowWidthSetting], 640);
    EXPECT_EQ(h.game->settings[kWindowHeightSetting], 480);

    // Fullscreen is no windowed place: the last window's stays.
    ASSERT_EQ(SetFullscreen(1), 1);
    h.Update(30);
    EXPECT_EQ(h.game->settings[kWindowWidthSetting], 640);
    ASSERT_EQ(SetFullscreen(0), 0);

    h.game->settings[kWindowXSetting] = 0;
    h.game->settings[kWindowWidthSetting] = 0;
    h.game->ApplySavedWindowPlace();
    EXPECT_EQ(h.platform.WindowX(), 300) << "no saved width: nothing moves";

    // Saved on a second screen that is gone now: back on the one there is, at its size.
    h.game->settings[kWindowXSetting] = 2500;
    h.game->settings[kWindowYSetting] = 100;
    h.game->settings[kWindowWidthSetting] = 960;
    h.game->settings[kWindowHeightSetting] = 720;
    h.game->ApplySavedWindowPlace();
    h.platform.PollEvents();
    EXPECT_EQ(h.platform.WindowX(), 1920 - 960);
    EXPECT_EQ(h.platform.WindowY(), 100);
    int width = 0;
    int height = 0;
    h.platform.GetWindowSize(&width, &height);
    EXPECT_EQ(width, 960);
    EXPECT_EQ(height, 720);
}

}  // namespace

namespace {

// A box too tall for the screen shrinks to fit, and on a large screen to a whole number of
// pixels per unit, so the pixel font keeps its strokes.
TEST(MenuBoxLayout, AShrunkBoxKeepsWholePixelsPerUnit) {
    struct Case {
        float width, height, deviceScale;
        float scale;
    };
    const Case cases[] = {
        {640, 480, 1, 1},             // 640 x 480: no shrinking
        {640, 360, 3, 2.0f / 3},      // 1920 x 1080: 0.78 would be 2.35 pixels a unit
        {640, 360, 2, 0.5f},          // 1280 x 720: 1.56 pixels a unit becomes 1
        {640, 360, 1, 344.0f / 440},  // a 640 x 360 window: below one pixel a unit, as it is
    };
    for (const Case& c : cases) {
        jscrw = c.width;
        jscrh = c.height;
        const MenuBoxLayout l = LayoutMenuBox(c.deviceScale);
        EXPECT_FLOAT_EQ(l.scale, c.scale) << c.width << "x" << c.height << " at " << c.deviceScale;
        EXPECT_LE(MenuBoxLayout::kContentHeight * l.scale, l.panelHeight + 0.01f);
        EXPECT_GE(l.originX, l.panelX);
    }
    jscrw = 640;
    jscrh = 480;
}

}  // namespace
