// The badge box from the menu: its button overlaps none of the menu's controls on landscape and
// portrait screens, it opens a list of every badge a player can earn (earned bright, the others
// dimmed with how to earn them), scrolls with keys, wheel and drags, closes with its button or
// Escape, and the menu ignores its controls meanwhile. And every badge text fits where it is
// shown, measured with the font's own glyphs.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/asset_slots.h"
#include "game/badges.h"
#include "game/layout.h"
#include "input/input.h"
#include "tests/game/play_support.h"

namespace {

using namespace vexmo;

struct Box {
    float x0, y0, x1, y1;
    bool Overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

// The box an image command covers: its frame's size at the command's scale, centred (every
// image of the game is loaded with the middle handle).
Box ImageBox(const MyApp& game, const DrawCommand& c) {
    const int slot = static_cast<int>(c.kind);
    const float w = game.imageInfo[slot * 3] * game.imageScale * c.sizeX;
    const float h = game.imageInfo[slot * 3 + 1] * game.imageScale * c.sizeY;
    return {c.x - w / 2, c.y - h / 2, c.x + w / 2, c.y + h / 2};
}

// Loads a game on a window of the given size and lets the menu settle.
std::unique_ptr<GameHarness> SettledMenu(int width, int height) {
    auto harness = std::make_unique<GameHarness>(width, height);
    harness->Create();
    EXPECT_GE(harness->FinishLoading(), 0);
    harness->Frame(40);
    EXPECT_EQ(harness->game->menuSlide, 0);
    return harness;
}

std::vector<DrawCommand> BadgeButtons(const GameHarness& h) {
    std::vector<DrawCommand> found;
    for (const DrawCommand& c : h.CommandsOfKind(kIconsImage)) {
        if (c.frame == kBadgesIcon) found.push_back(c);
    }
    return found;
}

class BadgeButtonLayoutTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(BadgeButtonLayoutTest, TheButtonOverlapsNoOtherControlAndStaysOnScreen) {
    const auto [width, height] = GetParam();
    auto harness = SettledMenu(width, height);
    const MyApp& game = *harness->game;
    const std::vector<DrawCommand> buttons = BadgeButtons(*harness);
    ASSERT_EQ(buttons.size(), 1u);
    const Box badges = ImageBox(game, buttons[0]);
    const ScreenPoint at = BadgesButtonPosition(game.landscape, 0);
    EXPECT_EQ(buttons[0].x, at.x);
    EXPECT_EQ(buttons[0].y, at.y);
    EXPECT_EQ(badges.x1 - badges.x0, 64);
    EXPECT_GE(badges.x0, 0);
    EXPECT_GE(badges.y0, 0);
    EXPECT_LE(badges.x1, jscrw);
    EXPECT_LE(badges.y1, jscrh);

    // Every other control of the menu: the sound, difficulty, iCade and credits buttons, and the
    // score panel with its lists.
    std::vector<Box> others;
    for (const int slot : {kIconsImage, 95, 92, kLogoSlot}) {
        for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(slot))) {
            if (slot == kIconsImage && c.frame == kBadgesIcon) continue;
            others.push_back(ImageBox(game, c));
        }
    }
    int panels = 0;
    for (const DrawCommand& c : harness->CommandsOfKind(kRectKind)) {
        if (c.sizeX == game.panelWidth && c.sizeY == jscrh) {
            others.push_back({c.x, c.y, c.x + c.sizeX, c.y + c.sizeY});
            ++panels;
        }
    }
    EXPECT_EQ(panels, 1);
    EXPECT_GE(others.size(), 7u) << "sound, mode mark, three difficulties, iCade, credits";
    for (const Box& other : others) {
        EXPECT_FALSE(badges.Overlaps(other))
            << width << "x" << height << ": (" << other.x0 << ", " << other.y0 << ")-(" << other.x1
            << ", " << other.y1 << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, BadgeButtonLayoutTest,
                         ::testing::Values(std::make_pair(640, 480), std::make_pair(480, 640),
                                           std::make_pair(1024, 768), std::make_pair(768, 1024),
                                           std::make_pair(1280, 720), std::make_pair(720, 1280),
                                           std::make_pair(1920, 1080), std::make_pair(1080, 1920),
                                           std::make_pair(1280, 1024)),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" +
                                    std::to_string(info.param.second);
                         });

