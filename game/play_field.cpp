// The play field: rounds, the dish with its microbes, the ship on the rim, shots and debris.
#include <algorithm>
#include <cmath>

#include "game/angles.h"
#include "game/asset_slots.h"
#include "game/badges.h"
#include "game/layout.h"
#include "game/my_app.h"
#include "host/app.h"
#include "host/random.h"
#include "music/kuv_player.h"

using namespace vexmo;

namespace {

// Positions inside one cell record.
constexpr int kCellKind = 0;
constexpr int kCellGrowth = 1;
constexpr int kCellRipeness = 2;
constexpr int kFullGrown = 79;
constexpr int kRipe = 100;
// Spreading stays inside a disc of about 14 cells around the middle of the grid.
constexpr int kSpreadRadiusSquared = 200;

// Positions inside one shot record.
constexpr int kShotKind = 0;
constexpr int kShotX = 1;
constexpr int kShotY = 2;
constexpr int kShotVX = 3;
constexpr int kShotVY = 4;
constexpr int kShotAngle = 5;
constexpr int kShotLife = 8;
constexpr int kPlayerShot = 1;
constexpr int kBouncedShot = 2;

// Positions inside one debris record.
constexpr int kPartFrame = 0;  // frame + 1, 0 for a free slot
constexpr int kPartX = 1;
constexpr int kPartY = 2;
constexpr int kPartVX = 3;
constexpr int kPartVY = 4;
constexpr int kPartAngle = 5;
constexpr int kPartSpin = 6;
constexpr int kPartAlpha = 7;

constexpr int kStartEnergy = 300;
constexpr int kRoundStartUpdates = 120;

// How much one hit takes off a microbe's growth.
int DamageOf(int kind) {
    switch (kind) {
        case 2:
            return 35;
        case 3:
            return 100;
        case 5:
            return 42;
        default:
            return 50;
    }
}

// Upper bound of the random ripening step of a full-grown microbe.
int RipeningStepOf(int kind) {
    switch (kind) {
        case 3:
            return 8;
        case 4:
            return 6;
        case 5:
            return 7;
        default:
            return 2;
    }
}

int ClampInt(int v, int lo, int hi) {
    return std::max(lo, std::min(hi, v));
}

}  // namespace

int MyApp::Rand(float lo, float hi) {
    const float r = Rnd();
    return static_cast<int>(std::floor(lo + r * ((hi + 0.99f) - lo)));
}

int MyApp::WhichWayDoIGo(float from, float to, int lo, int hi) {
    const int w = hi - lo;
    const float span = static_cast<float>(w + 1);
    auto wrap = [span](float v) {
        const float m = std::fmod(v, span);
        return m < 0 ? m + span : m;
    };
    const float m = wrap(from);
    const float t = wrap(to);
    float u = wrap(t - m) + lo;
    if (u > lo + w / 2) u -= w;
    return static_cast<int>(u);
}

int MyApp::LoadGame() {
    score = 0;
    dying = 0;
    gameOverTimer = 0;
    screen = kScreenPlay;
    Seed = Millisecs();
    gridW = 40;
    gridH = 40;
    for (int row = 0; row <= gridH; ++row) {
        for (int column = 0; column <= gridW; ++column) {
            const int c = CellIndex(column, row);
            for (int k = 0; k < kCellStride; ++k) cells[c + k] = 0;
        }
    }
    for (int i = 0; i < kShotSlots; ++i) shots[i * kShotStride + kShotKind] = 0;
    // Debris of the last game's ship stops moving when the menu takes over; it must not come
    // back with the next game, nor the last score count down on its display.
    for (int i = 0; i < kParticleSlots; ++i) particles[i * kParticleStride + kPartFrame] = 0;
    shownScore = 0;
    fireTimer = 0;
    fireCount = 0;
    shipAngle = 180;
    aimAngle = 180.0f;
    minKind = 1;
    maxKind = 1;
    liveCount = 0;
    wobblePhase = 0;
    spawnsLeft = 5;
    spawnCap = 0;
    round = 0;
    oneHitKills = 0;
    NewRound();
    energy = kStartEnergy;
    return 0;
}

