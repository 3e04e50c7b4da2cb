#include "game/replay_start.h"

#include <type_traits>

#include "game/my_app.h"
#include "host/random.h"
#include "host/replay_tape.h"
#include "input/input.h"
#include "music/kuv_player.h"

namespace vexmo {

namespace {

// The game's scalar fields a new game carries over or is shaped by. The play field's own state
// is reset by LoadGame, and the device's size and its scale follow from the recorded size.
// Laid out by hand: clang-format does not settle on one layout for long macro lists.
// clang-format off
#define VEXMO_START_INTS(X)                                                                        \
    X(screen) X(paused) X(updateMillis) X(updateFpsNow) X(updateFps) X(renderMillis)               \
    X(renderFpsNow) X(renderFps) X(pointerX) X(pointerY) X(lastPointerX) X(lastPointerY)           \
    X(mouseWasDown) X(pointerDown) X(pointerHit) X(clickLatch) X(keyLatch) X(iCadeChar)            \
    X(padX) X(padY) X(pinchActive) X(pinchLast) X(buttonHit) X(saveFailing) X(difficulty)          \
    X(menuSlide)                                                                                   \
    X(pauseMotion) X(pauseSlide) X(pauseFocus) X(creditsOpen) X(creditsSlide) X(creditCols)        \
    X(creditRows) X(creditHide) X(creditLine) X(badgesOpen) X(roundCrowded) X(roundShipStruck)     \
    X(roundReflectors) X(oneHitKills) X(soundModesTried) X(n) X(tmpA) X(tmpB) X(tmpMode)           \
    X(gridW) X(gridH) X(liveCount) X(prevLiveCount) X(wobblePhase) X(energy) X(round)              \
    X(startCountdown) X(minKind) X(maxKind) X(spawnCap) X(spawnsLeft) X(shipAngle) X(fireTimer)    \
    X(fireCount) X(shipX) X(dying) X(score) X(shownScore) X(warnLevel) X(warnCeiling)              \
    X(currentShot) X(shotHits) X(gameOverTimer) X(spinAngle) X(howToPlayOpen) X(settingsOpen)      \
    X(settingsFocus) X(quitAsking) X(quitFocus) X(menuClock) X(windowCheckClock)                   \
    X(gameOverPlacing)
#define VEXMO_START_FLOATS(X)                                                                      \
    X(tiltZeroX) X(tiltZeroY) X(tiltX) X(tiltY) X(tiltSmoothX) X(tiltSmoothY) X(padScale)          \
    X(clsRed) X(clsGreen) X(clsBlue) X(clsAlpha) X(drawSizeX) X(drawSizeY) X(drawRotation)         \
    X(drawRed) X(drawGreen) X(drawBlue) X(drawAlpha) X(panelWidth) X(creditScroll)                 \
    X(badgeScroll) X(aimAngle) X(shipY)
#define VEXMO_START_INT_ARRAYS(X)                                                                  \
    X(touchDown) X(touchX) X(touchY) X(vbutton) X(settings) X(highScores) X(badgeQueue)            \
    X(badgeQueueTime)
#define VEXMO_MUSIC_INTS(X)                                                                        \
    X(nextTick) X(playState) X(voiceCount) X(stepPos) X(patternsLeft) X(tempo) X(tuneSeed)         \
    X(section)
#define VEXMO_MUSIC_FLOATS(X)                                                                      \
    X(chordRate) X(masterVolume)
#define VEXMO_MUSIC_INT_ARRAYS(X)                                                                  \
    X(instPicks) X(voiceChannel) X(voiceActive) X(voicePattern) X(voiceMuted) X(voiceFillIn)       \
    X(voiceNextMuted)
#define VEXMO_MUSIC_FLOAT_ARRAYS(X)                                                                \
    X(voiceRate) X(voiceEnvelope) X(voiceVolume)
// clang-format on

// Written first, so a start from another layout is refused rather than misread.
constexpr uint64_t kStartLayout = 2;

template <typename T>
void PutArray(TapeWriter& w, const Array<T>& a) {
    w.Unsigned(static_cast<uint64_t>(a.Length()));
    for (int i = 0; i < a.Length(); ++i) {
        if constexpr (std::is_same_v<T, float>) {
            w.FloatBits(a[i]);
        } else {
            w.Signed(static_cast<int64_t>(a[i]));
        }
    }
}

template <typename T>
void TakeArray(TapeReader& r, Array<T>& a) {
    if (r.Unsigned() != static_cast<uint64_t>(a.Length())) {
        r.Fail("the replay's starting point does not fit this build");
        return;
    }
    for (int i = 0; i < a.Length(); ++i) {
        if constexpr (std::is_same_v<T, float>) {
            a[i] = r.FloatBits();
        } else {
            a[i] = static_cast<T>(r.Signed());
        }
    }
}

}  // namespace

void ForgetTuneForNewGame(MyApp& game) {
    KuvPlayer* player = game.musicPlayer;
    if (!player) return;
    player->Kuv_Stop(1);
    player->tuneName = String();
    player->tuneLoadStep = 0;
    player->tuneImage = nullptr;
}

std::vector<uint8_t> CaptureReplayStart(MyApp& game) {
    TapeWriter w;
    w.Unsigned(kStartLayout);
#define VEXMO_PUT_INT(f) w.Signed(game.f);
#define VEXMO_PUT_FLOAT(f) w.FloatBits(game.f);
#define VEXMO_PUT_ARRAY(f) PutArray(w, game.f);
    VEXMO_START_INTS(VEXMO_PUT_INT)
    VEXMO_START_FLOATS(VEXMO_PUT_FLOAT)
    VEXMO_START_INT_ARRAYS(VEXMO_PUT_ARRAY)
    w.Unsigned(static_cast<uint64_t>(game.badgeGot.Length()));
    for (int i = 0; i < game.badgeGot.Length(); ++i) w.Unsigned(game.badgeGot[i] ? 1 : 0);
    w.Signed(Seed);
    w.Signed(iCadeControls);

    KuvPlayer* music = game.musicPlayer;
    w.Unsigned(music ? 1 : 0);
    if (music) {
#define VEXMO_PUT_MUSIC_INT(f) w.Signed(music->f);
#define VEXMO_PUT_MUSIC_FLOAT(f) w.FloatBits(music->f);
#define VEXMO_PUT_MUSIC_ARRAY(f) PutArray(w, music->f);
        VEXMO_MUSIC_INTS(VEXMO_PUT_MUSIC_INT)
        VEXMO_MUSIC_FLOATS(VEXMO_PUT_MUSIC_FLOAT)
        VEXMO_MUSIC_INT_ARRAYS(VEXMO_PUT_MUSIC_ARRAY)
        VEXMO_MUSIC_FLOAT_ARRAYS(VEXMO_PUT_MUSIC_ARRAY)
    }

    // The keys held as the game starts (the click that started it, perhaps), and the pad.
    gxtkInput* input = input::device;
    int held = 0;
    for (const int state : input->keyStates) held += (state & gxtkInput::kDownBit) ? 1 : 0;
    w.Unsigned(static_cast<uint64_t>(held));
    for (int key = 0; key < gxtkInput::kKeyCount; ++key) {
        if (input->keyStates[key] & gxtkInput::kDownBit) w.Unsigned(static_cast<uint64_t>(key));
    }
    w.Signed(input->joyButtonsRead);
    for (const float axis : input->joyPos) w.FloatBits(axis);
    w.FloatBits(input->mouseX);
    w.FloatBits(input->mouseY);
    return w.Bytes();
}

bool ApplyReplayStart(MyApp& game, const std::vector<uint8_t>& bytes, std::string* why) {
    TapeReader r(&bytes);
    if (r.Unsigned() != kStartLayout) {
        *why = "the replay's starting point does not fit this build";
        return false;
    }
#define VEXMO_TAKE_INT(f) game.f = static_cast<int>(r.Signed());
#define VEXMO_TAKE_FLOAT(f) game.f = r.FloatBits();
#define VEXMO_TAKE_ARRAY(f) TakeArray(r, game.f);
    VEXMO_START_INTS(VEXMO_TAKE_INT)
    VEXMO_START_FLOATS(VEXMO_TAKE_FLOAT)
    VEXMO_START_INT_ARRAYS(VEXMO_TAKE_ARRAY)
    if (r.Unsigned() != static_cast<uint64_t>(game.badgeGot.Length())) {
        r.Fail("the replay's starting point does not fit this build");
    }
    for (int i = 0; i < game.badgeGot.Length() && !r.Failed(); ++i) {
        game.badgeGot[i] = r.Unsigned() != 0;
    }
    Seed = static_cast<int>(r.Signed());
    iCadeControls = static_cast<int>(r.Signed());

    KuvPlayer* music = game.musicPlayer;
    const bool hadMusic = r.Unsigned() != 0;
    if (hadMusic != (music != nullptr))
        r.Fail("the replay's starting point does not fit this build");
    if (music && hadMusic && !r.Failed()) {
        ForgetTuneForNewGame(game);
#define VEXMO_TAKE_MUSIC_INT(f) music->f = static_cast<int>(r.Signed());
#define VEXMO_TAKE_MUSIC_FLOAT(f) music->f = r.FloatBits();
#define VEXMO_TAKE_MUSIC_ARRAY(f) TakeArray(r, music->f);
        VEXMO_MUSIC_INTS(VEXMO_TAKE_MUSIC_INT)
        VEXMO_MUSIC_FLOATS(VEXMO_TAKE_MUSIC_FLOAT)
        VEXMO_MUSIC_INT_ARRAYS(VEXMO_TAKE_MUSIC_ARRAY)
        VEXMO_MUSIC_FLOAT_ARRAYS(VEXMO_TAKE_MUSIC_ARRAY)
    }

    gxtkInput* input = input::device;
    for (int& state : input->keyStates) state = 0;
    const uint64_t held = r.Unsigned();
    if (held > static_cast<uint64_t>(gxtkInput::kKeyCount)) r.Fail("the replay is damaged");
    for (uint64_t i = 0; i < held && !r.Failed(); ++i) {
        const uint64_t key = r.Unsigned();
        if (key >= static_cast<uint64_t>(gxtkInput::kKeyCount)) {
            r.Fail("the replay is damaged");
            break;
        }
        input->keyStates[key] = gxtkInput::kDownBit;
    }
    input->joyButtonsRead = static_cast<int>(r.Signed());
    for (float& axis : input->joyPos) axis = r.FloatBits();
    input->mouseX = r.FloatBits();
    input->mouseY = r.FloatBits();
    input->charPut = 0;
    input->charGet = 0;
    input->wheel = 0;
    if (r.Failed() || !r.AtEnd()) {
        *why = "the replay's starting point is damaged or does not fit this build";
        return false;
    }
    return true;
}

}  // namespace vexmo
