// Cost of the music player's per-update and per-render work: one sequencer step with every
// voice busy, and decoding one read-back strip frame.
#include "music/kuv_player.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "music/kuv_strip.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"
#include "runtime/gc.h"

namespace {

void BM_DecodePatternFrame(benchmark::State& state) {
    std::vector<uint32_t> pixels(kuv::kFrameSide * kuv::kFrameSide);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = 0xff000000u | static_cast<uint32_t>(i % 7 == 0 ? (i * 37) & 255 : 0);
    }
    std::vector<int> tuneData(kuv::kTuneDataSize);
    std::vector<int> lastPattern(kuv::kStripCount);
    int pattern = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            kuv::DecodePatternFrame(pixels.data(), pattern, tuneData.data(), lastPattern.data()));
        pattern = (pattern + 1) % kuv::kReadPatternCount;
    }
}
BENCHMARK(BM_DecodePatternFrame);

// Without an audio device the channel calls cost nothing, so this is the sequencer's own work.
void BM_SequencerStep(benchmark::State& state) {
    HeadlessPlatform platform;
    SetCurrentPlatform(&platform);
    KuvPlayer* player = gc_new<KuvPlayer>();
    player->Kuv_Init(32, 4, 1, 1, 4);
    for (int pattern = 0; pattern < 4; ++pattern) {
        for (int voice = 0; voice < 5; ++voice) {
            player->lastPattern[voice] = 3;
            for (int row = 0; row < kuv::kRowCount; ++row) {
                const int at = kuv::TuneIndex(pattern, voice, row, kuv::kFieldNote);
                player->tuneData[at] = 13 + row % 12;
                player->tuneData[at + kuv::kFieldVolume] = row % 4 == 0 ? 30 : 0;
                player->tuneData[at + kuv::kFieldCommand] = row % 8 == 7 ? 1 : 0;
                player->tuneData[at + kuv::kFieldArgument] = 5;
            }
        }
    }
    player->tuneName = T("tunes/bench.png");
    player->Kuv_StartTune(T("bench"), 42, 95);
    double seconds = 1.0;
    for (auto _ : state) {
        seconds += 0.1;
        platform.SetTime(seconds);
        player->Kuv_MusicPlay();
    }
    SetCurrentPlatform(nullptr);
}
BENCHMARK(BM_SequencerStep);

}  // namespace

BENCHMARK_MAIN();