int MyApp::NewRound() {
    if (musicPlayer) musicPlayer->Kuv_Stop(1);
    round += 1;
    startCountdown = kRoundStartUpdates;
    minKind = 1;
    maxKind = ClampInt(difficulty - 1 + round / 2, 1, 6);
    spawnCap = std::min(round * difficulty, 25);
    spawnsLeft = std::min(round * difficulty * 3, 100);
    warnLevel = 90;
    warnCeiling = 100;
    BadgesForNewRound();
    return 0;
}

int MyApp::Fire(float angle, int kind, float scale) {
    for (int i = kShotSlots - 1; i >= 0; --i) {
        const int s = i * kShotStride;
        if (shots[s + kShotKind] != 0) continue;
        const float radius = scale * gridW * 4;
        shots[s + kShotKind] = static_cast<float>(kind);
        shots[s + kShotX] = jscrw / 2 + SinDeg(angle) * radius;
        shots[s + kShotY] = jscrh / 2 - CosDeg(angle) * radius;
        shots[s + kShotVX] = -SinDeg(angle) * 8;
        shots[s + kShotVY] = CosDeg(angle) * 8;
        shots[s + kShotAngle] = angle;
        shots[s + kShotLife] = 10;
        return 0;
    }
    return 0;
}

int MyApp::Mess(float x, float y) {
    for (int i = kParticleSlots - 1; i >= 0; --i) {
        const int p = i * kParticleStride;
        if (particles[p + kPartFrame] != 0) continue;
        particles[p + kPartFrame] = static_cast<float>(Rand(1, 5));
        particles[p + kPartX] = x;
        particles[p + kPartY] = y;
        // The four unit draws are made in this order so a seeded game replays exactly.
        const float r1 = Rnd();
        const float r2 = Rnd();
        const float r3 = Rnd();
        const float r4 = Rnd();
        particles[p + kPartVX] = 16 * r1 - 8;
        particles[p + kPartVY] = 16 * r2 - 8;
        particles[p + kPartAngle] = 360 * r3;
        particles[p + kPartSpin] = 12 * r4 - 6;
        particles[p + kPartAlpha] = 1;
        return 0;
    }
    return 0;
}

int MyApp::Check(int column, int row, int x, int y) {
    if (shotHits > 2 || column < 0 || column > gridW || row < 0 || row > gridH) return 0;
    const int c = CellIndex(column, row);
    const int kind = cells[c + kCellKind];
    if (kind == 0) return 0;
    const bool reflects = kind == 6;
    score += kind;
    BadgesForScore();
    const float pitch = Rnd();
    PlaySFX(Rand(1, 8), 0.8f + 0.4f * pitch, 1, 0);
    const int debris = Rand(0, 4);
    for (int i = 0; i < debris; ++i) Mess(static_cast<float>(x), static_cast<float>(y));
    cells[c + kCellGrowth] -= DamageOf(kind);
    if (cells[c + kCellGrowth] <= 0) {
        cells[c + kCellKind] = 0;
        cells[c + kCellGrowth] = 0;
        if (kind == kOneHitKind) BadgesForOneHitKill();
    }
    const int s = currentShot * kShotStride;
    shots[s + kShotKind] = 0;
    if (reflects && Rand(0, 3) == 1) {
        const float angle = shots[s + kShotAngle] + static_cast<float>(Rand(160, 200));
        shots[s + kShotKind] = kBouncedShot;
        shots[s + kShotAngle] = angle;
        shots[s + kShotVX] = -SinDeg(angle) * 4;
        shots[s + kShotVY] = CosDeg(angle) * 4;
    }
    shotHits += 1;
    return 0;
}

