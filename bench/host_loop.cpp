// How the frame loop paces itself. On a display (DISPLAY set) the real window runs at 60 updates
// a second for a few seconds and reports the achieved rates and processor use; then the loop's
// own cost per pass is measured on the headless platform, where the clock is scripted.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "graphics/gl_table.h"
#include "host/app_host.h"
#include "platform/forwarding_platform.h"
#include "platform/platform.h"
#include "platform/platform_glfw.h"
#include "platform/platform_headless.h"

namespace {

class CountingApp : public gxtkApp {
public:
    int updates = 0;
    int renders = 0;
    int OnCreate() override {
        SetUpdateRate(60);
        return 0;
    }
    int OnUpdate() override {
        ++updates;
        return 0;
    }
    int OnRender() override {
        ++renders;
        return 0;
    }
};

// Forwards to another platform but reports the window closed once a deadline has passed.
class DeadlinePlatform final : public ForwardingPlatform {
public:
    DeadlinePlatform(Platform& inner, double closeAt)
        : ForwardingPlatform(inner), closeAt_(closeAt) {}
    bool IsOpen() override { return Inner().IsOpen() && Inner().Time() < closeAt_; }

private:
    double closeAt_;
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void MeasureRealWindow(double seconds) {
    if (!std::getenv("DISPLAY")) {
        std::printf("real window: skipped (no DISPLAY)\n");
        return;
    }
    const std::unique_ptr<Platform> glfw = NewGlfwPlatform();
    if (!glfw->Init() || !glfw->OpenWindow(640, 480, "Vexmo")) {
        std::printf("real window: could not open one\n");
        return;
    }
    // The first second includes the driver's start-up; the measurement starts after it.
    DeadlinePlatform platform(*glfw, glfw->Time() + seconds);
    SetCurrentPlatform(&platform);
    CountingApp* app = gc_new<CountingApp>();
    const double startWall = platform.Time();
    const double startCpu = CpuSeconds();
    app->Run();
    const double wall = platform.Time() - startWall;
    const double cpu = CpuSeconds() - startCpu;
    std::printf("real window: %.1f s, %.2f updates/s, %.2f renders/s, %.1f%% of one core\n", wall,
                app->updates / wall, app->renders / wall, 100.0 * cpu / wall);
    SetCurrentPlatform(nullptr);
    glfw->Terminate();
}

// One steady-state pass pair (sleep, then poll + update + render) on the scripted clock.
void BM_HeadlessSteadyPasses(benchmark::State& state) {
    HeadlessPlatform platform;
    GlRecorder recorder;
    SetCurrentPlatform(&platform);
    platform.Init();
    platform.OpenWindow(640, 480, "Vexmo");
    CountingApp* app = gc_new<CountingApp>();
    int frames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        platform.SetTime(0.0);
        platform.QueueClose(1.0);  // 60 updates and renders
        app->updates = 0;
        recorder.Clear();
        state.ResumeTiming();
        app->Run();
        frames += app->updates;
        state.PauseTiming();
        platform.Init();
        platform.OpenWindow(640, 480, "Vexmo");
        state.ResumeTiming();
    }
    state.counters["updates_per_run"] =
        benchmark::Counter(static_cast<double>(frames) / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(frames);
    SetCurrentPlatform(nullptr);
}
BENCHMARK(BM_HeadlessSteadyPasses)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    double seconds = 3.0;
    if (const char* s = std::getenv("VEXMO_BENCH_SECONDS")) seconds = std::atof(s);
    MeasureRealWindow(seconds);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