// ---- The box ----

class BadgesBoxTest : public PlayTest {
protected:
    void OpenBox() {
        const ScreenPoint at = BadgesButtonPosition(game->landscape, 0);
        ClickAt(at.x, at.y);
        ASSERT_EQ(game->badgesOpen, 1);
    }
    // Pictures of the badge sheet in the last picture, by badge.
    std::vector<DrawCommand> Pictures() const {
        return harness->CommandsOfKind(static_cast<float>(kBadgeSheet));
    }
    int ListedBadges() const {
        int listed = 0;
        for (int b = 1; b < kBadges; ++b) listed += game->BadgeID(b).Length() > 0;
        return listed;
    }
};

TEST_F(BadgesBoxTest, TheMenuButtonOpensTheBoxOverTheMenu) {
    EXPECT_EQ(game->badgesOpen, 0);
    EXPECT_TRUE(Pictures().empty());
    OpenBox();
    EXPECT_EQ(sfx->CountOf(99), 1);
    EXPECT_EQ(game->screen, kScreenMenu);
    EXPECT_FALSE(Pictures().empty());
    // The panel lies over the menu: drawn after the menu's buttons.
    const std::vector<DrawCommand> all = harness->Commands();
    const BadgesBoxLayout l = LayoutBadgesBox();
    size_t panel = all.size();
    size_t lastMenuButton = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].IsRect() && all[i].x == l.panelX && all[i].sizeX == l.panelWidth) panel = i;
        if (all[i].IsImage(95)) lastMenuButton = i;
    }
    ASSERT_LT(panel, all.size());
    EXPECT_GT(panel, lastMenuButton);
}

TEST_F(BadgesBoxTest, ItListsEveryEarnableBadgeOnceWhileScrollingDown) {
    OpenBox();
    std::set<int> seen;
    for (const DrawCommand& c : Pictures()) seen.insert(static_cast<int>(c.frame));
    harness->Press(KeyCode::kDown);
    for (int i = 0; i < 400; ++i) {
        Update();
        for (const DrawCommand& c : Pictures()) seen.insert(static_cast<int>(c.frame));
    }
    harness->Release(KeyCode::kDown);
    EXPECT_EQ(static_cast<int>(seen.size()), ListedBadges());
    EXPECT_EQ(seen.count(kBadgeTest), 0u) << "the test badge is no badge to earn";
    for (int b = 1; b <= kBadgeLastDefined; ++b) EXPECT_EQ(seen.count(b), 1u) << b;
    // Down at the end stays at the end.
    const BadgesBoxLayout l = LayoutBadgesBox();
    EXPECT_FLOAT_EQ(game->badgeScroll, ListedBadges() * l.rowHeight - (l.listBottom - l.listTop));
    // No row runs over the title or the panel's edge.
    for (const DrawCommand& c : Pictures()) {
        EXPECT_GE(c.y - 32 * l.pictureSize, l.listTop) << c.frame;
        EXPECT_LE(c.y + 32 * l.pictureSize, l.listBottom) << c.frame;
    }
}

TEST_F(BadgesBoxTest, EarnedBadgesAreBrightAndTheOthersDimmed) {
    game->badgeGot[kBadgeEasyRound5] = true;
    OpenBox();
    const std::vector<DrawCommand> pictures = Pictures();
    ASSERT_GE(pictures.size(), 3u);
    for (const DrawCommand& c : pictures) {
        if (c.frame == kBadgeEasyRound5) {
            EXPECT_EQ(c.alpha, 1) << "earned";
        } else {
            EXPECT_LT(c.alpha, 0.5f) << "badge " << c.frame;
        }
    }
    // Names and details are drawn for the dimmed ones too: every row has its name's and its
    // detail's glyphs to the right of the picture.
    const BadgesBoxLayout l = LayoutBadgesBox();
    for (const DrawCommand& picture : pictures) {
        int nameGlyphs = 0;
        int detailGlyphs = 0;
        for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(game->fontSlot))) {
            if (c.x < l.textX - 4 || std::abs(c.y - picture.y) > l.rowHeight / 2) continue;
            (c.y < picture.y - l.rowHeight / 2 + l.nameY + 4 ? nameGlyphs : detailGlyphs) += 1;
        }
        EXPECT_GT(nameGlyphs, 3) << "badge " << picture.frame;
        EXPECT_GT(detailGlyphs, 10) << "badge " << picture.frame;
    }
    // The title counts what is earned.
    EXPECT_EQ(game->BadgeName(kBadgeEasyRound5), T("Easy Going"));
}

