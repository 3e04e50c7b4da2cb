// One busy frame of the game's kind: 2,500 textured quads from one atlas with a colour change
// before each, 100 rectangles and 20 ovals.
//
//   BatchedRecorder  the renderer with a GL table that only logs calls: the processor side alone
//   BatchedRealGL    the renderer on the real GL of a window (needs DISPLAY), finished with
//   glFinish ImmediateRealGL  the same frame drawn the naive way, one glBegin/glEnd per quad
//
// Besides Google Benchmark's table it prints nanoseconds per quad, draw calls per frame and the
// immediate/batched ratio measured in the same run.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "graphics/gl_table.h"
#include "graphics/graphics.h"
#include "platform/platform.h"
#include "platform/platform_glfw.h"
#include "platform/platform_headless.h"

namespace {

constexpr int kQuads = 2500;
constexpr int kRects = 100;
constexpr int kOvals = 20;
constexpr int kAtlasSize = 256;
constexpr int kCell = 16;
constexpr int kCellsPerRow = kAtlasSize / kCell;
constexpr float kDegToRad = 0.017453292f;

struct QuadSpec {
    float x, y, rotation, scale;
    int frame;
    float r, g, b, alpha;
};

struct FrameScript {
    QuadSpec quads[kQuads];
    float rects[kRects][4];
    float ovals[kOvals][4];
};

const FrameScript& Script() {
    static const FrameScript script = [] {
        FrameScript s{};
        unsigned seed = 1234;
        auto next = [&seed](float lo, float hi) {
            seed = seed * 1664525u + 1013904223u;
            return lo + (hi - lo) * static_cast<float>(seed >> 8) / 16777216.0f;
        };
        for (QuadSpec& q : s.quads) {
            q = {next(0, 640),
                 next(0, 480),
                 next(0, 360),
                 next(0.5f, 2.0f),
                 static_cast<int>(next(0, kCellsPerRow * kCellsPerRow)),
                 next(0, 255),
                 next(0, 255),
                 next(0, 255),
                 next(0.3f, 1.0f)};
        }
        for (auto& r : s.rects) r[0] = next(0, 600), r[1] = next(0, 440), r[2] = 30, r[3] = 20;
        for (auto& o : s.ovals) o[0] = next(0, 640), o[1] = next(0, 480), o[2] = 25, o[3] = 15;
        return s;
    }();
    return script;
}

gxtkGraphics* g_renderer = nullptr;
Image* g_atlas = nullptr;
std::unique_ptr<Platform> g_window;
HeadlessPlatform g_headless;

void SetUpGraphics() {
    static bool done = false;
    if (done) return;
    done = true;
    InitGraphicsGlobals();
    g_renderer = gc_new<gxtkGraphics>();
    SetGraphicsDevice(g_renderer);
}

// An atlas of 16 x 16 cells, each a different colour, as the game's sprite sheets are.
void MakeAtlas() {
    gxtkSurface* surface = g_renderer->CreateSurface(kAtlasSize, kAtlasSize);
    Array<int> pixels(kAtlasSize * kAtlasSize);
    for (int y = 0; y < kAtlasSize; ++y) {
        for (int x = 0; x < kAtlasSize; ++x) {
            pixels[y * kAtlasSize + x] = static_cast<int>(0xFF000000u | (x * 7u & 255) << 16 |
                                                          (y * 5u & 255) << 8 | ((x ^ y) & 255));
        }
    }
    g_renderer->WritePixels2(surface, pixels, 0, 0, kAtlasSize, kAtlasSize, 0, kAtlasSize);
    Image* whole = gc_new<Image>()->Init(surface, 1, 0);
    g_atlas = whole->GrabImage(0, 0, kCell, kCell, kCellsPerRow * kCellsPerRow, Image::MidHandle);
}

bool OpenWindow() {
    static bool tried = false, open = false;
    if (tried) return open;
    tried = true;
    if (!std::getenv("DISPLAY")) return false;
    g_window = NewGlfwPlatform();
    open = g_window->Init() && g_window->OpenWindow(640, 480, "Vexmo bench");
    return open;
}

// The frame through the graphics module, exactly as the game's render replays its list.
// Sprites are drawn at their scripted scale times this: 1 for game-sized sprites, small values
// to take the rasteriser's fill cost out and leave the cost of submitting the geometry.
float g_spriteScale = 1;

void DrawBatchedFrame() {
    const FrameScript& s = Script();
    const float k = g_spriteScale;
    g_renderer->BeginRender();
    BeginRender();
    Cls(0, 0, 0);
    for (const QuadSpec& q : s.quads) {
        SetColor(q.r, q.g, q.b);
        SetAlpha(q.alpha);
        DrawImage2(g_atlas, q.x, q.y, q.rotation, q.scale * k, q.scale * k, q.frame);
    }
    SetColor(255, 255, 255);
    SetAlpha(1);
    for (const auto& r : s.rects) DrawRect(r[0], r[1], r[2], r[3]);
    for (const auto& o : s.ovals) DrawEllipse(o[0], o[1], o[2], o[3]);
    EndRender();
    g_renderer->Flush();
}

void ImmediateVertex(float ix, float iy, float jx, float jy, float tx, float ty, float x, float y) {
    glVertex2f(x * ix + y * jx + tx, x * iy + y * jy + ty);
}

uint8_t Premultiplied(float c, float alpha) {
    return static_cast<uint8_t>(std::fmin(255.0f, c * alpha));
}

// The same frame drawn the straightforward way: GL state per quad, one glBegin/glEnd each.
void DrawImmediateFrame() {
    const FrameScript& s = Script();
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    const gxtkSurface* surface = g_atlas->surface;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, surface->texture);
    const float half = kCell * 0.5f;
    for (const QuadSpec& q : s.quads) {
        const float radians = q.rotation * kDegToRad;
        const float c = std::cos(radians), sn = std::sin(radians);
        const float scale = q.scale * g_spriteScale;
        const float ix = c * scale, iy = -sn * scale, jx = sn * scale, jy = c * scale;
        const float tx = q.x - half * ix - half * jx, ty = q.y - half * iy - half * jy;
        const gc_ref<Frame>& f = g_atlas->frames[q.frame];
        const float u0 = f->x * surface->uscale, v0 = f->y * surface->vscale;
        const float u1 = (f->x + kCell) * surface->uscale, v1 = (f->y + kCell) * surface->vscale;
        glColor4ub(Premultiplied(q.r, q.alpha), Premultiplied(q.g, q.alpha),
                   Premultiplied(q.b, q.alpha), Premultiplied(255, q.alpha));
        glBegin(GL_QUADS);
        glTexCoord2f(u0, v0);
        ImmediateVertex(ix, iy, jx, jy, tx, ty, 0, 0);
        glTexCoord2f(u1, v0);
        ImmediateVertex(ix, iy, jx, jy, tx, ty, kCell, 0);
        glTexCoord2f(u1, v1);
        ImmediateVertex(ix, iy, jx, jy, tx, ty, kCell, kCell);
        glTexCoord2f(u0, v1);
        ImmediateVertex(ix, iy, jx, jy, tx, ty, 0, kCell);
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    glColor4ub(255, 255, 255, 255);
    for (const auto& r : s.rects) {
        glBegin(GL_QUADS);
        glVertex2f(r[0], r[1]);
        glVertex2f(r[0] + r[2], r[1]);
        glVertex2f(r[0] + r[2], r[1] + r[3]);
        glVertex2f(r[0], r[1] + r[3]);
        glEnd();
    }
    for (const auto& o : s.ovals) {
        const int n = g_renderer->OvalSegments(o[2] * 2, o[3] * 2);
        glBegin(GL_TRIANGLE_FAN);
        for (int i = 0; i < n; ++i) {
            const float theta = static_cast<float>(i) * 6.2831855f / static_cast<float>(n);
            glVertex2f(o[0] + o[2] * std::cos(theta), o[1] - o[3] * std::sin(theta));
        }
        glEnd();
    }
}

void ReportPerQuad(benchmark::State& state, double drawCalls) {
    // Rates are taken over the benchmark's CPU time: the submitting thread's time per quad.
    state.counters["cpu_per_quad"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kQuads,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["draw_calls"] = drawCalls;
}

void BM_BatchedRecorder(benchmark::State& state) {
    g_spriteScale = static_cast<float>(state.range(0)) / 100;
    SetUpGraphics();
    GlRecorder rec;
    rec.captureData = false;
    g_headless.Init();
    g_headless.OpenWindow(640, 480, "Vexmo bench");
    SetCurrentPlatform(&g_headless);
    g_renderer->Validate();
    if (!g_atlas) MakeAtlas();
    size_t drawCalls = 0;
    for (auto _ : state) {
        rec.Clear();
        DrawBatchedFrame();
        drawCalls = rec.DrawCalls().size();
    }
    ReportPerQuad(state, static_cast<double>(drawCalls));
    SetCurrentPlatform(nullptr);
}

// Draw calls of one batched frame, counted by replaying it once into a recorder.
size_t BatchedDrawCalls() {
    GlRecorder rec;
    rec.captureData = false;
    DrawBatchedFrame();
    return rec.DrawCalls().size();
}

bool PrepareRealGl(benchmark::State& state) {
    if (!OpenWindow()) {
        state.SkipWithError("no display: run under Xvfb");
        return false;
    }
    SetUpGraphics();
    SetCurrentPlatform(g_window.get());
    SetGlTable(RealGlTable());
    g_renderer->Validate();
    g_atlas = nullptr;  // textures of the recorder run do not exist in this context
    MakeAtlas();
    return true;
}

void BM_BatchedRealGL(benchmark::State& state) {
    g_spriteScale = static_cast<float>(state.range(0)) / 100;
    if (!PrepareRealGl(state)) return;
    for (auto _ : state) {
        DrawBatchedFrame();
        glFinish();
    }
    ReportPerQuad(state, static_cast<double>(BatchedDrawCalls()));
    SetCurrentPlatform(nullptr);
}

void BM_ImmediateRealGL(benchmark::State& state) {
    g_spriteScale = static_cast<float>(state.range(0)) / 100;
    if (!PrepareRealGl(state)) return;
    for (auto _ : state) {
        DrawImmediateFrame();
        glFinish();
    }
    // Every quad, rectangle and oval is its own glBegin/glEnd.
    ReportPerQuad(state, kQuads + kRects + kOvals);
    SetCurrentPlatform(nullptr);
}

// The argument is the sprite scale in percent.
BENCHMARK(BM_BatchedRecorder)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BatchedRealGL)->Arg(100)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImmediateRealGL)->Arg(100)->Arg(10)->Unit(benchmark::kMicrosecond);

