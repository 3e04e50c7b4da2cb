// The floor the game is measured against: a program with no game in it at all.
//
//   bench_gl_replay --trace FILE [--from N --to M] [--size WxH]
//       opens the game's window, replays the GL calls of a trace the game recorded
//       (VEXMO_GL_TRACE) at 60 frames a second, and reports the processor time per second of
//       wall time over frames N to M.
//   bench_gl_replay --bare [--size WxH] [--t0 NS] [--seconds S]
//       opens the same window and presents cleared frames: the time from the process start
//       (a CLOCK_REALTIME stamp in nanoseconds taken just before exec) to the first presented
//       frame, and the peak resident memory.
//
// Output is one "key=value" per line for scripts/bench.
#include <GLFW/glfw3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "bench/measure.h"
#include "graphics/gl_trace.h"

namespace {

struct Options {
    std::string trace;
    bool bare = false;
    int width = 640;
    int height = 480;
    long from = 0;
    long to = -1;
    long long t0 = 0;
    double seconds = 1.0;
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--bare") {
            o->bare = true;
            continue;
        }
        if (!value) return false;
        ++i;
        if (arg == "--trace") {
            o->trace = value;
        } else if (arg == "--size") {
            if (std::sscanf(value, "%dx%d", &o->width, &o->height) != 2) return false;
        } else if (arg == "--from") {
            o->from = std::atol(value);
        } else if (arg == "--to") {
            o->to = std::atol(value);
        } else if (arg == "--t0") {
            o->t0 = std::atoll(value);
        } else if (arg == "--seconds") {
            o->seconds = std::atof(value);
        } else {
            return false;
        }
    }
    return o->bare || !o->trace.empty();
}

// The same window the game opens: resizable, no depth or stencil, centred, titled "Vexmo".
GLFWwindow* OpenGameWindow(int width, int height) {
    if (glfwInit() != GLFW_TRUE) return nullptr;
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    glfwWindowHint(GLFW_DEPTH_BITS, 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    GLFWwindow* window = glfwCreateWindow(width, height, "Vexmo", nullptr, nullptr);
    if (!window) return nullptr;
    glfwMakeContextCurrent(window);
    if (const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor())) {
        glfwSetWindowPos(window, (mode->width - width) / 2, (mode->height - height) / 2);
    }
    return window;
}

// Waits for the next 60 Hz tick the way the game's loop does: sleep, then poll events.
class Pacer {
public:
    Pacer() : next_(glfwGetTime()) {}
    void Wait() {
        next_ += 1.0 / 60.0;
        const double now = glfwGetTime();
        if (next_ > now) {
            std::this_thread::sleep_for(std::chrono::duration<double>(next_ - now));
        } else if (now - next_ > 7.0 / 60.0) {
            next_ = now;  // a long stall: start afresh rather than burst
        }
        glfwPollEvents();
    }

private:
    double next_;
};

int RunBare(const Options& o) {
    GLFWwindow* window = OpenGameWindow(o.width, o.height);
    if (!window) return 1;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glfwSwapBuffers(window);
    const long long presented = RealtimeNanoseconds();
    if (o.t0 > 0) std::printf("startup_ms=%.2f\n", (presented - o.t0) / 1e6);
    Pacer pacer;
    const double end = glfwGetTime() + o.seconds;
    while (glfwGetTime() < end && !glfwWindowShouldClose(window)) {
        glClear(GL_COLOR_BUFFER_BIT);
        glfwSwapBuffers(window);
        pacer.Wait();
    }
    std::printf("peak_rss_kb=%ld\n", PeakResidentKilobytes());
    glfwTerminate();
    return 0;
}

// Replays decoded calls onto the real GL. Client arrays live in one arena laid out like the
// game's vertex buffer, so the pointer calls are issued as often as the game issued them.
class Replayer {
public:
    explicit Replayer(size_t arenaBytes) : arena_(arenaBytes) {}

