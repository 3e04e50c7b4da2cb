#include "graphics/gl_trace.h"

#include <cstdlib>
#include <cstring>

#include "graphics/gl_upload_layout.h"
#include "runtime/console.h"

namespace {

// How many integer and real arguments, and how many byte blocks, follow each operation.
struct OpShape {
    int ints;
    int reals;
    int blobs;
};

bool ShapeOf(GlTraceOp op, OpShape* shape) {
    switch (op) {
        case GlTraceOp::kClear:
        case GlTraceOp::kEnable:
        case GlTraceOp::kDisable:
        case GlTraceOp::kMatrixMode:
        case GlTraceOp::kEnableClientState:
            *shape = {1, 0, 0};
            return true;
        case GlTraceOp::kClearColor:
            *shape = {0, 4, 0};
            return true;
        case GlTraceOp::kBlendFunc:
        case GlTraceOp::kBindTexture:
        case GlTraceOp::kPixelStorei:
            *shape = {2, 0, 0};
            return true;
        case GlTraceOp::kScissor:
        case GlTraceOp::kViewport:
            *shape = {4, 0, 0};
            return true;
        case GlTraceOp::kLoadIdentity:
        case GlTraceOp::kGetError:
        case GlTraceOp::kFrameEnd:
            *shape = {0, 0, 0};
            return true;
        case GlTraceOp::kOrtho:
            *shape = {0, 6, 0};
            return true;
        case GlTraceOp::kVertexPointer:
        case GlTraceOp::kTexCoordPointer:
        case GlTraceOp::kColorPointer:
        case GlTraceOp::kTexParameteri:
            *shape = {3, 0, 0};
            return true;
        // mode, first or count, count or type, stride, texture offset, colour offset
        case GlTraceOp::kDrawArrays:
            *shape = {6, 0, 1};
            return true;
        case GlTraceOp::kDrawElements:
            *shape = {6, 0, 2};
            return true;
        case GlTraceOp::kGenTextures:
        case GlTraceOp::kDeleteTextures:
            *shape = {1, 0, 1};
            return true;
        // the eight arguments, then whether pixels were passed
        case GlTraceOp::kTexImage2D:
        case GlTraceOp::kTexSubImage2D:
            *shape = {9, 0, 1};
            return true;
        case GlTraceOp::kReadPixels:
            *shape = {6, 0, 0};
            return true;
    }
    return false;
}

// Anything larger than this in one block is damage, not a real upload or draw.
constexpr uint32_t kMaxBlob = 256u << 20;

struct TraceState {
    std::FILE* file = nullptr;
    GlTable inner{};
    int unpackAlignment = 4;
    const uint8_t* vertexPointer = nullptr;
    const uint8_t* texCoordPointer = nullptr;
    const uint8_t* colorPointer = nullptr;
    int vertexStride = 0;
};

TraceState g_trace;

void WriteOp(GlTraceOp op) {
    const auto byte = static_cast<uint8_t>(op);
    std::fwrite(&byte, 1, 1, g_trace.file);
}
void WriteInt(int32_t value) {
    std::fwrite(&value, sizeof value, 1, g_trace.file);
}
void WriteReal(double value) {
    std::fwrite(&value, sizeof value, 1, g_trace.file);
}
void WriteBlob(const void* bytes, size_t size) {
    const auto length = static_cast<uint32_t>(size);
    std::fwrite(&length, sizeof length, 1, g_trace.file);
    if (size > 0) std::fwrite(bytes, 1, size, g_trace.file);
}

void WriteInts(GlTraceOp op, std::initializer_list<int32_t> values) {
    WriteOp(op);
    for (const int32_t v : values) WriteInt(v);
}

// The bytes GL reads for an upload: every row padded to the unpack alignment but the last.
size_t UploadBytes(int width, int height, GLenum format) {
    if (width <= 0 || height <= 0) return 0;
    const size_t stride = UploadRowStride(width, format, g_trace.unpackAlignment);
    return stride * (height - 1) + UploadRowBytes(width, format);
}

// Where an attribute array sits inside each vertex, or -1 when it is not interleaved with the
// positions (the replay then cannot rebuild it).
int32_t OffsetInVertex(const uint8_t* pointer) {
    if (!pointer || !g_trace.vertexPointer) return -1;
    const ptrdiff_t offset = pointer - g_trace.vertexPointer;
    return offset >= 0 && offset < g_trace.vertexStride ? static_cast<int32_t>(offset) : -1;
}

void WriteDrawHeader(GlTraceOp op, int32_t a, int32_t b, int32_t c) {
    WriteInts(op, {a, b, c, g_trace.vertexStride, OffsetInVertex(g_trace.texCoordPointer),
                   OffsetInVertex(g_trace.colorPointer)});
}

void WriteVertices(int first, int count) {
    if (!g_trace.vertexPointer || count <= 0 || first < 0) {
        WriteBlob(nullptr, 0);
        return;
    }
    const size_t stride = static_cast<size_t>(g_trace.vertexStride);
    WriteBlob(g_trace.vertexPointer + first * stride, count * stride);
}

void TrClear(GLbitfield mask) {
    WriteInts(GlTraceOp::kClear, {static_cast<int32_t>(mask)});
    g_trace.inner.Clear(mask);
}
void TrClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    WriteOp(GlTraceOp::kClearColor);
    for (const double v : {r, g, b, a}) WriteReal(v);
    g_trace.inner.ClearColor(r, g, b, a);
}
void TrEnable(GLenum cap) {
    WriteInts(GlTraceOp::kEnable, {static_cast<int32_t>(cap)});
    g_trace.inner.Enable(cap);
}
void TrDisable(GLenum cap) {
    WriteInts(GlTraceOp::kDisable, {static_cast<int32_t>(cap)});
    g_trace.inner.Disable(cap);
}
void TrBlendFunc(GLenum s, GLenum d) {
    WriteInts(GlTraceOp::kBlendFunc, {static_cast<int32_t>(s), static_cast<int32_t>(d)});
    g_trace.inner.BlendFunc(s, d);
}
void TrScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    WriteInts(GlTraceOp::kScissor, {x, y, w, h});
    g_trace.inner.Scissor(x, y, w, h);
}
void TrViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    WriteInts(GlTraceOp::kViewport, {x, y, w, h});
    g_trace.inner.Viewport(x, y, w, h);
}
void TrMatrixMode(GLenum mode) {
    WriteInts(GlTraceOp::kMatrixMode, {static_cast<int32_t>(mode)});
    g_trace.inner.MatrixMode(mode);
}
void TrLoadIdentity() {
    WriteOp(GlTraceOp::kLoadIdentity);
    g_trace.inner.LoadIdentity();
}
void TrOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    WriteOp(GlTraceOp::kOrtho);
    for (const double v : {l, r, b, t, n, f}) WriteReal(v);
    g_trace.inner.Ortho(l, r, b, t, n, f);
}
void TrEnableClientState(GLenum array) {
    WriteInts(GlTraceOp::kEnableClientState, {static_cast<int32_t>(array)});
    g_trace.inner.EnableClientState(array);
}
void TrVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    WriteInts(GlTraceOp::kVertexPointer, {size, static_cast<int32_t>(type), stride});
    g_trace.vertexPointer = static_cast<const uint8_t*>(ptr);
    // Tightly packed positions: the stride is the position's own size.
    g_trace.vertexStride = stride != 0 ? stride : size * 4;
    g_trace.inner.VertexPointer(size, type, stride, ptr);
}
void TrTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    WriteInts(GlTraceOp::kTexCoordPointer, {size, static_cast<int32_t>(type), stride});
    g_trace.texCoordPointer = static_cast<const uint8_t*>(ptr);
    g_trace.inner.TexCoordPointer(size, type, stride, ptr);
}
void TrColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    WriteInts(GlTraceOp::kColorPointer, {size, static_cast<int32_t>(type), stride});
    g_trace.colorPointer = static_cast<const uint8_t*>(ptr);
    g_trace.inner.ColorPointer(size, type, stride, ptr);
}
void TrDrawArrays(GLenum mode, GLint first, GLsizei count) {
    WriteDrawHeader(GlTraceOp::kDrawArrays, static_cast<int32_t>(mode), first, count);
    WriteVertices(first, count);
    g_trace.inner.DrawArrays(mode, first, count);
}
void TrDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    WriteDrawHeader(GlTraceOp::kDrawElements, static_cast<int32_t>(mode), count,
                    static_cast<int32_t>(type));
    // The renderer draws with 16-bit indices only; other index types are passed on untraced.
    if (type == GL_UNSIGNED_SHORT && indices && count > 0) {
        const auto* idx = static_cast<const GLushort*>(indices);
        GLushort highest = 0;
        for (GLsizei i = 0; i < count; ++i) highest = idx[i] > highest ? idx[i] : highest;
        WriteVertices(0, highest + 1);
        WriteBlob(indices, static_cast<size_t>(count) * sizeof(GLushort));
    } else {
        WriteBlob(nullptr, 0);
        WriteBlob(nullptr, 0);
    }
    g_trace.inner.DrawElements(mode, count, type, indices);
}
void TrBindTexture(GLenum target, GLuint texture) {
    WriteInts(GlTraceOp::kBindTexture,
              {static_cast<int32_t>(target), static_cast<int32_t>(texture)});
    g_trace.inner.BindTexture(target, texture);
}
void TrGenTextures(GLsizei n, GLuint* textures) {
    g_trace.inner.GenTextures(n, textures);
    WriteInts(GlTraceOp::kGenTextures, {n});
    WriteBlob(textures, n > 0 ? static_cast<size_t>(n) * sizeof(GLuint) : 0);
}
void TrDeleteTextures(GLsizei n, const GLuint* textures) {
    WriteInts(GlTraceOp::kDeleteTextures, {n});
    WriteBlob(textures, n > 0 ? static_cast<size_t>(n) * sizeof(GLuint) : 0);
    g_trace.inner.DeleteTextures(n, textures);
}
void WriteUpload(GlTraceOp op, std::initializer_list<int32_t> args, int width, int height,
                 GLenum format, const GLvoid* pixels) {
    WriteOp(op);
    for (const int32_t v : args) WriteInt(v);
    WriteInt(pixels != nullptr);
    WriteBlob(pixels, pixels ? UploadBytes(width, height, format) : 0);
}
void TrTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    WriteUpload(GlTraceOp::kTexImage2D,
                {static_cast<int32_t>(target), level, internalFormat, width, height, border,
                 static_cast<int32_t>(format), static_cast<int32_t>(type)},
                width, height, format, pixels);
    g_trace.inner.TexImage2D(target, level, internalFormat, width, height, border, format, type,
                             pixels);
}
void TrTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                     GLenum format, GLenum type, const GLvoid* pixels) {
    WriteUpload(GlTraceOp::kTexSubImage2D,
                {static_cast<int32_t>(target), level, x, y, width, height,
                 static_cast<int32_t>(format), static_cast<int32_t>(type)},
                width, height, format, pixels);
    g_trace.inner.TexSubImage2D(target, level, x, y, width, height, format, type, pixels);
}
void TrTexParameteri(GLenum target, GLenum pname, GLint param) {
    WriteInts(GlTraceOp::kTexParameteri,
              {static_cast<int32_t>(target), static_cast<int32_t>(pname), param});
    g_trace.inner.TexParameteri(target, pname, param);
}
void TrReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                  GLvoid* pixels) {
    WriteInts(GlTraceOp::kReadPixels,
              {x, y, w, h, static_cast<int32_t>(format), static_cast<int32_t>(type)});
    g_trace.inner.ReadPixels(x, y, w, h, format, type, pixels);
}
void TrPixelStorei(GLenum pname, GLint param) {
    WriteInts(GlTraceOp::kPixelStorei, {static_cast<int32_t>(pname), param});
    if (pname == GL_UNPACK_ALIGNMENT) g_trace.unpackAlignment = param;
    g_trace.inner.PixelStorei(pname, param);
}
GLenum TrGetError() {
    WriteOp(GlTraceOp::kGetError);
    return g_trace.inner.GetError();
}