// One cell of the row-major pass: draw it, maybe spawn into it, grow, ripen and spread it.
// Cells not yet visited see the changes made here later in the same pass.
static void UpdateCell(MyApp& app, int x, int y, const FieldLayout& l) {
    const int c = CellIndex(x, y);
    const int kind = app.cells[c + kCellKind];
    const int frame = (kind * 10 - 10) + app.cells[c + kCellGrowth] / 8;
    if (kind > 0 && frame >= 0 && frame <= 99) {
        const float cell = 8 * l.scale;
        app.DrawImg(kMicrobesImage, l.originX + cell * x, l.originY + cell * y,
                    static_cast<float>(frame));
    }
    const bool inner = x > 10 && x < app.gridW - 10 && y > 10 && y < app.gridH - 10;
    if (kind == 0 && app.Rand(0, 12345) <= 2 && app.prevLiveCount < app.spawnCap && inner &&
        app.spawnsLeft > 0 && app.startCountdown == 0 && !app.paused) {
        app.cells[c + kCellKind] =
            app.Rand(static_cast<float>(app.minKind), static_cast<float>(app.maxKind));
        for (int k = 1; k < kCellStride; ++k) app.cells[c + k] = 0;
        app.spawnsLeft -= 1;
        // The newborn is counted once, below, with the other live cells.
    }
    if (app.cells[c + kCellKind] <= 0) return;
    // A paused field still counts its microbes, so a pause can never look like an empty dish.
    app.liveCount += 1;
    if (app.cells[c + kCellKind] == kReflectingKind) app.roundReflectors = 1;
    if (app.paused) return;
    if (app.cells[c + kCellGrowth] <= kFullGrown - 1) {
        app.cells[c + kCellGrowth] =
            std::min(app.cells[c + kCellGrowth] + app.Rand(1, 3), kFullGrown);
        app.cells[c + kCellRipeness] = 0;
    }
    if (app.cells[c + kCellGrowth] != kFullGrown) return;
    const int own = app.cells[c + kCellKind];
    app.cells[c + kCellRipeness] += app.Rand(1, static_cast<float>(RipeningStepOf(own)));
    if (app.cells[c + kCellRipeness] <= kRipe) return;

    int spreadKind = own;
    if (app.Rand(0, 100) <= 2) {
        spreadKind = app.Rand(static_cast<float>(app.minKind), static_cast<float>(app.maxKind));
    }
    const int dx = std::abs(x - app.gridW / 2);
    const int dy = std::abs(y - app.gridH / 2);
    const bool mayspread = dx * dx + dy * dy <= kSpreadRadiusSquared;
    const int neighbours[4][3] = {
        {y > 0, x, y - 1},
        {y < app.gridH, x, y + 1},
        {x > 0, x - 1, y},
        {x < app.gridW, x + 1, y},
    };
    for (const auto& nb : neighbours) {
        const bool lucky = app.Rand(1, 20) == 1;
        if (!lucky || app.cells[c + kCellRipeness] <= kRipe || !nb[0] || !mayspread) continue;
        const int target = CellIndex(nb[1], nb[2]);
        if (app.cells[target + kCellKind] != 0) continue;
        app.cells[target + kCellKind] = spreadKind;
        app.cells[c + kCellRipeness] = 0;
    }
}

static void CellPass(MyApp& app, const FieldLayout& l) {
    app.ResetDraw();
    app.SetSize(l.scale);
    app.prevLiveCount = app.liveCount;
    app.liveCount = 0;
    for (int y = 0; y <= app.gridH; ++y) {
        for (int x = 0; x <= app.gridW; ++x) UpdateCell(app, x, y, l);
    }
}

static void DrawRim(MyApp& app, const FieldLayout& l) {
    app.ResetDraw();
    app.SetSize(l.scale);
    for (int i = 0; i <= 71; ++i) {
        const float a = static_cast<float>(5 * i);
        app.SetRot(a);
        app.DrawImg(kGfxImage, l.cx + SinDeg(a) * l.rimRadius, l.cy - CosDeg(a) * l.rimRadius, 0);
    }
}

