// A GL call trace: a table that forwards every call to another table and also writes it, with
// the vertices, indices and pixels it reads, to a file. Replaying the file issues the same GL
// calls with no game behind them, which is the cheapest any program can draw the same frames;
// the benchmarks measure the game against that.
//
// Tracing starts when the environment variable VEXMO_GL_TRACE names a file at the first GL
// call; without it nothing changes. The renderer marks the end of each presented frame.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics/gl_table.h"

enum class GlTraceOp : uint8_t {
    kClear = 1,
    kClearColor,
    kEnable,
    kDisable,
    kBlendFunc,
    kScissor,
    kViewport,
    kMatrixMode,
    kLoadIdentity,
    kOrtho,
    kEnableClientState,
    kVertexPointer,
    kTexCoordPointer,
    kColorPointer,
    kDrawArrays,
    kDrawElements,
    kBindTexture,
    kGenTextures,
    kDeleteTextures,
    kTexImage2D,
    kTexSubImage2D,
    kTexParameteri,
    kReadPixels,
    kPixelStorei,
    kGetError,
    kFrameEnd = 200,
};

// The file starts with these 8 bytes.
constexpr char kGlTraceMagic[9] = "VXGLTRC1";

// Wraps `inner` so every call is also written to `path`. Returns false (and leaves nothing
// installed) when the file cannot be created.
bool StartGlTrace(const std::string& path, const GlTable& inner, GlTable* traced);
// Called by the renderer after each buffer swap; does nothing when no trace runs.
void GlTraceFrameEnd();
// Flushes and closes the trace file (also done at exit).
void StopGlTrace();
bool GlTraceActive();

// The real table, traced when VEXMO_GL_TRACE asks for it.
GlTable InitialGlTable();

// One decoded call. Integer and float arguments keep the call's order; pointer arguments are
// replaced by `data` (vertex bytes from the start of the vertex array for draws, index bytes,
// uploaded pixels, generated or deleted texture names).
struct GlTraceCall {
    GlTraceOp op{};
    std::vector<int32_t> ints;
    std::vector<double> reals;
    std::vector<uint8_t> data;
    std::vector<uint8_t> indices;  // glDrawElements only
};

// Reads a trace call by call. Next returns false at the end of the file or at damage (a record
// cut short, an unknown operation, an implausible size), so a truncated trace replays cleanly
// up to its last whole call.
class GlTraceReader {
public:
    explicit GlTraceReader(const std::string& path);
    ~GlTraceReader();
    GlTraceReader(const GlTraceReader&) = delete;
    GlTraceReader& operator=(const GlTraceReader&) = delete;

    bool Valid() const { return file_ != nullptr && valid_; }
    bool Next(GlTraceCall* call);

private:
    bool ReadInts(int n, GlTraceCall* call);
    bool ReadReals(int n, GlTraceCall* call);
    bool ReadBlob(std::vector<uint8_t>* out);

    std::FILE* file_ = nullptr;
    bool valid_ = false;
};