GlTable TracingTable() {
    GlTable t;
#define VEXMO_USE_TRACER(name) t.name = &Tr##name;
    VEXMO_GL_ENTRY_POINTS(VEXMO_USE_TRACER)
#undef VEXMO_USE_TRACER
    return t;
}

}  // namespace

bool StartGlTrace(const std::string& path, const GlTable& inner, GlTable* traced) {
    StopGlTrace();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    // Large writes: a crowded frame carries a few hundred kilobytes of vertices.
    std::setvbuf(file, nullptr, _IOFBF, 4 << 20);
    std::fwrite(kGlTraceMagic, 1, 8, file);
    g_trace = TraceState{};
    g_trace.file = file;
    g_trace.inner = inner;
    *traced = TracingTable();
    static bool closesAtExit = false;
    if (!closesAtExit) {
        closesAtExit = true;
        std::atexit(StopGlTrace);
    }
    return true;
}

void GlTraceFrameEnd() {
    if (g_trace.file) WriteOp(GlTraceOp::kFrameEnd);
}

void StopGlTrace() {
    if (!g_trace.file) return;
    std::fclose(g_trace.file);
    g_trace.file = nullptr;
}

bool GlTraceActive() {
    return g_trace.file != nullptr;
}

GlTable InitialGlTable() {
    const GlTable real = RealGlTable();
    const char* path = std::getenv("VEXMO_GL_TRACE");
    if (!path || !*path) return real;
    GlTable traced;
    if (!StartGlTrace(path, real, &traced)) {
        ConsoleErrorLine(std::string("GL trace: cannot write ") + path);
        return real;
    }
    return traced;
}