    void Run(const GlTraceCall& c) {
        const auto& i = c.ints;
        switch (c.op) {
            case GlTraceOp::kClear:
                glClear(i[0]);
                break;
            case GlTraceOp::kClearColor:
                glClearColor(c.reals[0], c.reals[1], c.reals[2], c.reals[3]);
                break;
            case GlTraceOp::kEnable:
                glEnable(i[0]);
                break;
            case GlTraceOp::kDisable:
                glDisable(i[0]);
                break;
            case GlTraceOp::kBlendFunc:
                glBlendFunc(i[0], i[1]);
                break;
            case GlTraceOp::kScissor:
                glScissor(i[0], i[1], i[2], i[3]);
                break;
            case GlTraceOp::kViewport:
                glViewport(i[0], i[1], i[2], i[3]);
                break;
            case GlTraceOp::kMatrixMode:
                glMatrixMode(i[0]);
                break;
            case GlTraceOp::kLoadIdentity:
                glLoadIdentity();
                break;
            case GlTraceOp::kOrtho: {
                const auto& r = c.reals;
                glOrtho(r[0], r[1], r[2], r[3], r[4], r[5]);
                break;
            }
            case GlTraceOp::kEnableClientState:
                glEnableClientState(i[0]);
                break;
            case GlTraceOp::kVertexPointer:
                SetArray(&vertex_, c);
                break;
            case GlTraceOp::kTexCoordPointer:
                SetArray(&texCoord_, c);
                break;
            case GlTraceOp::kColorPointer:
                SetArray(&color_, c);
                break;
            case GlTraceOp::kDrawArrays:
                PrepareDraw(c, static_cast<size_t>(i[1]) * i[3]);
                glDrawArrays(i[0], i[1], i[2]);
                break;
            case GlTraceOp::kDrawElements:
                PrepareDraw(c, 0);
                glDrawElements(i[0], i[1], i[2], c.indices.empty() ? nullptr : c.indices.data());
                break;
            case GlTraceOp::kBindTexture:
                glBindTexture(i[0], Texture(i[1]));
                break;
            case GlTraceOp::kGenTextures:
                GenTextures(c);
                break;
            case GlTraceOp::kDeleteTextures:
                DeleteTextures(c);
                break;
            case GlTraceOp::kTexImage2D:
                glTexImage2D(i[0], i[1], i[2], i[3], i[4], i[5], i[6], i[7],
                             i[8] ? c.data.data() : nullptr);
                break;
            case GlTraceOp::kTexSubImage2D:
                glTexSubImage2D(i[0], i[1], i[2], i[3], i[4], i[5], i[6], i[7],
                                i[8] ? c.data.data() : nullptr);
                break;
            case GlTraceOp::kTexParameteri:
                glTexParameteri(i[0], i[1], i[2]);
                break;
            case GlTraceOp::kReadPixels:
                readBack_.resize(static_cast<size_t>(std::max(i[2], 0)) * std::max(i[3], 0) * 4);
                if (!readBack_.empty()) {
                    glReadPixels(i[0], i[1], i[2], i[3], i[4], i[5], readBack_.data());
                }
                break;
            case GlTraceOp::kPixelStorei:
                glPixelStorei(i[0], i[1]);
                break;
            case GlTraceOp::kGetError:
                glGetError();
                break;
            case GlTraceOp::kFrameEnd:
                break;
        }
    }

private:
    struct ArrayLayout {
        int size = 0;
        int type = 0;
        int stride = 0;
        bool pending = false;
    };

    static void SetArray(ArrayLayout* layout, const GlTraceCall& c) {
        *layout = {c.ints[0], c.ints[1], c.ints[2], true};
    }

    // Copies the draw's vertices into the arena where the game's buffer had them, and points
    // the arrays at the arena when the game had just pointed them.
    void PrepareDraw(const GlTraceCall& c, size_t at) {
        if (!c.data.empty() && at + c.data.size() <= arena_.size()) {
            std::memcpy(arena_.data() + at, c.data.data(), c.data.size());
        }
        const int texOffset = c.ints[4];
        const int colorOffset = c.ints[5];
        if (vertex_.pending) {
            glVertexPointer(vertex_.size, vertex_.type, vertex_.stride, arena_.data());
            vertex_.pending = false;
        }
        if (texCoord_.pending && texOffset >= 0) {
            glTexCoordPointer(texCoord_.size, texCoord_.type, texCoord_.stride,
                              arena_.data() + texOffset);
            texCoord_.pending = false;
        }
        if (color_.pending && colorOffset >= 0) {
            glColorPointer(color_.size, color_.type, color_.stride, arena_.data() + colorOffset);
            color_.pending = false;
        }
    }

    GLuint Texture(int32_t recorded) const {
        const auto found = textures_.find(static_cast<uint32_t>(recorded));
        return found == textures_.end() ? 0 : found->second;
    }

