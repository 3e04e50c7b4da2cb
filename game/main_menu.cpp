// The main menu: title art sliding in, the score lists, sound, difficulty and iCade buttons, the
// maker's logo that opens the credits, and the buttons of the badge, how-to-play and settings
// boxes and of quitting.
#include <algorithm>

#include "game/asset_slots.h"
#include "game/layout.h"
#include "game/my_app.h"
#include "game/score_table.h"
#include "game/sound_modes.h"
#include "game/watch_best.h"
#include "game/world_box.h"
#include "host/window_mode.h"

using namespace vexmo;

namespace {

constexpr float kPanelWidth = 140;

// A titled column of scores, one per line, right-aligned in 11 characters.
String ScoreColumn(MyApp& app, const String& title, int listStart, int rows) {
    String text = title;
    for (int i = 0; i < rows; ++i) {
        text = text + T("\\n") + app.rstr(app.highScores[listStart + i], 11, T(" "));
    }
    return text;
}

// The column's text, kept between updates and built again only when its row count or one of the
// scores it shows changes.
const String& CachedScoreColumn(MyApp& app, CachedTexts<1>& cache, bool best, int listStart,
                                int rows) {
    int key[1 + 10] = {rows};
    const int shown = std::min(rows, 10);
    for (int i = 0; i < shown; ++i) key[1 + i] = app.highScores[listStart + i];
    if (cache.Stale(key, 1 + shown)) {
        const String title = rows == 1 ? (best ? T("Highscore") : T("Last"))
                                       : (best ? T("Top ") : T("Last ")) + String(rows);
        cache[0] = ScoreColumn(app, title, listStart, rows);
    }
    return cache[0];
}

}  // namespace

int MyApp::LoadMenu() {
    RecordBest(highScores, difficulty, score);
    GC_PostScore(difficulty, highScores[BestListStart(difficulty)]);
    GC_Badges();
    RecordLast(highScores, difficulty, score);
    recordSync.FinishedGame(difficulty);
    BadgesForFinishedGame();
    Save();
    return 0;
}

static void DrawTitle(MyApp& app, int slide) {
    const float cx = jscrw / 2;
    const float cy = jscrh / 2;
    app.ResetDraw();
    app.SetSize(3);
    app.DrawImg(kMenuImage, cx, cy + 16 * slide, 0);
    app.SetSize(2);
    app.Alpha(1);
    app.DrawImg(kMenuImage, jscrw * 0.4f + 20 * slide, cy, 2);
    app.SetSize(3);
    app.Alpha(1);
    app.DrawImg(kMenuImage, cx, cy - 24 * slide, 1);
    app.SetSize(1);
    app.DrawImg(kTitleImage, jscrw * 0.4f, jscrh * 0.2f + 12 * slide, 0);
}

static void SoundButton(MyApp& app, int slide) {
    app.ResetDraw();
    app.SetSize(2);
    app.SetCol(50, 250, 50, 1);
    const int mode = app.settings[5];
    const ScreenPoint at = SoundButtonPosition(app.landscape, slide);
    if (app.Button(kIconsImage, at.x, at.y, mode == 0 ? 5 : 4) && !app.clickLatch &&
        !app.MenuBoxOpen()) {
        app.settings[5] = NextSoundMode(mode);
        app.BadgesForSoundMode(mode);
        app.clickLatch = 1;
        app.PlaySFX(kSfxMenu, 1, 0.5f, 0);
    }
    const int shown = app.settings[5];
    if (HasMusic == 1 && shown >= 1 && shown <= 3) {
        app.SetSize(1.5f);
        app.SetCol(180, 255, 255, 1);
        app.DrawImg(kIconsImage, at.x + 20, at.y, static_cast<float>(shown + 7));
    }
}

static void ScoreLists(MyApp& app, int slide) {
    app.SetCol(255, 255, 255, 0.75f);
    app.SetSize(1);
    app.SetCol(255, 200, 100, 1);
    app.SetSize(1.5f);
    const int glyphHeight = app.imageInfo[app.fontSlot * 3 + 1];
    const int lineHeight = std::max(1, static_cast<int>(glyphHeight * 1.5f));
    const int rows = std::max(1, std::min(10, static_cast<int>(jscrh / 2 - 90) / lineHeight));
    if (app.MenuBoxOpen()) return;

    const float x = jscrw - app.panelWidth - 4 * slide + 20;
    app.Text(x, 60,
             CachedScoreColumn(app, app.bestColumnText, true, BestListStart(app.difficulty), rows),
             0, 0);
    app.SetCol(200, 255, 100, 1);
    app.SetSize(1.5f);
    app.Text(x, jscrh / 2 + 20,
             CachedScoreColumn(app, app.lastColumnText, false, LastListStart(app.difficulty), rows),
             0, 0);
}

