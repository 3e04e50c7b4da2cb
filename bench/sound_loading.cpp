// Cost of turning sound files into PCM: the game loads about a hundred effects and instrument
// samples while its loading screen runs, so each load should stay well under a frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/sound_loader.h"

namespace {

void put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void putTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

// A 16-bit PCM sine with a LIST chunk in front of the data, as editors often write them.
std::string writeWav(const std::string& path, int channels, int frames) {
    std::vector<uint8_t> out;
    const uint32_t dataBytes = static_cast<uint32_t>(frames * channels * 2);
    putTag(out, "RIFF");
    put32(out, 4 + 24 + 20 + 8 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);
    put16(out, channels);
    put32(out, 44100);
    put32(out, 44100 * channels * 2);
    put16(out, channels * 2);
    put16(out, 16);
    putTag(out, "LIST");
    put32(out, 12);
    for (int i = 0; i < 12; ++i) out.push_back('x');
    putTag(out, "data");
    put32(out, dataBytes);
    for (int i = 0; i < frames * channels; ++i) {
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(i * 0.05))));
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    return path;
}

std::string tempPath(const char* name) {
    return "/tmp/vexmo_bench_" + std::to_string(getpid()) + "_" + name;
}

void loadLoop(benchmark::State& state, const std::string& path) {
    int64_t bytes = 0;
    for (auto _ : state) {
        int length = 0, channels = 0, bytesPerSample = 0, rate = 0;
        unsigned char* pcm =
            loadSound(String(path.c_str()), &length, &channels, &bytesPerSample, &rate);
        if (pcm == nullptr) {
            state.SkipWithError("load failed");
            break;
        }
        bytes += static_cast<int64_t>(length) * channels * bytesPerSample;
        unloadSound(pcm);
    }
    state.SetBytesProcessed(bytes);
}

// A typical effect: a quarter second, mono.
void BM_LoadWavEffect(benchmark::State& state) {
    const std::string path = writeWav(tempPath("effect.wav"), 1, 11025);
    loadLoop(state, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadWavEffect)->Unit(benchmark::kMicrosecond);

// A long stereo sample: ten seconds.
void BM_LoadWavLongStereo(benchmark::State& state) {
    const std::string path = writeWav(tempPath("long.wav"), 2, 441000);
    loadLoop(state, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadWavLongStereo)->Unit(benchmark::kMillisecond);

// 100,000 stereo frames of Vorbis: the doubling block grows about five times.
void BM_DecodeOgg(benchmark::State& state) {
    const std::string wav = writeWav(tempPath("ogg_src.wav"), 2, 100000);
    const std::string ogg = tempPath("tone.ogg");
    const std::string command = "oggenc -Q -o '" + ogg + "' '" + wav + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        state.SkipWithError("oggenc is not installed");
        for (auto _ : state) {
        }
        return;
    }
    loadLoop(state, ogg);
    std::remove(wav.c_str());
    std::remove(ogg.c_str());
}
BENCHMARK(BM_DecodeOgg)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