TEST_F(BadgesBoxTest, TheWheelAndDragsScrollTheList) {
    OpenBox();
    Update(5);
    EXPECT_EQ(game->badgeScroll, 0);
    input::device->OnWheel(-2);  // towards the user: further down the list
    Update();
    EXPECT_EQ(game->badgeScroll, 56);
    input::device->OnWheel(1);
    Update();
    EXPECT_EQ(game->badgeScroll, 28);
    // Dragging up by 40 moves the list up with the pointer.
    harness->MoveMouseVirtual(320, 300);
    harness->Press(KeyCode::kMouseLeft);
    Update();
    harness->MoveMouseVirtual(320, 260);
    Update();
    harness->Release(KeyCode::kMouseLeft);
    Update();
    EXPECT_EQ(game->badgeScroll, 68);
    // Up never passes the top.
    harness->Press(KeyCode::kUp);
    Update(60);
    harness->Release(KeyCode::kUp);
    EXPECT_EQ(game->badgeScroll, 0);
    EXPECT_EQ(game->difficulty, 2) << "the menu's keys stayed still";
}

TEST_F(BadgesBoxTest, TheCloseButtonClosesIt) {
    OpenBox();
    const BadgesBoxLayout l = LayoutBadgesBox();
    ClickAt(l.close.x, l.close.y);
    EXPECT_EQ(game->badgesOpen, 0);
    EXPECT_EQ(game->screen, kScreenMenu);
    EXPECT_TRUE(Pictures().empty());
}

TEST_F(BadgesBoxTest, EscapeClosesIt) {
    OpenBox();
    Tap(KeyCode::kEscape);
    EXPECT_EQ(game->badgesOpen, 0);
    EXPECT_EQ(game->screen, kScreenMenu);
}

TEST_F(BadgesBoxTest, TheMenuIgnoresItsControlsWhileTheBoxIsOpen) {
    OpenBox();
    const int mode = game->settings[5];
    const ScreenPoint sound = SoundButtonPosition(game->landscape, 0);
    ClickAt(sound.x, sound.y);
    EXPECT_EQ(game->settings[5], mode);
    ScreenPoint difficulty[3];
    DifficultyButtonPositions(game->landscape, 0, difficulty);
    ClickAt(difficulty[2].x, difficulty[2].y);
    ClickAt(jscrw - 70, jscrh - 40);  // the credits
    ClickAt(jscrw - 60, 62);          // iCade, beside the box's close button
    Tap(KeyCode::kEnter);
    Tap(KeyCode::kRight);
    EXPECT_EQ(game->screen, kScreenMenu);
    EXPECT_EQ(game->difficulty, 2);
    EXPECT_EQ(game->creditsOpen, 0);
    EXPECT_EQ(iCadeControls, 0);
    EXPECT_EQ(game->badgesOpen, 1);
    // The button does nothing while the credits are open.
    Tap(KeyCode::kEscape);
    game->creditsOpen = 1;
    const ScreenPoint at = BadgesButtonPosition(game->landscape, 0);
    ClickAt(at.x, at.y);
    EXPECT_EQ(game->badgesOpen, 0);
}

// ---- Text fit, measured with the font's glyphs ----

