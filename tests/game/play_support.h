// Helpers for the play tests: a spy audio device that tells which sound effect played with
// which rate, a music player that records the tunes it is asked to start, and a harness that
// drives the real game from the menu into play on the headless backend.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "audio/audio_device.h"
#include "input/key_translation.h"
#include "music/kuv_player.h"
#include "tests/game/game_fixture.h"

// Stands in for the OpenAL device: sound effect files "load" as empty samples tagged with their
// number, and every play is recorded with the rate and volume set right after it.
class SfxSpy : public gxtkAudio {
public:
    struct Play {
        int sfx;
        int channel;
        float rate;
        float volume;
    };

    gxtkSample* LoadSample(const String& path) override {
        const std::string name = path.ToCString<char>();
        const auto at = name.find("sfx/");
        if (at == std::string::npos) return nullptr;  // instruments: the music stays silent
        gxtkSample* sample = gc_new<gxtkSample>();
        numbers_[sample] = std::atoi(name.c_str() + at + 4);
        return sample;
    }
    int PlaySample(gxtkSample* sample, int channel, int flags) override {
        const auto found = numbers_.find(sample);
        plays.push_back({found == numbers_.end() ? -1 : found->second, channel, 1, 1});
        return 0;
    }
    int SetRate(int channel, float rate) override {
        if (!plays.empty() && plays.back().channel == channel) plays.back().rate = rate;
        return 0;
    }
    int SetVolume(int channel, float volume) override {
        if (!plays.empty() && plays.back().channel == channel) plays.back().volume = volume;
        return 0;
    }

    int CountOf(int sfx, size_t from = 0) const {
        int count = 0;
        for (size_t i = from; i < plays.size(); ++i) count += plays[i].sfx == sfx;
        return count;
    }

    std::vector<Play> plays;

private:
    std::map<const gxtkSample*, int> numbers_;
};

// Records the tunes the play field starts and the full stops it asks for.
class TuneSpy : public KuvPlayer {
public:
    struct Start {
        std::string name;
        int seed;
        int tempo;
    };
    int Kuv_StartTune(String name, int seed, int tuneTempo) override {
        starts.push_back({name.ToCString<char>(), seed, tuneTempo});
        return 0;
    }
    int Kuv_Stop(int flag) override {
        if (flag == 1) ++fullStops;
        return KuvPlayer::Kuv_Stop(flag);
    }

    std::vector<Start> starts;
    int fullStops = 0;
};

// Positions of cells and shots, as the play field lays them out.
namespace play {
constexpr int kKind = 0;
constexpr int kGrowth = 1;
constexpr int kRipeness = 2;
inline int Cell(int column, int row) {
    return (row * 80 + column) * 10;
}

constexpr int kShotKind = 0;
constexpr int kShotX = 1;
constexpr int kShotY = 2;
constexpr int kShotVX = 3;
constexpr int kShotVY = 4;
constexpr int kShotAngle = 5;
constexpr int kShotLife = 8;
inline int Shot(int slot) {
    return slot * 10;
}
}  // namespace play

// The real game on a 640 x 480 headless window with the spies installed, loaded and resting on
// the settled menu.
class PlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness = std::make_unique<GameHarness>();
        game = harness->game;
        sfx = gc_new<SfxSpy>();
        SetAudioDevice(sfx);
        tunes = gc_new<TuneSpy>();
        game->musicPlayer = tunes;
        harness->Create();
        ASSERT_GE(harness->FinishLoading(), 0);
        // The menu slides in over 32 updates; its buttons are where they belong afterwards.
        harness->Update(40);
        ASSERT_EQ(game->menuSlide, 0);
    }
    void TearDown() override { harness.reset(); }

    void Update(int count = 1) { harness->Update(count); }

    // Holds the pointer at a virtual position for one update, then lets go for one update.
    void ClickAt(float x, float y) {
        harness->MoveMouseVirtual(x, y);
        harness->Press(KeyCode::kMouseLeft);
        Update();
        harness->Release(KeyCode::kMouseLeft);
        Update();
    }
    void Tap(int key) {
        harness->Press(key);
        Update();
        harness->Release(key);
        Update();
    }

    // Starts a game from the menu with a click on the difficulty's button. Afterwards the round
    // has run `updatesIntoRound` updates of play (0: LoadGame has just run, Game not yet).
    void StartGame(int level) {
        const float x = jscrw * (0.2f * level);
        const float y = jscrh * 0.7f;
        harness->MoveMouseVirtual(x, y);
        harness->Press(KeyCode::kMouseLeft);
        Update();
        ASSERT_EQ(game->screen, vexmo::kScreenStartPlay);
        harness->Release(KeyCode::kMouseLeft);
        Update();  // LoadGame
        ASSERT_EQ(game->screen, vexmo::kScreenPlay);
        ASSERT_EQ(game->difficulty, level);
    }

    // Runs play until the round-start sequence is over, so microbes may appear.
    void SkipRoundStart() {
        while (game->startCountdown > 0) Update();
    }

    int LiveCells() const {
        int live = 0;
        for (int row = 0; row <= game->gridH; ++row) {
            for (int column = 0; column <= game->gridW; ++column) {
                live += game->cells[play::Cell(column, row) + play::kKind] > 0;
            }
        }
        return live;
    }
    void ClearCells() {
        for (int i = 0; i < game->cells.Length(); ++i) game->cells[i] = 0;
    }
    void PutMicrobe(int column, int row, int kind, int growth) {
        const int c = play::Cell(column, row);
        game->cells[c + play::kKind] = kind;
        game->cells[c + play::kGrowth] = growth;
        game->cells[c + play::kRipeness] = 0;
    }
    int ActiveShots(int kind) const {
        int count = 0;
        for (int i = 0; i < 201; ++i) count += game->shots[play::Shot(i)] == kind;
        return count;
    }

    std::unique_ptr<GameHarness> harness;
    MyApp* game = nullptr;
    SfxSpy* sfx = nullptr;
    TuneSpy* tunes = nullptr;
};
