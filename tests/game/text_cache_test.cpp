// The HUD and the menu's score columns keep their texts between updates. Over a scripted game
// and menu visits (both layouts, a short window, changing scores, energy and lists), every
// update's picture must hold exactly the commands the texts built afresh draw: the reference
// below builds them as the game always did, every update, and appends them after the picture.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "game/asset_slots.h"
#include "game/score_table.h"
#include "input/key_translation.h"
#include "tests/game/game_fixture.h"

using namespace vexmo;

namespace {

// Draws with `draw` after the end of the picture and returns those commands; the picture itself
// is left as it was.
template <typename Draw>
std::vector<DrawCommand> DrawnAfterThePicture(GameHarness& h, Draw draw) {
    MyApp& g = *h.game;
    const int before = g.drawCount;
    draw(g);
    std::vector<DrawCommand> all = h.Commands();
    g.drawCount = before;
    return std::vector<DrawCommand>(all.begin() + before / kCommandFloats, all.end());
}

// The HUD's texts as built every update before they were kept: padded with rstr, then split
// into single characters on the landscape layout.
void ReferenceHud(MyApp& g, int shownScore) {
    const int shownEnergy = std::max(0, std::min(99, g.energy / 3));
    const float cx = jscrw / 2;
    const float cy = jscrh / 2;
    g.ResetDraw();
    g.SetSize(3);
    const String energyText = g.rstr(shownEnergy, 2, T("0"));
    const String scoreText = g.rstr(shownScore, 10, T("0"));
    if (!g.landscape) {
        g.Text(cx, 20, T(" ") + energyText, 1, 1);
        g.Text(cx, 50, T(" ") + scoreText, 1, 1);
        return;
    }
    for (int i = 0; i < 2; ++i)
        g.Text(40, cy - 14 + 28 * i, T(" ") + energyText.Slice(i, i + 1), 1, 1);
    for (int i = 0; i < 10; ++i) {
        g.Text(jscrw - 40, cy - 126 + 28 * i, T(" ") + scoreText.Slice(i, i + 1), 1, 1);
    }
}

String ReferenceColumn(MyApp& g, const String& title, int listStart, int rows) {
    String text = title;
    for (int i = 0; i < rows; ++i) {
        text = text + T("\\n") + g.rstr(g.highScores[listStart + i], 11, T(" "));
    }
    return text;
}

// The menu's two score columns as built every update before they were kept.
void ReferenceScoreLists(MyApp& g) {
    const int slide = g.menuSlide;
    g.ResetDraw();
    g.SetCol(255, 255, 255, 0.75f);
    g.SetSize(1);
    g.SetCol(255, 200, 100, 1);
    g.SetSize(1.5f);
    const int lineHeight = std::max(1, static_cast<int>(g.imageInfo[g.fontSlot * 3 + 1] * 1.5f));
    const int rows = std::max(1, std::min(10, static_cast<int>(jscrh / 2 - 90) / lineHeight));
    const float x = jscrw - g.panelWidth - 4 * slide + 20;
    const String bestTitle = rows == 1 ? T("Highscore") : T("Top ") + String(rows);
    g.Text(x, 60, ReferenceColumn(g, bestTitle, BestListStart(g.difficulty), rows), 0, 0);
    g.SetCol(200, 255, 100, 1);
    g.SetSize(1.5f);
    const String lastTitle = rows == 1 ? T("Last") : T("Last ") + String(rows);
    g.Text(x, jscrh / 2 + 20, ReferenceColumn(g, lastTitle, LastListStart(g.difficulty), rows), 0,
           0);
}

void ExpectSameCommands(const std::vector<DrawCommand>& got, const std::vector<DrawCommand>& want,
                        int update) {
    std::string gs, ws;
    for (const DrawCommand& c : got) gs += static_cast<char>(c.frame + 32);
    for (const DrawCommand& c : want) ws += static_cast<char>(c.frame + 32);
    ASSERT_EQ(got.size(), want.size()) << "update " << update << " " << gs << " | " << ws;
    for (size_t i = 0; i < got.size(); ++i) {
        const DrawCommand& a = got[i];
        const DrawCommand& b = want[i];
        const float fa[] = {a.kind,  a.x,     a.y,   a.rotation, a.sizeX, a.sizeY,
                            a.frame, a.alpha, a.red, a.green,    a.blue};
        const float fb[] = {b.kind,  b.x,     b.y,   b.rotation, b.sizeX, b.sizeY,
                            b.frame, b.alpha, b.red, b.green,    b.blue};
        for (int f = 0; f < 11; ++f) {
            ASSERT_EQ(fa[f], fb[f]) << "update " << update << ", command " << i << ", field " << f;
        }
    }
}

struct Session {
    GameHarness h;
    int update = 0;
    int hudChecks = 0;
    int menuChecks = 0;
    std::set<int> scoresShown;
    std::set<int> energiesShown;
    std::set<int> landscapes;
    std::set<std::vector<int>> listsShown;

    // One update, its picture checked against the texts built afresh (before the render, which
    // may take a new window size), then the render.
    void Step() {
        MyApp& g = *h.game;
        const bool playing = g.screen == kScreenPlay && g.loadStep == 0;
        const int shownScore = g.shownScore;
        const bool overlay = g.gameOverTimer > 0;  // the fading game-over words use the font too
        h.Update();
        ++update;
        if (playing && g.screen != kScreenStartPlay) CheckHud(shownScore);
        if (g.screen == kScreenMenu && g.loadStep == 0 && !overlay && !g.creditsOpen &&
            !g.badgesOpen) {
            CheckMenu();
        }
        h.Render();
    }

