// What the engine and the game cost per update and per render, free of the machine's noise: the
// real game on the headless backend (scripted clock, no window, no sound card) in crowded play.
// GL calls go to a silent table, so what is counted is the game's and the renderer's own work,
// not the driver's and not a recorder's logging.
//
//   bench_engine_cost --data DIR [--frames N] [--scene crowd|menu]
//       heap allocations per update and per render in steady crowded play, or on the main menu
//       once it has slid in (every malloc and operator new of the process is counted while a
//       hook runs), and wall time per hook
//   bench_engine_cost --data DIR --callgrind [--frames N]
//       under valgrind --tool=callgrind --collect-atstart=no: collects N updates, dumps, then
//       N renders, dumps; instructions per hook are the dumps' totals divided by N
//   bench_engine_cost --data DIR --heap-minutes M
//       M minutes of a played demo (simulated time), game after game: the collector's heap each
//       minute, to see it stay flat
//
// Prints "key=value" lines.
#include <unistd.h>
#include <valgrind/callgrind.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "bench/alloc_hook.h"
#include "bench/crowd_scene.h"
#include "game/my_app.h"
#include "graphics/gl_silent.h"
#include "graphics/gl_table.h"
#include "host/app_host.h"
#include "host/entry.h"
#include "input/input.h"
#include "input/key_translation.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"
#include "runtime/gc.h"

namespace {

struct Options {
    std::string data;
    int frames = 600;
    bool callgrind = false;
    int heapMinutes = 0;
    bool menu = false;
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--callgrind") {
            o->callgrind = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (arg == "--data") {
            o->data = value;
        } else if (arg == "--frames") {
            o->frames = std::atoi(value);
        } else if (arg == "--scene") {
            const std::string scene = value;
            if (scene != "crowd" && scene != "menu") return false;
            o->menu = scene == "menu";
        } else if (arg == "--heap-minutes") {
            o->heapMinutes = std::atoi(value);
        } else {
            return false;
        }
    }
    return !o->data.empty() && o->frames > 0;
}

constexpr double kPeriod = 1.0 / 60.0;

// The program's start on the headless backend, in a scratch working directory whose "data" is
// the generated data folder (so no saved record lands anywhere that matters).
class HeadlessGame {
public:
    explicit HeadlessGame(const std::string& data) {
        char pattern[] = "/tmp/vexmo-bench-XXXXXX";
        if (const char* made = mkdtemp(pattern)) scratch_ = made;
        std::error_code error;
        std::filesystem::create_directory_symlink(std::filesystem::absolute(data),
                                                  scratch_ / "data", error);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(scratch_, error);
        platform.Init();
        platform.OpenWindow(640, 480, "Vexmo");
        SetCurrentPlatform(&platform);
        SetGlTable(SilentGlTable());
        initGlobals(GameHooks{InitGameGlobals, nullptr});
        gc_mark();
        gc_new<MyApp>();
        host = host::app;
        host->InvokeOnCreate();
        host->InvokeOnRender();
    }
    ~HeadlessGame() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(scratch_, ignored);
    }

    MyApp& Game() { return *BenchGame(); }

    // The pointer and button for the next update, as a hand would give them.
    void Steer(double x, double y, bool held) {
        platform.SetCursorNow(x, y);
        if (held != held_) {
            if (held) {
                input::device->OnKeyDown(KeyCode::kMouseLeft);
            } else {
                input::device->OnKeyUp(KeyCode::kMouseLeft);
            }
            held_ = held;
        }
    }
    void Update() {
        platform.AdvanceTime(kPeriod);
        host->InvokeOnUpdate();
    }
    void Render() { host->InvokeOnRender(); }

    HeadlessPlatform platform;
    gxtkApp* host = nullptr;

private:
    std::filesystem::path scratch_ = "/tmp";
    std::filesystem::path previous_;
    bool held_ = false;
};

// Crowded play until the crowd stands, then a while longer so every pool is in its steady size.
bool EnterCrowd(HeadlessGame& g, CrowdScene& crowd) {
    for (int frame = 0; frame < 3000; ++frame) {
        double x = 0;
        double y = 0;
        bool held = false;
        crowd.BeforeUpdate(g.Game(), 640, 480, &x, &y, &held);
        g.Steer(x, y, held);
        g.Update();
        g.Render();
        if (crowd.Ready(g.Game())) {
            for (int warm = 0; warm < 300; ++warm) {
                crowd.BeforeUpdate(g.Game(), 640, 480, &x, &y, &held);
                g.Steer(x, y, held);
                g.Update();
                g.Render();
            }
            return true;
        }
    }
    return false;
}

// The main menu after loading, once it has slid in, and a while longer: nothing is pressed.
bool EnterMenu(HeadlessGame& g) {
    for (int frame = 0; frame < 3000; ++frame) {
        g.Update();
        g.Render();
        const MyApp& game = g.Game();
        if (game.loadStep == 0 && game.screen == vexmo::kScreenMenu && game.menuSlide == 0) {
            for (int warm = 0; warm < 120; ++warm) {
                g.Update();
                g.Render();
            }
            return true;
        }
    }
    return false;
}

