// The real game on a real window, measured from inside: the same start-up, frame loop, game
// and GLFW backend as the vexmo program, with a platform wrapper that notes when each update
// starts and each frame is presented, and steers the game into the scene being measured.
//
//   bench_game_session --scene menu|crowd|iconify [--size WxH] [--t0 NS]
//                      [--warmup S] [--seconds S]
//
//   menu     the main menu, untouched
//   crowd    crowded play (see crowd_scene.h)
//   iconify  the menu, then the window iconifies itself and the process's processor time is
//            measured while it stays iconified (needs a window manager)
//
// Prints "key=value" lines: startup_ms (process start, stamped in --t0 just before exec, to the
// first presented frame), from_frame/to_frame (presented frames counted from 1; the replay of
// a trace taken in this run uses the same numbers), cpu_per_wall, pacing, crowd and memory.
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/program_main.h"
#include "bench/crowd_scene.h"
#include "bench/measure.h"
#include "host/entry.h"
#include "platform/forwarding_platform.h"
#include "platform/platform_glfw.h"
#include "runtime/gc.h"

namespace {

enum class Scene { kMenu, kCrowd, kIconify };

struct Options {
    Scene scene = Scene::kMenu;
    int width = 640;
    int height = 480;
    long long t0 = 0;
    double warmup = 2.0;
    double seconds = 10.0;
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const std::string value = argv[i + 1];
        if (arg == "--scene") {
            if (value == "menu") {
                o->scene = Scene::kMenu;
            } else if (value == "crowd") {
                o->scene = Scene::kCrowd;
            } else if (value == "iconify") {
                o->scene = Scene::kIconify;
            } else {
                return false;
            }
        } else if (arg == "--size") {
            if (std::sscanf(value.c_str(), "%dx%d", &o->width, &o->height) != 2) return false;
        } else if (arg == "--t0") {
            o->t0 = std::atoll(value.c_str());
        } else if (arg == "--warmup") {
            o->warmup = std::atof(value.c_str());
        } else if (arg == "--seconds") {
            o->seconds = std::atof(value.c_str());
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

// Measures the process while its window stays iconified, then ends it: the loop is blocked in
// the window system's wait by then and would not come back to report.
// The window manager may take a moment, so the clock starts once the loop has seen the window
// iconified, and the frames presented meanwhile show whether the loop really stopped.
void MeasureIconified(double seconds, const std::atomic<bool>* sawIconified,
                      const std::atomic<long>* frames) {
    for (int tries = 0; tries < 200 && !sawIconified->load(); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long framesBefore = frames->load();
    const CpuSample start = CpuSample::Now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const CpuSample end = CpuSample::Now();
    std::printf("iconified=%d\n", sawIconified->load() ? 1 : 0);
    std::printf("frames_while_iconified=%ld\n", frames->load() - framesBefore);
    std::printf("cpu_per_wall=%.5f\n", end.CpuPerWallSince(start));
    std::printf("peak_rss_kb=%ld\n", PeakResidentKilobytes());
    std::fflush(stdout);
    _exit(0);
}

class MeasuringPlatform final : public ForwardingPlatform {
public:
    MeasuringPlatform(Platform& inner, const Options& options)
        : ForwardingPlatform(inner), o_(options) {
        updateStarts_.reserve(static_cast<size_t>(options.seconds * 60 * 2 + 64));
    }

    // The window opens at the size under test; the game lays itself out from it.
    bool OpenWindow(int, int, const std::string& title) override {
        return Inner().OpenWindow(o_.width, o_.height, title);
    }
    bool IsOpen() override { return Inner().IsOpen() && !finished_; }
    bool IsIconified() override {
        const bool iconified = Inner().IsIconified();
        if (iconified) sawIconified_ = true;
        return iconified;
    }
    void SwapBuffers() override;
    void SetListener(PlatformEvents* listener) override {
        listener_ = listener;
        Inner().SetListener(listener);
    }
    // The input device samples the pointer once at the start of every update.
    void GetCursorPos(double* x, double* y) override;

    void Report() const;

private:
    bool SceneReady(const MyApp& game) const {
        if (o_.scene == Scene::kCrowd) return crowd_.Ready(game);
        return game.loadStep == 0 && game.screen == vexmo::kScreenMenu;
    }
    void StartMeasuring();
    void StopMeasuring();

    const Options o_;
    PlatformEvents* listener_ = nullptr;
    CrowdScene crowd_;
    bool held_ = false;

    std::atomic<long> frames_{0};
    bool iconifyAsked_ = false;
    double firstFrameMs_ = -1.0;
    long readyFrame_ = -1;
    long fromFrame_ = -1;
    long toFrame_ = -1;
    bool measuring_ = false;
    bool finished_ = false;
    std::atomic<bool> sawIconified_{false};
    CpuSample start_;
    CpuSample end_;
    std::vector<double> updateStarts_;
    long crowdSum_ = 0;
    long shotSum_ = 0;
    long debrisSum_ = 0;
    long sampledUpdates_ = 0;
    int heapAtStart_ = 0;
    int heapAtEnd_ = 0;
};

void MeasuringPlatform::SwapBuffers() {
    Inner().SwapBuffers();
    ++frames_;
    if (frames_ == 1 && o_.t0 > 0) firstFrameMs_ = (RealtimeNanoseconds() - o_.t0) / 1e6;
    const MyApp* game = BenchGame();
    if (!game || finished_) return;
    if (readyFrame_ < 0 && SceneReady(*game)) readyFrame_ = frames_;
    if (readyFrame_ < 0) return;
    // A window manager busy with a window that just closed can drop the request: ask again.
    if (iconifyAsked_ && !sawIconified_ && frames_ % 30 == 0) {
        glfwIconifyWindow(glfwGetCurrentContext());
    }
    const long warmupFrames = static_cast<long>(o_.warmup * 60);
    if (!measuring_ && frames_ == readyFrame_ + warmupFrames) {
        if (o_.scene == Scene::kIconify) {
            iconifyAsked_ = true;
            std::thread(MeasureIconified, o_.seconds, &sawIconified_, &frames_).detach();
            glfwIconifyWindow(glfwGetCurrentContext());
            return;
        }
        fromFrame_ = frames_;
        StartMeasuring();
    } else if (measuring_ && Inner().Time() - updateStarts_.front() >= o_.seconds) {
        toFrame_ = frames_;
        StopMeasuring();
    }
}

void MeasuringPlatform::StartMeasuring() {
    measuring_ = true;
    heapAtStart_ = gc_alloced_bytes;
    start_ = CpuSample::Now();
    updateStarts_.clear();
    updateStarts_.push_back(Inner().Time());
}

void MeasuringPlatform::StopMeasuring() {
    end_ = CpuSample::Now();
    heapAtEnd_ = gc_alloced_bytes;
    measuring_ = false;
    finished_ = true;
}

void MeasuringPlatform::GetCursorPos(double* x, double* y) {
    if (measuring_) updateStarts_.push_back(Inner().Time());
    MyApp* game = BenchGame();
    if (o_.scene != Scene::kCrowd || !game) {
        Inner().GetCursorPos(x, y);
        return;
    }
    int width = 0;
    int height = 0;
    Inner().GetWindowSize(&width, &height);
    bool held = false;
    crowd_.BeforeUpdate(*game, width, height, x, y, &held);
    if (held != held_ && listener_) {
        listener_->OnMouseButton(0, held ? kPress : kRelease);
        held_ = held;
    }
    if (measuring_) {
        crowdSum_ += LiveMicrobes(*game);
        shotSum_ += FlyingShots(*game);
        debrisSum_ += FlyingDebris(*game);
        ++sampledUpdates_;
    }
}

void MeasuringPlatform::Report() const {
    if (firstFrameMs_ >= 0) std::printf("startup_ms=%.2f\n", firstFrameMs_);
    std::printf("frames=%ld\n", frames_.load());
    std::printf("peak_rss_kb=%ld\n", PeakResidentKilobytes());
    if (toFrame_ < 0) {
        std::printf("measured=0\n");
        return;
    }
    std::printf("measured=1\nfrom_frame=%ld\nto_frame=%ld\n", fromFrame_, toFrame_);
    std::printf("cpu_per_wall=%.4f\n", end_.CpuPerWallSince(start_));
    const long frames = toFrame_ - fromFrame_;
    const double wall = end_.wall - start_.wall;
    std::printf("frames_per_second=%.2f\n", wall > 0 ? frames / wall : 0.0);
    std::printf("cpu_ms_per_frame=%.3f\n",
                frames > 0 ? (end_.cpu - start_.cpu) * 1e3 / frames : 0.0);
    const PacingReport pacing = AnalysePacing(updateStarts_, 1.0 / 60.0);
    std::printf("updates=%d\nupdates_per_second=%.3f\n", pacing.updates, pacing.updatesPerSecond);
    std::printf("p99_deviation_ms=%.3f\nlate_updates=%d\n", pacing.p99DeviationMs, pacing.late);
    if (sampledUpdates_ > 0) {
        std::printf("avg_microbes=%.0f\navg_shots=%.1f\navg_debris=%.1f\n",
                    double(crowdSum_) / sampledUpdates_, double(shotSum_) / sampledUpdates_,
                    double(debrisSum_) / sampledUpdates_);
    }
    std::printf("gc_heap_start=%d\ngc_heap_end=%d\n", heapAtStart_, heapAtEnd_);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: %s --scene menu|crowd|iconify [--size WxH] [--t0 NS] "
                     "[--warmup S] [--seconds S]\n",
                     argv[0]);
        return 2;
    }
    const std::unique_ptr<Platform> glfw = NewGlfwPlatform();
    MeasuringPlatform platform(*glfw, options);
    char* hostArgv[] = {argv[0], nullptr};
    const int status = hostMain(1, hostArgv, platform, VexmoHooks());
    SetCurrentPlatform(nullptr);
    platform.Report();
    std::fflush(stdout);
    return status;
}