static void TurnShip(MyApp& app) {
    const int d = app.WhichWayDoIGo(static_cast<float>(app.shipAngle), app.aimAngle, 0, 359);
    app.ResetDraw();
    if (d < -3) app.shipAngle -= 4;
    if (d > 3) app.shipAngle += 4;
    if (std::fabs(app.shipAngle - app.aimAngle) < 8) app.shipAngle = static_cast<int>(app.aimAngle);
}

// Holding the pointer fires at once, every update for six shots, then ever more slowly.
static void AimAndFire(MyApp& app, const FieldLayout& l) {
    if (!app.pointerDown) {
        app.fireTimer = 0;
        app.fireCount = 0;
        return;
    }
    if (app.paused || app.dying) return;
    app.aimAngle = ATan2Deg(app.pointerX - l.cx, l.cy - app.pointerY);
    app.fireTimer += 1;
    if (app.fireTimer > app.fireCount / 6) {
        app.fireTimer = 0;
        app.fireCount += 1;
        app.Fire(static_cast<float>(app.shipAngle), kPlayerShot, l.scale);
    }
}

static void DrawShip(MyApp& app, const FieldLayout& l) {
    app.SetRot(static_cast<float>(app.shipAngle));
    app.SetSize(2 * l.scale);
    app.CR(static_cast<float>(app.shipAngle / 5));
    if (!app.dying) {
        app.shipX =
            static_cast<int>(l.cx + SinDeg(static_cast<float>(app.shipAngle)) * l.rimRadius);
        app.shipY = l.cy - CosDeg(static_cast<float>(app.shipAngle)) * l.rimRadius;
        app.DrawImg(kGfxImage, static_cast<float>(app.shipX), app.shipY, 1);
    } else {
        app.Mess(static_cast<float>(app.shipX), app.shipY);
    }
    app.ResetDraw();
}

static void MoveShots(MyApp& app, const FieldLayout& l) {
    app.SetSize(2.0f);
    app.SetCol(255, 255, 255, 1);
    const float cell = 8 * l.scale;
    for (int i = 0; i < kShotSlots; ++i) {
        const int s = i * kShotStride;
        if (app.shots[s + kShotKind] <= 0) continue;
        app.CR(app.shots[s + kShotAngle]);
        app.SetRot(app.shots[s + kShotAngle]);
        app.shots[s + kShotX] += app.shots[s + kShotVX];
        app.shots[s + kShotY] += app.shots[s + kShotVY];
        const float x = app.shots[s + kShotX];
        const float y = app.shots[s + kShotY];
        app.DrawImg(kGfxImage, x, y, 1 + app.shots[s + kShotKind]);

        const int column = static_cast<int>(std::floor((x - l.originX) / cell));
        const int row = static_cast<int>(std::floor((y - l.originY) / cell));
        app.currentShot = i;
        app.shotHits = 0;
        if (app.shots[s + kShotKind] == kPlayerShot) {
            const int ix = static_cast<int>(x);
            const int iy = static_cast<int>(y);
            // All five run even once the shot is spent: one shot may hurt up to three cells.
            app.Check(column, row, ix, iy);
            app.Check(column + 1, row, ix, iy);
            app.Check(column - 1, row, ix, iy);
            app.Check(column, row + 1, ix, iy);
            app.Check(column, row - 1, ix, iy);
        }
        if (app.shots[s + kShotLife] > 0) app.shots[s + kShotLife] -= 1;
        // A shot that a cell has just used up no longer exists and cannot strike the ship.
        const bool live = app.shots[s + kShotKind] > 0;
        if (live && app.shots[s + kShotLife] < 1 && std::fabs(app.shipX - x) < 24 &&
            std::fabs(app.shipY - y) < 24) {
            app.shots[s + kShotKind] = 0;
            app.energy -= 10;
            app.roundShipStruck = 1;
            app.PlaySFX(kSfxShipStruck, 1, 1, 0);
        }
        if (x < -32 || x > jscrw + 32 || y < -32 || y > jscrh + 32) app.shots[s + kShotKind] = 0;
    }
}