// Ink columns of each glyph of the generated 1x font, relative to the cell centre.
class FontInk {
public:
    FontInk() {
        std::fill(std::begin(left_), std::end(left_), 1e9f);
        std::fill(std::begin(right_), std::end(right_), -1e9f);
        const std::string path = std::string(VEXMO_BINARY_DIR) + "/data/fonts/editundo.png";
        int w = 0, h = 0, channels = 0;
        unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &channels, 4);
        EXPECT_NE(pixels, nullptr) << path;
        if (!pixels) return;
        const int columns = w / 16;
        for (int code = 33; code < 160; ++code) {
            const int cell = code - 32;
            const int cx = (cell % columns) * 16;
            const int cy = (cell / columns) * 16;
            if (cy + 16 > h) continue;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    if (pixels[((cy + y) * w + cx + x) * 4 + 3] == 0) continue;
                    left_[code] = std::min(left_[code], static_cast<float>(x) - 8);
                    right_[code] = std::max(right_[code], static_cast<float>(x + 1) - 8);
                }
            }
        }
        stbi_image_free(pixels);
    }
    // The ink's left and right ends of one line drawn with its first character's centre at 0,
    // 7 units apart per character at size 1.
    void Extent(const std::string& line, float size, float* left, float* right) const {
        *left = 1e9f;
        *right = -1e9f;
        for (size_t i = 0; i < line.size(); ++i) {
            const int code = static_cast<unsigned char>(line[i]);
            if (code <= 32 || code >= 160 || left_[code] > right_[code]) continue;
            const float centre = 7 * size * static_cast<float>(i);
            *left = std::min(*left, centre + left_[code] * size);
            *right = std::max(*right, centre + right_[code] * size);
        }
    }
    bool HasInk(int code) const { return left_[code] <= right_[code]; }

private:
    float left_[160] = {};
    float right_[160] = {};
};

std::vector<std::string> Lines(const String& text) {
    std::vector<std::string> lines(1);
    const std::string s = text.ToCString<char>();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
            lines.emplace_back();
            ++i;
        } else {
            lines.back() += s[i];
        }
    }
    return lines;
}

class BadgeTextFitTest : public GameTest {
protected:
    FontInk ink;
};

TEST_F(BadgeTextFitTest, EveryNameFitsThePopupBesideItsPicture) {
    ASSERT_TRUE(ink.HasInk('A'));
    for (int b = 1; b < kBadges; ++b) {
        const String name = game->BadgeName(b);
        if (name.Length() == 0) continue;
        const std::vector<std::string> lines = Lines(name);
        ASSERT_EQ(lines.size(), 1u) << lines[0];
        float left = 0, right = 0;
        ink.Extent(lines[0], 1, &left, &right);
        // The name's first character is centred 16 in; the picture (64 at half size) starts 128
        // in. Everything visible must have a glyph.
        EXPECT_GT(16 + left, 0) << lines[0];
        EXPECT_LT(16 + right, 128) << lines[0];
        for (const char c : lines[0]) {
            EXPECT_TRUE(c == ' ' || ink.HasInk(static_cast<unsigned char>(c))) << lines[0];
        }
    }
}

// The narrowest screen the box is laid out for is a 9:16 portrait window (270 x 480 virtual).
TEST_F(BadgeTextFitTest, EveryNameAndDetailLineFitsTheBoxWidth) {
    for (const auto& size : {std::make_pair(640, 480), std::make_pair(480, 640),
                             std::make_pair(1280, 720), std::make_pair(720, 1280)}) {
        harness->Resize(size.first, size.second);
        harness->Render();
        const BadgesBoxLayout l = LayoutBadgesBox();
        for (int b = 1; b < kBadges; ++b) {
            if (game->BadgeID(b).Length() == 0) continue;
            const std::vector<std::string> name = Lines(game->BadgeName(b));
            const std::vector<std::string> detail = Lines(game->BadgeDetail(b));
            EXPECT_LE(detail.size(), 2u) << "badge " << b << " has room for two detail lines";
            float left = 0, right = 0;
            ink.Extent(name[0], 1, &left, &right);
            EXPECT_LT(l.textX + right, l.textRight) << name[0] << " at " << jscrw;
            EXPECT_GT(l.textX + left, l.pictureX + 32 * l.pictureSize) << name[0];
            for (const std::string& line : detail) {
                ink.Extent(line, l.detailSize, &left, &right);
                EXPECT_LT(l.textX + right, l.textRight) << line << " at " << jscrw << "x" << jscrh;
                for (const char c : line) {
                    EXPECT_TRUE(c == ' ' || ink.HasInk(static_cast<unsigned char>(c))) << line;
                }
            }
            // The second detail line ends above the next row.
            const float lines = static_cast<float>(detail.size() - 1);
            EXPECT_LT(l.detailY + 10 * l.detailSize * lines + 5, l.rowHeight);
        }
    }
}

}  // namespace
