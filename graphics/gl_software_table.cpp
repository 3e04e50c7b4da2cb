#include "graphics/gl_software_table.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct SoftwareGl {
    std::unique_ptr<GlSoftwareTarget> target;
    const uint8_t* vertexPointer = nullptr;
    int vertexStride = 0;
    const uint8_t* texCoordPointer = nullptr;
    const uint8_t* colorPointer = nullptr;
    GLuint nextTexture = 1;
    int unpackAlignment = 4;
    std::vector<GlVertexRecord> vertices;  // reused by every draw
};

SoftwareGl& State() {
    static SoftwareGl state;
    return state;
}

GlVertexRecord ReadVertex(const SoftwareGl& s, int i) {
    const int stride = s.vertexStride ? s.vertexStride : 8;
    GlVertexRecord v{};
    std::memcpy(&v.x, s.vertexPointer + i * stride, 4);
    std::memcpy(&v.y, s.vertexPointer + i * stride + 4, 4);
    if (s.texCoordPointer) {
        std::memcpy(&v.u, s.texCoordPointer + i * stride, 4);
        std::memcpy(&v.v, s.texCoordPointer + i * stride + 4, 4);
    }
    if (s.colorPointer) std::memcpy(&v.color, s.colorPointer + i * stride, 4);
    return v;
}

GlSoftwareTarget* Target() {
    return State().target.get();
}

void SwClear(GLbitfield mask) {
    if (Target() && (mask & GL_COLOR_BUFFER_BIT)) Target()->Clear();
}
void SwClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    if (Target()) Target()->ClearColor(r, g, b, a);
}
void SwEnable(GLenum cap) {
    if (Target()) Target()->SetCap(cap, true);
}
void SwDisable(GLenum cap) {
    if (Target()) Target()->SetCap(cap, false);
}
void SwBlendFunc(GLenum s, GLenum d) {
    if (Target()) Target()->BlendFunc(s, d);
}
void SwScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    if (Target()) Target()->Scissor(x, y, w, h);
}
void SwViewport(GLint, GLint, GLsizei, GLsizei) {}
void SwMatrixMode(GLenum) {}
void SwLoadIdentity() {}
void SwOrtho(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}
void SwEnableClientState(GLenum) {}
void SwVertexPointer(GLint, GLenum, GLsizei stride, const GLvoid* ptr) {
    State().vertexPointer = static_cast<const uint8_t*>(ptr);
    State().vertexStride = stride;
}
void SwTexCoordPointer(GLint, GLenum, GLsizei, const GLvoid* ptr) {
    State().texCoordPointer = static_cast<const uint8_t*>(ptr);
}
void SwColorPointer(GLint, GLenum, GLsizei, const GLvoid* ptr) {
    State().colorPointer = static_cast<const uint8_t*>(ptr);
}
void SwDrawArrays(GLenum mode, GLint first, GLsizei count) {
    SoftwareGl& s = State();
    if (!s.target || !s.vertexPointer || count <= 0) return;
    s.vertices.clear();
    for (int i = first; i < first + count; ++i) s.vertices.push_back(ReadVertex(s, i));
    s.target->Draw(mode, s.vertices);
}
void SwDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    SoftwareGl& s = State();
    if (!s.target || !s.vertexPointer || type != GL_UNSIGNED_SHORT || !indices || count <= 0) {
        return;
    }
    const auto* idx = static_cast<const GLushort*>(indices);
    s.vertices.clear();
    for (int i = 0; i < count; ++i) s.vertices.push_back(ReadVertex(s, idx[i]));
    s.target->Draw(mode, s.vertices);
}
void SwBindTexture(GLenum, GLuint texture) {
    if (Target()) Target()->BindTexture(texture);
}
void SwGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) textures[i] = State().nextTexture++;
}
void SwDeleteTextures(GLsizei n, const GLuint* textures) {
    if (!Target()) return;
    for (GLsizei i = 0; i < n; ++i) Target()->DeleteTexture(textures[i]);
}
void SwTexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum format, GLenum,
                  const GLvoid* pixels) {
    if (!Target()) return;
    Target()->AllocateTexture(width, height);
    Target()->UploadTexture(0, 0, width, height, format, static_cast<const uint8_t*>(pixels),
                            State().unpackAlignment);
}
void SwTexSubImage2D(GLenum, GLint, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                     GLenum, const GLvoid* pixels) {
    if (!Target()) return;
    Target()->UploadTexture(x, y, width, height, format, static_cast<const uint8_t*>(pixels),
                            State().unpackAlignment);
}
void SwTexParameteri(GLenum, GLenum, GLint) {}
void SwReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum,
                  GLvoid* pixels) {
    if (width <= 0 || height <= 0) return;
    auto* out = static_cast<uint8_t*>(pixels);
    if (Target()) {
        Target()->Read(x, y, width, height, format, out);
    } else {
        std::memset(out, 0, static_cast<size_t>(width) * height * 4);
    }
}
void SwPixelStorei(GLenum pname, GLint param) {
    if (pname == GL_UNPACK_ALIGNMENT) State().unpackAlignment = param;
}
GLenum SwGetError() {
    return GL_NO_ERROR;
}

}  // namespace

GlTable InstallSoftwareGl(int width, int height) {
    const GlTable previous = Gl();
    SoftwareGl& s = State();
    s = SoftwareGl();
    s.target = std::make_unique<GlSoftwareTarget>(std::max(1, width), std::max(1, height));
    GlTable t;
#define VEXMO_USE_SOFTWARE(name) t.name = &Sw##name;
    VEXMO_GL_ENTRY_POINTS(VEXMO_USE_SOFTWARE)
#undef VEXMO_USE_SOFTWARE
    SetGlTable(t);
    return previous;
}

void RemoveSoftwareGl() {
    State() = SoftwareGl();
}

void LimitSoftwareGl(int width, int height) {
    if (Target()) Target()->LimitRaster(width, height);
}