template <typename Hook>
double Timed(Hook hook) {
    const auto start = std::chrono::steady_clock::now();
    hook();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int CountAllocations(HeadlessGame& g, CrowdScene* crowd, int frames) {
    long updateAllocs = 0;
    long updateBytes = 0;
    long renderAllocs = 0;
    long worstUpdate = 0;
    double updateSeconds = 0;
    double renderSeconds = 0;
    long microbes = 0;
    long shots = 0;
    long debris = 0;
    for (int frame = 0; frame < frames; ++frame) {
        double x = 0;
        double y = 0;
        bool held = false;
        if (crowd) {
            crowd->BeforeUpdate(g.Game(), 640, 480, &x, &y, &held);
            g.Steer(x, y, held);
        }
        microbes += LiveMicrobes(g.Game());
        shots += FlyingShots(g.Game());
        debris += FlyingDebris(g.Game());
        g_allocations = 0;
        g_allocatedBytes = 0;
        g_counting = true;
        updateSeconds += Timed([&] { g.Update(); });
        g_counting = false;
        updateAllocs += g_allocations;
        updateBytes += g_allocatedBytes;
        worstUpdate = std::max(worstUpdate, g_allocations.load());
        g_allocations = 0;
        g_counting = true;
        renderSeconds += Timed([&] { g.Render(); });
        g_counting = false;
        renderAllocs += g_allocations;
    }
    std::printf("frames=%d\n", frames);
    std::printf("avg_microbes=%.0f\navg_shots=%.1f\navg_debris=%.1f\n", double(microbes) / frames,
                double(shots) / frames, double(debris) / frames);
    std::printf("allocs_per_update=%.2f\nalloc_bytes_per_update=%.0f\nworst_update_allocs=%ld\n",
                double(updateAllocs) / frames, double(updateBytes) / frames, worstUpdate);
    std::printf("allocs_per_render=%.2f\n", double(renderAllocs) / frames);
    std::printf("update_us=%.1f\nrender_us=%.1f\n", updateSeconds / frames * 1e6,
                renderSeconds / frames * 1e6);
    return 0;
}

int CountInstructions(HeadlessGame& g, CrowdScene& crowd, int frames) {
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
    for (int pass = 0; pass < 2; ++pass) {
        const bool updates = pass == 0;
        for (int frame = 0; frame < frames; ++frame) {
            double x = 0;
            double y = 0;
            bool held = false;
            crowd.BeforeUpdate(g.Game(), 640, 480, &x, &y, &held);
            g.Steer(x, y, held);
            if (updates) CALLGRIND_TOGGLE_COLLECT;
            g.Update();
            if (updates) CALLGRIND_TOGGLE_COLLECT;
            if (!updates) CALLGRIND_TOGGLE_COLLECT;
            g.Render();
            if (!updates) CALLGRIND_TOGGLE_COLLECT;
        }
        if (updates) {
            CALLGRIND_DUMP_STATS_AT("updates");
        } else {
            CALLGRIND_DUMP_STATS_AT("renders");
        }
    }
    std::printf("frames=%d\n", frames);
    std::printf("avg_microbes=%d\n", LiveMicrobes(g.Game()));
    return 0;
}

// A played demo: start a game from the menu, circle and fire in bursts until the energy runs
// out, back to the menu, again. The collector's heap is read every simulated second.
int WatchHeap(HeadlessGame& g, int minutes) {
    long games = 0;
    bool wasPlaying = false;
    long tick = 0;
    std::printf("heap_minutes=%d\n", minutes);
    int firstMinuteMax = 0;
    int lastMinuteMax = 0;
    int overallMax = 0;
    for (int minute = 0; minute < minutes; ++minute) {
        int low = INT32_MAX;
        int high = 0;
        for (int frame = 0; frame < 3600; ++frame, ++tick) {
            MyApp& game = g.Game();
            const bool playing = game.screen == vexmo::kScreenPlay;
            if (playing && !wasPlaying) ++games;
            wasPlaying = playing;
            if (game.loadStep == 0 && game.screen == vexmo::kScreenMenu && tick % 120 == 0) {
                game.screen = vexmo::kScreenStartPlay;
            }
            const double angle = tick * 0.03;
            g.Steer(320 + 200 * std::sin(angle), 240 - 200 * std::cos(angle),
                    playing && tick % 30 != 0);
            g.Update();
            g.Render();
            if (frame % 60 == 0) {
                low = std::min(low, gc_alloced_bytes);
                high = std::max(high, gc_alloced_bytes);
            }
        }
        std::printf("heap_minute_%d=%d..%d\n", minute + 1, low, high);
        if (minute == 0) firstMinuteMax = high;
        lastMinuteMax = high;
        overallMax = std::max(overallMax, high);
    }
    std::printf("games=%ld\n", games);
    std::printf("heap_first_minute_max=%d\nheap_last_minute_max=%d\nheap_max=%d\n", firstMinuteMax,
                lastMinuteMax, overallMax);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: %s --data DIR [--frames N] [--scene crowd|menu] [--callgrind] "
                     "[--heap-minutes M]\n",
                     argv[0]);
        return 2;
    }
    HeadlessGame game(options.data);
    if (options.heapMinutes > 0) return WatchHeap(game, options.heapMinutes);
    if (options.menu && !options.callgrind) {
        if (!EnterMenu(game)) {
            std::fprintf(stderr, "the menu never settled\n");
            return 1;
        }
        return CountAllocations(game, nullptr, options.frames);
    }
    CrowdScene crowd;
    if (!EnterCrowd(game, crowd)) {
        std::fprintf(stderr, "the crowd never stood\n");
        return 1;
    }
    return options.callgrind ? CountInstructions(game, crowd, options.frames)
                             : CountAllocations(game, &crowd, options.frames);
}
