#include "graphics/gl_table.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "graphics/gl_trace.h"
#include "graphics/gl_upload_layout.h"
#include "graphics/gl_webgl.h"

namespace {

GlTable& ActiveTable() {
    // The real table, unless a GL trace was asked for (then it wraps the real one).
    static GlTable table = InitialGlTable();
    return table;
}

GlRecorder* g_activeRecorder = nullptr;
int g_unpackAlignment = 4;

void Log(const char* name, std::initializer_list<double> args) {
    if (GlRecorder* rec = GlRecorder::Active()) {
        GlCall call;
        call.name = name;
        call.args.assign(args.begin(), args.end());
        rec->calls.push_back(std::move(call));
    }
}

GlCall* LastCall() {
    GlRecorder* rec = GlRecorder::Active();
    return rec && !rec->calls.empty() ? &rec->calls.back() : nullptr;
}

// Copies an upload the way GL would read it: rows padded to the unpack alignment.
void CapturePixels(GlCall* call, int width, int height, GLenum format, const GLvoid* pixels) {
    if (!call || !pixels || width <= 0 || height <= 0) return;
    if (!GlRecorder::Active()->captureData) return;
    const size_t rowBytes = UploadRowBytes(width, format);
    const size_t stride = UploadRowStride(width, format, g_unpackAlignment);
    const auto* src = static_cast<const uint8_t*>(pixels);
    call->pixels.resize(rowBytes * height);
    for (int row = 0; row < height; ++row) {
        std::memcpy(call->pixels.data() + row * rowBytes, src + row * stride, rowBytes);
    }
}

GlVertexRecord ReadVertex(const GlRecorder& rec, int i) {
    const int stride = rec.vertexStride ? rec.vertexStride : 8;
    GlVertexRecord v{};
    std::memcpy(&v.x, rec.vertexPointer + i * stride, 4);
    std::memcpy(&v.y, rec.vertexPointer + i * stride + 4, 4);
    if (rec.texCoordPointer) {
        std::memcpy(&v.u, rec.texCoordPointer + i * stride, 4);
        std::memcpy(&v.v, rec.texCoordPointer + i * stride + 4, 4);
    }
    if (rec.colorPointer) std::memcpy(&v.color, rec.colorPointer + i * stride, 4);
    return v;
}

void CaptureVertices(GlCall* call, int first, int count) {
    GlRecorder* rec = GlRecorder::Active();
    if (!call || !rec || !rec->captureData || !rec->vertexPointer || count <= 0) return;
    for (int i = first; i < first + count; ++i) call->vertices.push_back(ReadVertex(*rec, i));
}

GlSoftwareTarget* Software() {
    GlRecorder* rec = GlRecorder::Active();
    return rec ? rec->Software() : nullptr;
}

// Hands a draw call to the software frame buffer, vertices in the order GL would take them.
void RasterDraw(GLenum mode, const std::vector<int>& order) {
    GlSoftwareTarget* sw = Software();
    GlRecorder* rec = GlRecorder::Active();
    if (!sw || !rec->vertexPointer) return;
    std::vector<GlVertexRecord> vertices;
    vertices.reserve(order.size());
    for (int i : order) vertices.push_back(ReadVertex(*rec, i));
    sw->Draw(mode, vertices);
}

void RecClear(GLbitfield mask) {
    Log("glClear", {double(mask)});
    if (GlSoftwareTarget* sw = Software(); sw && (mask & GL_COLOR_BUFFER_BIT)) sw->Clear();
}
void RecClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    Log("glClearColor", {r, g, b, a});
    if (GlSoftwareTarget* sw = Software()) sw->ClearColor(r, g, b, a);
}
void RecEnable(GLenum cap) {
    Log("glEnable", {double(cap)});
    if (GlSoftwareTarget* sw = Software()) sw->SetCap(cap, true);
}
void RecDisable(GLenum cap) {
    Log("glDisable", {double(cap)});
    if (GlSoftwareTarget* sw = Software()) sw->SetCap(cap, false);
}
void RecBlendFunc(GLenum s, GLenum d) {
    Log("glBlendFunc", {double(s), double(d)});
    if (GlSoftwareTarget* sw = Software()) sw->BlendFunc(s, d);
}
void RecScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    Log("glScissor", {double(x), double(y), double(w), double(h)});
    if (GlSoftwareTarget* sw = Software()) sw->Scissor(x, y, w, h);
}
void RecViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    Log("glViewport", {double(x), double(y), double(w), double(h)});
}
void RecMatrixMode(GLenum mode) {
    Log("glMatrixMode", {double(mode)});
}
void RecLoadIdentity() {
    Log("glLoadIdentity", {});
}
void RecOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Log("glOrtho", {l, r, b, t, n, f});
}
void RecEnableClientState(GLenum array) {
    Log("glEnableClientState", {double(array)});
}
void RecVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    Log("glVertexPointer", {double(size), double(type), double(stride)});
    if (GlRecorder* rec = GlRecorder::Active()) {
        rec->vertexPointer = static_cast<const uint8_t*>(ptr);
        rec->vertexStride = stride;
    }
}
void RecTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    Log("glTexCoordPointer", {double(size), double(type), double(stride)});
    if (GlRecorder* rec = GlRecorder::Active()) {
        rec->texCoordPointer = static_cast<const uint8_t*>(ptr);
    }
}
void RecColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    Log("glColorPointer", {double(size), double(type), double(stride)});
    if (GlRecorder* rec = GlRecorder::Active()) {
        rec->colorPointer = static_cast<const uint8_t*>(ptr);
    }
}
void RecDrawArrays(GLenum mode, GLint first, GLsizei count) {
    Log("glDrawArrays", {double(mode), double(first), double(count)});
    CaptureVertices(LastCall(), first, count);
    if (Software() && count > 0) {
        std::vector<int> order(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) order[i] = first + i;
        RasterDraw(mode, order);
    }
}
void RecDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    Log("glDrawElements", {double(mode), double(count), double(type)});
    if (type != GL_UNSIGNED_SHORT || !indices || count <= 0) return;
    const auto* idx = static_cast<const GLushort*>(indices);
    const GLushort highest = *std::max_element(idx, idx + count);
    CaptureVertices(LastCall(), 0, highest + 1);
    if (Software()) RasterDraw(mode, std::vector<int>(idx, idx + count));
}
void RecBindTexture(GLenum target, GLuint texture) {
    Log("glBindTexture", {double(target), double(texture)});
    if (GlSoftwareTarget* sw = Software()) sw->BindTexture(texture);
}
void RecGenTextures(GLsizei n, GLuint* textures) {
    GlRecorder* rec = GlRecorder::Active();
    for (GLsizei i = 0; i < n; ++i) textures[i] = rec ? rec->nextTexture++ : 0;
    Log("glGenTextures", {double(n), n > 0 ? double(textures[0]) : 0.0});
}
void RecDeleteTextures(GLsizei n, const GLuint* textures) {
    Log("glDeleteTextures", {double(n), n > 0 ? double(textures[0]) : 0.0});
    if (GlSoftwareTarget* sw = Software()) {
        for (GLsizei i = 0; i < n; ++i) sw->DeleteTexture(textures[i]);
    }
}
void RecTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                   GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    Log("glTexImage2D", {double(target), double(level), double(internalFormat), double(width),
                         double(height), double(border), double(format), double(type)});
    GlRecorder* rec = GlRecorder::Active();
    if (rec && rec->rejectTexImage && rec->rejectTexImage(width, height)) {
        rec->pendingErrors.push_back(GL_OUT_OF_MEMORY);
        return;
    }
    CapturePixels(LastCall(), width, height, format, pixels);
    if (GlSoftwareTarget* sw = Software()) {
        sw->AllocateTexture(width, height);
        sw->UploadTexture(0, 0, width, height, format, static_cast<const uint8_t*>(pixels),
                          g_unpackAlignment);
    }
}
void RecTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                      GLenum format, GLenum type, const GLvoid* pixels) {
    Log("glTexSubImage2D", {double(target), double(level), double(x), double(y), double(width),
                            double(height), double(format), double(type)});
    CapturePixels(LastCall(), width, height, format, pixels);
    if (GlSoftwareTarget* sw = Software()) {
        sw->UploadTexture(x, y, width, height, format, static_cast<const uint8_t*>(pixels),
                          g_unpackAlignment);
    }
}
void RecTexParameteri(GLenum target, GLenum pname, GLint param) {
    Log("glTexParameteri", {double(target), double(pname), double(param)});
}
void RecReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                   GLvoid* pixels) {
    Log("glReadPixels",
        {double(x), double(y), double(width), double(height), double(format), double(type)});
    if (width <= 0 || height <= 0) return;
    auto* out = static_cast<uint8_t*>(pixels);
    GlRecorder* rec = GlRecorder::Active();
    if (rec && rec->frameBuffer) {
        rec->frameBuffer(x, y, width, height, out);
    } else if (GlSoftwareTarget* sw = Software()) {
        sw->Read(x, y, width, height, format, out);
    } else {
        std::memset(out, 0, static_cast<size_t>(width) * height * 4);
    }
}
void RecPixelStorei(GLenum pname, GLint param) {
    Log("glPixelStorei", {double(pname), double(param)});
    if (pname == GL_UNPACK_ALIGNMENT) g_unpackAlignment = param;
}
GLenum RecGetError() {
    GLenum err = GL_NO_ERROR;
    GlRecorder* rec = GlRecorder::Active();
    if (rec && !rec->pendingErrors.empty()) {
        err = rec->pendingErrors.front();
        rec->pendingErrors.pop_front();
    }
    Log("glGetError", {double(err)});
    return err;
}

}  // namespace