    void GenTextures(const GlTraceCall& c) {
        const int n = c.ints[0];
        if (n <= 0 || c.data.size() < static_cast<size_t>(n) * 4) return;
        std::vector<GLuint> made(static_cast<size_t>(n));
        glGenTextures(n, made.data());
        for (int k = 0; k < n; ++k) {
            uint32_t recorded = 0;
            std::memcpy(&recorded, c.data.data() + 4 * k, 4);
            textures_[recorded] = made[k];
        }
    }

    void DeleteTextures(const GlTraceCall& c) {
        const int n = c.ints[0];
        if (n <= 0 || c.data.size() < static_cast<size_t>(n) * 4) return;
        std::vector<GLuint> names(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k) {
            uint32_t recorded = 0;
            std::memcpy(&recorded, c.data.data() + 4 * k, 4);
            names[k] = Texture(static_cast<int32_t>(recorded));
            textures_.erase(recorded);
        }
        glDeleteTextures(n, names.data());
    }

    std::vector<uint8_t> arena_;
    std::vector<uint8_t> readBack_;
    std::unordered_map<uint32_t, GLuint> textures_;
    ArrayLayout vertex_;
    ArrayLayout texCoord_;
    ArrayLayout color_;
};

// The whole trace in memory, split into frames, so the replay reads no file while it runs.
struct LoadedTrace {
    std::vector<std::vector<GlTraceCall>> frames;
    size_t arenaBytes = 0;
};

bool LoadTrace(const std::string& path, LoadedTrace* out) {
    GlTraceReader reader(path);
    if (!reader.Valid()) return false;
    out->frames.emplace_back();
    GlTraceCall call;
    while (reader.Next(&call)) {
        if (call.op == GlTraceOp::kDrawArrays) {
            const size_t end = static_cast<size_t>(call.ints[1]) * call.ints[3] + call.data.size();
            out->arenaBytes = std::max(out->arenaBytes, end);
        } else if (call.op == GlTraceOp::kDrawElements) {
            out->arenaBytes = std::max(out->arenaBytes, call.data.size());
        }
        const bool frameEnd = call.op == GlTraceOp::kFrameEnd;
        out->frames.back().push_back(std::move(call));
        call = GlTraceCall{};
        if (frameEnd) out->frames.emplace_back();
    }
    if (out->frames.back().empty()) out->frames.pop_back();
    return true;
}

int RunReplay(const Options& o) {
    LoadedTrace trace;
    if (!LoadTrace(o.trace, &trace) || trace.frames.empty()) {
        std::fprintf(stderr, "cannot read trace %s\n", o.trace.c_str());
        return 1;
    }
    GLFWwindow* window = OpenGameWindow(o.width, o.height);
    if (!window) return 1;
    Replayer replayer(trace.arenaBytes + 64);
    const long frameCount = static_cast<long>(trace.frames.size());
    const long to = o.to < 0 || o.to > frameCount ? frameCount : o.to;
    // Frames count from 1 at the first presented one; the window is from the end of frame
    // `from` to the end of frame `to`, exactly as the game session measures it.
    const long from = std::max(1L, std::min(o.from, to));
    CpuSample start = CpuSample::Now();
    CpuSample end = start;
    Pacer pacer;
    for (long f = 0; f < to && !glfwWindowShouldClose(window); ++f) {
        for (const GlTraceCall& call : trace.frames[f]) replayer.Run(call);
        glfwSwapBuffers(window);
        if (f + 1 == from) start = CpuSample::Now();
        if (f + 1 == to) end = CpuSample::Now();
        pacer.Wait();
    }
    std::printf("frames=%ld\nmeasured_frames=%ld\n", frameCount, to - from);
    std::printf("cpu_per_wall=%.4f\n", end.CpuPerWallSince(start));
    const long frames = to - from;
    const double wall = end.wall - start.wall;
    std::printf("frames_per_second=%.2f\n", wall > 0 ? frames / wall : 0.0);
    std::printf("cpu_ms_per_frame=%.3f\n", frames > 0 ? (end.cpu - start.cpu) * 1e3 / frames : 0.0);
    std::printf("peak_rss_kb=%ld\n", PeakResidentKilobytes());
    glfwTerminate();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: %s --trace FILE [--from N --to M] [--size WxH]\n"
                     "       %s --bare [--size WxH] [--t0 NS] [--seconds S]\n",
                     argv[0], argv[0]);
        return 2;
    }
    return options.bare ? RunBare(options) : RunReplay(options);
}
