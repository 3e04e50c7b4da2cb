// Start-up cost of the pad database: GLFW's cost per mapping grows with the mappings it already
// holds, so a large file once froze start-up for minutes. With only this system's lines handed
// over and the file capped, the community's full database must cost well under 50 ms.
// Needs a display (GLFW must start): scripts/bench runs it under Xvfb.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "host/gamepad_mappings_file.h"
#include "platform/platform.h"
#include "platform/platform_glfw.h"

namespace {

Platform* g_glfw = nullptr;  // GLFW starts once per process

std::string Guid(int n, int kind) {
    char text[33];
    std::snprintf(text, sizeof text, "03000000%08x%04x00001000%04x", n * 2654435761u, kind,
                  n % 65536);
    return text;
}

// A file shaped like the community's: about 2,400 pads, a quarter of them for Linux, the rest
// for other systems, each a full line of buttons and axes.
std::string CommunityLikeFile(int pads, int linuxShare) {
    static const char* const kSystems[] = {"Windows", "Mac OS X", "Android", "iOS"};
    std::string text = "# Game controller database (generated for the benchmark)\n";
    for (int n = 0; n < pads; ++n) {
        const bool linux = n % 100 < linuxShare;
        text += Guid(n, linux ? 1 : 2) + ",Pad number " + std::to_string(n) +
                ",a:b0,b:b1,x:b2,y:b3,back:b6,guide:b8,start:b7,leftstick:b9,rightstick:b10,"
                "leftshoulder:b4,rightshoulder:b5,dpup:h0.1,dpdown:h0.4,dpleft:h0.8,"
                "dpright:h0.2,leftx:a0,lefty:a1,rightx:a3,righty:a4,lefttrigger:a2,"
                "righttrigger:a5,platform:" +
                (linux ? std::string("Linux") : std::string(kSystems[n % 4])) + ",\n";
    }
    return text;
}

std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = "/tmp/vexmo-bench-" + std::to_string(getpid()) + "-" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    return path;
}

void LoadFile(benchmark::State& state, const std::string& text) {
    if (!g_glfw || !g_glfw->TakesGamepadMappings()) {
        state.SkipWithError("GLFW could not start (no display?)");
        return;
    }
    const std::string path = WriteFile(std::to_string(text.size()), text);
    std::string report;
    for (auto _ : state) {
        report = LoadGamepadMappingFile(*g_glfw, path);
        benchmark::DoNotOptimize(report);
    }
    std::remove(path.c_str());
    state.SetLabel(report.substr(0, 90));
}

// The start without any database: both places looked at, nothing found.
void BM_NoDatabase(benchmark::State& state) {
    if (!g_glfw) {
        state.SkipWithError("GLFW could not start (no display?)");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadGamepadMappings(*g_glfw, "/nonexistent/data"));
}
BENCHMARK(BM_NoDatabase)->Unit(benchmark::kMillisecond);

void BM_CommunitySizedDatabase(benchmark::State& state) {
    LoadFile(state, CommunityLikeFile(2400, 25));
}
BENCHMARK(BM_CommunitySizedDatabase)->Unit(benchmark::kMillisecond)->Iterations(5);

// The worst a file within the cap can do: nothing but distinct Linux lines, up to the cap.
void BM_LargestAllowedLinuxDatabase(benchmark::State& state) {
    std::string text = CommunityLikeFile(9000, 100);
    if (text.size() > static_cast<size_t>(kGamepadMappingsMaxBytes)) {
        text.resize(text.rfind('\n', static_cast<size_t>(kGamepadMappingsMaxBytes) - 1) + 1);
    }
    LoadFile(state, text);
}
BENCHMARK(BM_LargestAllowedLinuxDatabase)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<Platform> glfw = NewGlfwPlatform();
    if (glfw->Init()) g_glfw = glfw.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