GlTraceReader::GlTraceReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (!file_) return;
    std::setvbuf(file_, nullptr, _IOFBF, 4 << 20);
    char magic[8];
    valid_ = std::fread(magic, 1, 8, file_) == 8 && std::memcmp(magic, kGlTraceMagic, 8) == 0;
}

GlTraceReader::~GlTraceReader() {
    if (file_) std::fclose(file_);
}

bool GlTraceReader::ReadInts(int n, GlTraceCall* call) {
    call->ints.resize(static_cast<size_t>(n));
    return n == 0 ||
           std::fread(call->ints.data(), sizeof(int32_t), n, file_) == static_cast<size_t>(n);
}

bool GlTraceReader::ReadReals(int n, GlTraceCall* call) {
    call->reals.resize(static_cast<size_t>(n));
    return n == 0 ||
           std::fread(call->reals.data(), sizeof(double), n, file_) == static_cast<size_t>(n);
}

bool GlTraceReader::ReadBlob(std::vector<uint8_t>* out) {
    uint32_t length = 0;
    if (std::fread(&length, sizeof length, 1, file_) != 1 || length > kMaxBlob) return false;
    out->resize(length);
    return length == 0 || std::fread(out->data(), 1, length, file_) == length;
}

bool GlTraceReader::Next(GlTraceCall* call) {
    if (!Valid()) return false;
    uint8_t byte = 0;
    OpShape shape{};
    if (std::fread(&byte, 1, 1, file_) != 1 || !ShapeOf(static_cast<GlTraceOp>(byte), &shape)) {
        valid_ = false;
        return false;
    }
    call->op = static_cast<GlTraceOp>(byte);
    call->data.clear();
    call->indices.clear();
    bool ok = ReadInts(shape.ints, call) && ReadReals(shape.reals, call);
    if (ok && shape.blobs >= 1) ok = ReadBlob(&call->data);
    if (ok && shape.blobs >= 2) ok = ReadBlob(&call->indices);
    if (!ok) valid_ = false;
    return ok;
}