// While saves fail (the console has the reason) a small line under the score lists tells the
// player that this session's scores will be lost.
static void SaveFailureNotice(MyApp& app, int slide) {
    if (!app.saveFailing || app.MenuBoxOpen()) return;
    app.ResetDraw();
    app.SetSize(0.75f);
    app.SetCol(255, 120, 100, 1);
    const float x = jscrw - app.panelWidth / 2 - 4 * slide;
    // In the gap between the best and the last list, clear of the maker's logo further down.
    app.Text(x, jscrh / 2 + 2, T("Scores are not being saved"), 1, 0);
}

static void StartGame(MyApp& app, float rate) {
    app.screen = kScreenStartPlay;
    app.clickLatch = 1;
    app.keyLatch = 1;
    app.PlaySFX(kSfxMenu, rate, 0.5f, 0);
}

static void DifficultyButtons(MyApp& app, int slide) {
    app.ResetDraw();
    app.SetSize(1.5f);
    app.Alpha(1);
    ScreenPoint at[3];
    DifficultyButtonPositions(app.landscape, slide, at);
    for (int i = 0; i < 3; ++i) {
        const int level = i + 1;
        const int pressed = app.Button(kButtonsImage, at[i].x, at[i].y, static_cast<float>(i));
        if (pressed && !app.clickLatch && !app.MenuBoxOpen()) {
            app.difficulty = level;
            StartGame(app, 1);
        }
        if (app.difficulty == level) {
            app.Alpha(0.75f);
            app.DrawImg(kButtonsImage, at[i].x, at[i].y, 15);
            app.Alpha(1);
        }
    }
}

static void MenuKeys(MyApp& app) {
    auto ready = [&app]() { return !app.keyLatch && !app.MenuBoxOpen(); };
    if (ready() && (app.PlayKey(kButtonUp) || app.PlayKey(kButtonLeft))) {
        app.keyLatch = 1;
        if (app.difficulty > 1) {
            app.difficulty -= 1;
            app.PlaySFX(kSfxMenu, 0.8f, 0.5f, 0);
        }
    }
    if (ready() && (app.PlayKey(kButtonDown) || app.PlayKey(kButtonRight))) {
        app.keyLatch = 1;
        if (app.difficulty < 3) {
            app.difficulty += 1;
            app.PlaySFX(kSfxMenu, 1.2f, 0.5f, 0);
        }
    }
    for (int code = kButtonAction1; code <= 17 && ready(); ++code) {
        if (app.PlayKey(code)) StartGame(app, 1);
    }
    // With no box open, the back button asks whether to leave the game (where it can leave).
    if (ready() && app.screen == kScreenMenu && app.PlayKey(kButtonBack) && CanEndApp()) {
        app.keyLatch = 1;
        app.quitAsking = 1;
        app.quitFocus = 0;
        app.PlaySFX(kSfxToggle, 1, 1, 0);
    }
}

static void ICadeAndCredits(MyApp& app, int slide) {
    auto ready = [&app]() { return !app.clickLatch && !app.MenuBoxOpen(); };
    app.ResetDraw();
    if (app.Button(kICadeImage, jscrw - 38, 38.0f + 4 * slide, static_cast<float>(iCadeControls)) &&
        ready()) {
        app.clickLatch = 1;
        app.iCade(iCadeControls ? 0 : 1);
        app.PlaySFX(kSfxToggle, 1, 1, 0);
    }
    app.SetSize(0.5f);
    if (app.Button(kLogoSlot, jscrw - 70, jscrh - 40 - 4.0f * slide, 0) && ready()) {
        app.clickLatch = 1;
        app.PlaySFX(kSfxToggle, 1, 1, 0);
        app.creditsOpen = 1;
    }
}

int MyApp::Menu() {
    CLS2D(0, 0, 80, 1);
    if (menuSlide < 0) menuSlide = static_cast<int>(menuSlide + 0.25f);
    const int slide = menuSlide;
    menuClock += 1;
    panelWidth = kPanelWidth;

    DrawTitle(*this, slide);
    SetCol(0, 0, 0, 0.4f);
    Rect(jscrw - panelWidth - 4 * slide, 0, panelWidth, jscrh);
    SoundButton(*this, slide);
    BadgesButton(slide);
    WorldButton(*this, slide);
    HowToPlayButton(slide);
    SettingsButton(slide);
    QuitButton(slide);
    ScoreLists(*this, slide);
    SaveFailureNotice(*this, slide);
    DifficultyButtons(*this, slide);
    WatchBestButtons(*this, slide);
    MenuKeys(*this);
    ICadeAndCredits(*this, slide);
    return 0;
}