struct FrameTimes {
    double wallNs;
    double cpuNs;  // the submitting thread only; llvmpipe rasterises on threads of its own
};

// Keeps each benchmark's time per frame so the ratio can be printed after the run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            // With repetitions, the median stands for the benchmark; other aggregates are noise.
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median") continue;
            const double n = static_cast<double>(run.iterations);
            const FrameTimes t{run.real_accumulated_time * 1e9 / n,
                               run.cpu_accumulated_time * 1e9 / n};
            frames[run.run_name.function_name + "/" + run.run_name.args] = t;
            auto calls = run.counters.find("draw_calls");
            std::printf(
                "  %-20s wall %8.1f us/frame %7.1f ns/quad | cpu %8.1f us/frame %7.1f ns/quad"
                " | %5.0f draw calls/frame\n",
                (run.benchmark_name() + (aggregate ? " median" : "")).c_str(), t.wallNs / 1e3,
                t.wallNs / kQuads, t.cpuNs / 1e3, t.cpuNs / kQuads,
                calls != run.counters.end() ? static_cast<double>(calls->second) : 0.0);
        }
    }
    std::map<std::string, FrameTimes> frames;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* scale : {"100", "10"}) {
        const auto batched = reporter.frames.find(std::string("BM_BatchedRealGL/") + scale);
        const auto immediate = reporter.frames.find(std::string("BM_ImmediateRealGL/") + scale);
        if (batched == reporter.frames.end() || immediate == reporter.frames.end()) continue;
        std::printf(
            "immediate / batched on real GL, sprites at %s%%: wall %.2f, submitting thread cpu "
            "%.2f\n",
            scale, immediate->second.wallNs / batched->second.wallNs,
            immediate->second.cpuNs / batched->second.cpuNs);
    }
    benchmark::Shutdown();
    return 0;
}