    void CheckHud(int shownScore) {
        const std::vector<DrawCommand> picture = h.Commands();
        // The HUD ends the play field's picture, just before the pause icon.
        int icon = -1;
        for (int i = static_cast<int>(picture.size()) - 1; i >= 0; --i) {
            if (picture[i].IsImage(kIconsImage) && picture[i].x == 16 && picture[i].y == 16) {
                icon = i;
                break;
            }
        }
        ASSERT_GE(icon, 0) << "update " << update;
        const std::vector<DrawCommand> want =
            DrawnAfterThePicture(h, [&](MyApp& g) { ReferenceHud(g, shownScore); });
        ASSERT_GE(icon, static_cast<int>(want.size()));
        const std::vector<DrawCommand> got(picture.begin() + icon - want.size(),
                                           picture.begin() + icon);
        ExpectSameCommands(got, want, update);
        ++hudChecks;
        scoresShown.insert(shownScore);
        energiesShown.insert(h.game->energy / 3);
        landscapes.insert(h.game->landscape);
    }

    void CheckMenu() {
        MyApp& g = *h.game;
        std::vector<DrawCommand> got;
        for (const DrawCommand& c : h.Commands()) {
            if (c.IsImage(g.fontSlot)) got.push_back(c);
        }
        const std::vector<DrawCommand> want =
            DrawnAfterThePicture(h, [](MyApp& app) { ReferenceScoreLists(app); });
        ASSERT_FALSE(want.empty());
        ExpectSameCommands(got, want, update);
        ++menuChecks;
        const int best = BestListStart(g.difficulty);
        const int last = LastListStart(g.difficulty);
        std::vector<int> shown(g.highScores.Data() + best, g.highScores.Data() + best + 10);
        shown.insert(shown.end(), g.highScores.Data() + last, g.highScores.Data() + last + 10);
        shown.push_back(static_cast<int>(jscrh));
        listsShown.insert(shown);
    }

    // Play with the pointer circling the dish and the button held in bursts; the energy is set
    // now and then so its display changes too.
    void Play(int updates, int firstEnergy) {
        MyApp& g = *h.game;
        for (int i = 0; i < updates && g.screen == kScreenPlay; ++i) {
            const double angle = i * 0.05;
            h.MoveMouseVirtual(jscrw / 2 + 150 * static_cast<float>(std::sin(angle)),
                               jscrh / 2 - 150 * static_cast<float>(std::cos(angle)));
            if (i % 30 == 0) h.Press(KeyCode::kMouseLeft);
            if (i % 30 == 27) h.Release(KeyCode::kMouseLeft);
            if (i % 40 == 0) g.energy = firstEnergy - 7 * (i / 40);
            Step();
            ASSERT_FALSE(::testing::Test::HasFatalFailure());
        }
        h.Release(KeyCode::kMouseLeft);
    }

    void Run(int updates) {
        for (int i = 0; i < updates; ++i) {
            Step();
            ASSERT_FALSE(::testing::Test::HasFatalFailure());
        }
    }
};

TEST(KeptTextsTest, AScriptedGameAndMenuVisitsDrawWhatFreshTextsDraw) {
    Session s;
    MyApp& g = *s.h.game;
    s.h.Create();
    ASSERT_GE(s.h.FinishLoading(), 0);

    // The first menu: empty lists while it slides in, then lists that change under it.
    s.Run(40);
    g.highScores[BestListStart(2)] = 4321;
    s.Run(2);
    g.difficulty = 3;
    s.Run(2);
    g.difficulty = 2;

    // A game in landscape, then in portrait after a resize (which reloads everything).
    g.screen = kScreenStartPlay;
    s.Run(1);
    s.Play(400, 300);
    ASSERT_EQ(g.screen, kScreenPlay);
    s.h.Resize(480, 640);
    s.Run(1);
    ASSERT_GE(s.h.FinishLoading(), 0);
    s.Play(300, 280);
    ASSERT_EQ(g.screen, kScreenPlay);
    const int finalScore = g.score;
    g.energy = -1;
    for (int i = 0; i < 200 && g.screen != kScreenMenu; ++i) s.Step();
    ASSERT_EQ(g.screen, kScreenMenu);

    // The menu after the game (its score filed), then on a short window with fewer rows.
    s.Run(80);
    s.h.Resize(640, 300);
    s.Run(1);
    ASSERT_GE(s.h.FinishLoading(), 0);
    s.Run(40);
    g.highScores[LastListStart(2) + 1] = 77;
    s.Run(2);

    // The script did reach what it means to check.
    EXPECT_GT(finalScore, 0);
    EXPECT_GT(s.hudChecks, 600);
    EXPECT_GT(s.scoresShown.size(), 20u);
    EXPECT_GT(s.energiesShown.size(), 10u);
    EXPECT_EQ(s.landscapes.size(), 2u);
    EXPECT_GT(s.menuChecks, 100);
    EXPECT_GE(s.listsShown.size(), 5u);
}

}  // namespace