// Where the round caption sits: it slides in from the right and out to the left.
static int CaptionOffset(int t) {
    if (t > 100) return 20 * (t - 100);
    if (t > 20) return 0;
    return 20 * (t - 20);
}

static const String& RoundCaption(MyApp& app) {
    const int key[] = {app.round};
    if (app.roundCaption.Stale(key, 1)) app.roundCaption[0] = T("Round ") + String(app.round);
    return app.roundCaption[0];
}

static void RoundStart(MyApp& app, const FieldLayout& l) {
    app.ResetDraw();
    if (app.startCountdown <= 0) return;
    const int t = --app.startCountdown;
    if (t == 115) app.PlaySFX(kSfxRoundStart, 1, 1, 0);
    if (t == 30 && app.musicPlayer) {
        const int tempoStep = app.Rand(0, 5);
        const int tuneSeed = app.Rand(0, 37171648);
        const int tune = app.Rand(10, 18);
        app.musicPlayer->Kuv_StartTune(T("Wendle/Tune_") + String(tune), tuneSeed,
                                       85 + 5 * tempoStep);
    }
    const String& caption = RoundCaption(app);
    const float x = l.cx + CaptionOffset(t);
    app.ResetDraw();
    app.SetSize(2);
    app.Text(x, l.cy, caption, 0.8f, 0.8f);
    if (t >= 60 && t <= 80) {
        const int k = 80 - t;
        app.SetSize(2 + 0.2f * k);
        app.Alpha(std::max(0.0f, std::min(1.0f, 1 - 0.05f * k)));
        app.Text(x, l.cy, caption, 0.8f, 0.8f);
    }
}

static void MoveParticles(MyApp& app) {
    app.ResetDraw();
    for (int i = 0; i < kParticleSlots; ++i) {
        const int p = i * kParticleStride;
        if (app.particles[p + kPartFrame] <= 0) continue;
        app.particles[p + kPartX] += app.particles[p + kPartVX];
        app.particles[p + kPartY] += app.particles[p + kPartVY];
        app.particles[p + kPartAngle] += app.particles[p + kPartSpin];
        app.SetRot(app.particles[p + kPartAngle]);
        app.Alpha(app.particles[p + kPartAlpha]);
        app.DrawImg(kPartsImage, app.particles[p + kPartX], app.particles[p + kPartY],
                    app.particles[p + kPartFrame] - 1);
        app.particles[p + kPartAlpha] -= 0.05f;
        if (app.particles[p + kPartAlpha] < 0) {
            app.particles[p + kPartAlpha] = 0;
            app.particles[p + kPartFrame] = 0;
        }
    }
}

// The HUD's texts, kept between updates. Portrait shows the energy and the score as one text
// each, built again when the value changes. Landscape shows them a digit per text: " 0" to " 9"
// are built once, so a changing score allocates nothing there.
static const String& HudDigitText(MyApp& app, int digit) {
    CachedTexts<10>& digits = app.hudDigitTexts;
    const int none[] = {0};
    if (digits.Stale(none, 0)) {
        for (int d = 0; d < 10; ++d) digits[d] = T(" ") + app.rstr(d, 1, T("0"));
    }
    return digits[digit];
}

// Digit i (0 = leftmost) of v padded with zeros to `width` digits, as rstr pads it; -1 when v
// does not fit that way (a negative number shows its sign), so the caller builds the text.
static int PaddedDigit(int v, int width, int i) {
    if (v < 0) return -1;
    for (int k = i + 1; k < width; ++k) v /= 10;
    return v % 10;
}

