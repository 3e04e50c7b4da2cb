// The play field's own cost: one call of Game() with the picture it records, on the headless
// platform (no GL work happens inside Game: it only records commands).
//
//   GameQuietRoundStart  an empty dish during the round-start caption
//   GameFullDish         every one of the 41 x 41 cells holds a full-grown microbe, the pointer
//                        is held so shots fly into them and debris spins; refilled each update
//   MenuScreen           one call of Menu() with both score lists
//
// The frame budget at 60 updates a second is 16.7 ms for an update and a render together.
#include <benchmark/benchmark.h>

#include "bench/loaded_game.h"

namespace {

struct PlayBench : LoadedGame {
    PlayBench() : LoadedGame(RecordingGlTable()) {
        game->difficulty = 2;
        game->LoadGame();
    }

    void FillDish() {
        for (int row = 0; row <= game->gridH; ++row) {
            for (int column = 0; column <= game->gridW; ++column) {
                const int c = (row * vexmo::kCellRowLength + column) * vexmo::kCellStride;
                if (game->cells[c] > 0) continue;
                game->cells[c] = 1 + (row + column) % 6;
                game->cells[c + 1] = 79;
            }
        }
        game->energy = 300;
    }
};

PlayBench& Bench() {
    static PlayBench bench;
    return bench;
}

void GameQuietRoundStart(benchmark::State& state) {
    MyApp* game = Bench().game;
    for (int i = 0; i < game->cells.Length(); ++i) game->cells[i] = 0;
    game->pointerDown = 0;
    for (auto _ : state) {
        game->startCountdown = 90;
        game->Game();
        benchmark::DoNotOptimize(game->drawCount);
    }
    state.counters["commands"] = game->drawCount / vexmo::kCommandFloats;
}
BENCHMARK(GameQuietRoundStart)->Unit(benchmark::kMicrosecond);

void GameFullDish(benchmark::State& state) {
    PlayBench& bench = Bench();
    MyApp* game = bench.game;
    game->startCountdown = 0;
    game->pointerDown = 1;
    game->pointerX = 320;
    game->pointerY = 0;
    for (auto _ : state) {
        bench.FillDish();
        game->fireTimer = 0;  // keep firing every update
        game->fireCount = 0;
        game->Game();
        benchmark::DoNotOptimize(game->drawCount);
    }
    state.counters["commands"] = game->drawCount / vexmo::kCommandFloats;
    state.counters["live"] = game->liveCount;
}
BENCHMARK(GameFullDish)->Unit(benchmark::kMicrosecond);

void MenuScreen(benchmark::State& state) {
    MyApp* game = Bench().game;
    game->screen = vexmo::kScreenMenu;
    for (auto _ : state) {
        game->Menu();
        benchmark::DoNotOptimize(game->drawCount);
    }
    state.counters["commands"] = game->drawCount / vexmo::kCommandFloats;
}
BENCHMARK(MenuScreen)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
