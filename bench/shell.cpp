// The game shell's own costs, on the headless platform with a GL table whose calls do nothing,
// so only the processor work of the shell, the graphics module and the renderer is measured:
//
//   RecordText        one 30-character Text call (two sines/cosines, one command per glyph)
//   RecordFullList    CLS2D and 2,500 image commands: a frame's worth of recording
//   ReplayFullList    one render that replays those 2,500 commands through DrawImage2
//   MenuUpdate        one whole update on the main menu (input, latches, menu, overlays)
//
// The frame budget at 60 updates a second is 16.7 ms for an update and a render together.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "bench/loaded_game.h"
#include "graphics/gl_silent.h"
#include "graphics/graphics.h"
#include "graphics/renderer.h"

namespace {

// The loaded game with a 16-frame sprite sheet in slot 1, whatever the data folder holds.
struct Shell : LoadedGame {
    Shell() : LoadedGame(SilentGlTable()) {
        Image* sheet = gc_new<Image>();
        sheet->Init(graphics::device->CreateSurface(64, 64), 1, 0);
        game->images[1] = sheet->GrabImage(0, 0, 16, 16, 16, Image::MidHandle);
        game->imageScale = 1;
        game->screen = 7;
    }
    void FillList() {
        game->CLS2D(0, 0, 0, 1);
        for (int i = 0; i < vexmo::kMaxCommands; ++i) {
            game->SetRot(static_cast<float>(i % 360));
            game->SetCol(static_cast<float>(i % 256), 128, 255 - static_cast<float>(i % 256), 0.8f);
            game->DrawImg(1, static_cast<float>(i % 640), static_cast<float>(i % 480),
                          static_cast<float>(i % 16));
        }
    }
};

Shell& TheShell() {
    static Shell shell;
    return shell;
}

void RecordText(benchmark::State& state) {
    MyApp* game = TheShell().game;
    const String text("Score 0001234567 \\n line two!");
    for (auto _ : state) {
        game->CLS2D();
        game->Text(320, 240, text, 1, 1);
        benchmark::DoNotOptimize(game->drawCount);
    }
}
BENCHMARK(RecordText);

void RecordFullList(benchmark::State& state) {
    Shell& shell = TheShell();
    for (auto _ : state) {
        shell.FillList();
        benchmark::DoNotOptimize(shell.game->drawCount);
    }
    state.counters["commands"] = vexmo::kMaxCommands;
}
BENCHMARK(RecordFullList)->Unit(benchmark::kMicrosecond);

void ReplayFullList(benchmark::State& state) {
    Shell& shell = TheShell();
    shell.FillList();
    for (auto _ : state) shell.host->InvokeOnRender();
    state.counters["ns_per_command"] = benchmark::Counter(
        static_cast<double>(vexmo::kMaxCommands),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ReplayFullList)->Unit(benchmark::kMicrosecond);

void MenuUpdate(benchmark::State& state) {
    Shell& shell = TheShell();
    shell.game->screen = vexmo::kScreenMenu;
    for (auto _ : state) shell.Update();
    shell.game->screen = 7;
    state.counters["commands"] = static_cast<double>(shell.game->drawCount / 15);
}
BENCHMARK(MenuUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