static void DrawHudTexts(MyApp& app, const FieldLayout& l, int shownEnergy) {
    if (!app.landscape) {
        CachedTexts<2>& texts = app.hudTexts;
        const int key[] = {shownEnergy, app.shownScore};
        if (texts.Stale(key, 2)) {
            texts[0] = T(" ") + app.rstr(shownEnergy, 2, T("0"));
            texts[1] = T(" ") + app.rstr(app.shownScore, 10, T("0"));
        }
        app.Text(l.cx, 20, texts[0], 1, 1);
        app.Text(l.cx, 50, texts[1], 1, 1);
        return;
    }
    const int values[] = {shownEnergy, app.shownScore};
    const int widths[] = {2, 10};
    for (int which = 0; which < 2; ++which) {
        for (int i = 0; i < widths[which]; ++i) {
            const float x = which == 0 ? 40 : jscrw - 40;
            const float y = which == 0 ? l.cy - 14 + 28 * i : l.cy - 126 + 28 * i;
            const int digit = PaddedDigit(values[which], widths[which], i);
            if (digit >= 0) {
                app.Text(x, y, HudDigitText(app, digit), 1, 1);
            } else {
                const String padded = app.rstr(values[which], widths[which], T("0"));
                app.Text(x, y, T(" ") + padded.Slice(i, i + 1), 1, 1);
            }
        }
    }
}

static void DrawHud(MyApp& app, const FieldLayout& l) {
    app.ResetDraw();
    const int shownEnergy = ClampInt(app.energy / 3, 0, 99);
    if (app.warnLevel >= shownEnergy && app.warnLevel < app.warnCeiling) {
        app.warnCeiling = app.warnLevel;
        app.warnLevel -= 10;
        app.PlaySFX(kSfxEnergyWarning, 1, 1, 0);
    }
    app.SetSize(3);
    DrawHudTexts(app, l, shownEnergy);
    app.shownScore += (app.score - app.shownScore) / 6;
    if (std::abs(app.score - app.shownScore) <= 5) app.shownScore = app.score;
}

int MyApp::Game() {
    // Crowding turns the dish red and drains energy; the count is that of the previous pass.
    int red = liveCount / 4;
    if (red > 100) {
        red = static_cast<int>(150 + 50 * SinDeg(static_cast<float>(wobblePhase)));
        energy -= 1;
        roundCrowded = 1;
    }
    wobblePhase += 6;
    const int blue = std::max(0, 100 - red / 2);
    CLS2D(static_cast<float>(red), 0, static_cast<float>(blue), 1);

    const FieldLayout l = LayoutField(*this);
    ResetDraw();
    Alpha(0.25f);
    SetSize(1.3f * l.scale);
    DrawImg(kDishImage, l.cx, l.cy, 0);

    CellPass(*this, l);
    DrawRim(*this, l);
    TurnShip(*this);
    AimAndFire(*this, l);
    DrawShip(*this, l);
    MoveShots(*this, l);
    RoundStart(*this, l);
    MoveParticles(*this);
    if (startCountdown == 0 && spawnsLeft == 0 && liveCount == 0) {
        BadgesForRoundCleared();
        NewRound();
    }
    DrawHud(*this, l);

    if (energy < 0 && !dying) {
        PlaySFX(kSfxGameOver, 1, 1, 0);
        dying = 1;
        if (musicPlayer) musicPlayer->Kuv_Stop(1);
    }
    return 0;
}

int MyApp::InGame() {
    ResetDraw();
    menuSlide = -32;
    auto openPause = [this]() {
        paused = 1;
        pauseMotion = 1;
        pauseFocus = 0;
        PlaySFX(kSfxPause, 1, 0.5f, 0);
    };
    if (PlayKey(kButtonBack) && !paused && !keyLatch) {
        keyLatch = 1;
        openPause();
    }
    if (Button(kIconsImage, 16, 16, 0) && !clickLatch && !paused) {
        clickLatch = 1;
        openPause();
    }
    if (paused == 1) PauseMenu();
    return 0;
}