GlTable RealGlTable() {
#ifdef __EMSCRIPTEN__
    // A browser's GL is WebGL, which has none of the fixed-function entry points: the shader
    // table builds them on what it has.
    return WebGlTable();
#else
    GlTable t;
#define VEXMO_USE_GL(name) t.name = &gl##name;
    VEXMO_GL_ENTRY_POINTS(VEXMO_USE_GL)
#undef VEXMO_USE_GL
    return t;
#endif
}

GlTable RecordingGlTable() {
    GlTable t;
#define VEXMO_USE_RECORDER(name) t.name = &Rec##name;
    VEXMO_GL_ENTRY_POINTS(VEXMO_USE_RECORDER)
#undef VEXMO_USE_RECORDER
    return t;
}

const GlTable& Gl() {
    return ActiveTable();
}

void SetGlTable(const GlTable& table) {
    ActiveTable() = table;
}

GlRecorder::GlRecorder() : previousRecorder_(g_activeRecorder), previousTable_(Gl()) {
    g_activeRecorder = this;
    g_unpackAlignment = 4;
    SetGlTable(RecordingGlTable());
}

GlRecorder::~GlRecorder() {
    SetGlTable(previousTable_);
    g_activeRecorder = previousRecorder_;
}

GlRecorder* GlRecorder::Active() {
    return g_activeRecorder;
}

GlSoftwareTarget& GlRecorder::EnableSoftwareRaster(int width, int height) {
    software_ = std::make_unique<GlSoftwareTarget>(width, height);
    return *software_;
}

size_t GlRecorder::Count(const std::string& name) const {
    return static_cast<size_t>(
        std::count_if(calls.begin(), calls.end(), [&](const GlCall& c) { return c.name == name; }));
}

std::vector<GlCall> GlRecorder::Named(const std::string& name) const {
    std::vector<GlCall> out;
    for (const GlCall& c : calls) {
        if (c.name == name) out.push_back(c);
    }
    return out;
}

std::vector<GlCall> GlRecorder::DrawCalls() const {
    std::vector<GlCall> out;
    for (const GlCall& c : calls) {
        if (c.name == "glDrawArrays" || c.name == "glDrawElements") out.push_back(c);
    }
    return out;
}

std::vector<std::string> GlRecorder::Names() const {
    std::vector<std::string> out;
    out.reserve(calls.size());
    for (const GlCall& c : calls) out.push_back(c.name);
    return out;
}
