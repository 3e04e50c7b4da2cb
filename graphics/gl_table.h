// The renderer reaches OpenGL only through this table of function pointers, so the whole drawing
// path can run without a GL context: tests install a GlRecorder, which logs every call (with the
// vertices each draw call would draw and the bytes each upload would send) and fakes texture
// names, errors and read-back.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/gl_software.h"

// Exactly the GL 1.x entry points the renderer and surfaces call.
struct GlTable {
    void (*Clear)(GLbitfield mask);
    void (*ClearColor)(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
    void (*Enable)(GLenum cap);
    void (*Disable)(GLenum cap);
    void (*BlendFunc)(GLenum sfactor, GLenum dfactor);
    void (*Scissor)(GLint x, GLint y, GLsizei width, GLsizei height);
    void (*Viewport)(GLint x, GLint y, GLsizei width, GLsizei height);
    void (*MatrixMode)(GLenum mode);
    void (*LoadIdentity)();
    void (*Ortho)(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                  GLdouble zFar);
    void (*EnableClientState)(GLenum array);
    void (*VertexPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr);
    void (*TexCoordPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr);
    void (*ColorPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr);
    void (*DrawArrays)(GLenum mode, GLint first, GLsizei count);
    void (*DrawElements)(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices);
    void (*BindTexture)(GLenum target, GLuint texture);
    void (*GenTextures)(GLsizei n, GLuint* textures);
    void (*DeleteTextures)(GLsizei n, const GLuint* textures);
    void (*TexImage2D)(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                       GLsizei height, GLint border, GLenum format, GLenum type,
                       const GLvoid* pixels);
    void (*TexSubImage2D)(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,
                          GLsizei height, GLenum format, GLenum type, const GLvoid* pixels);
    void (*TexParameteri)(GLenum target, GLenum pname, GLint param);
    void (*ReadPixels)(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                       GLvoid* pixels);
    void (*PixelStorei)(GLenum pname, GLint param);
    GLenum (*GetError)();
};

// Every entry point of the table, in order. A table whose functions share one naming pattern is
// filled from this list, so adding an entry point cannot leave a table with an empty slot.
#define VEXMO_GL_ENTRY_POINTS(X) \
    X(Clear)                     \
    X(ClearColor)                \
    X(Enable)                    \
    X(Disable)                   \
    X(BlendFunc)                 \
    X(Scissor)                   \
    X(Viewport)                  \
    X(MatrixMode)                \
    X(LoadIdentity)              \
    X(Ortho)                     \
    X(EnableClientState)         \
    X(VertexPointer)             \
    X(TexCoordPointer)           \
    X(ColorPointer)              \
    X(DrawArrays)                \
    X(DrawElements)              \
    X(BindTexture)               \
    X(GenTextures)               \
    X(DeleteTextures)            \
    X(TexImage2D)                \
    X(TexSubImage2D)             \
    X(TexParameteri)             \
    X(ReadPixels)                \
    X(PixelStorei)               \
    X(GetError)

// The table that calls the system's OpenGL library.
GlTable RealGlTable();

// The active table. Until SetGlTable is called it is the real one.
const GlTable& Gl();
void SetGlTable(const GlTable& table);

// One vertex as the renderer lays it out: 20 bytes, colour bytes R, G, B, A in memory order.
struct GlVertexRecord {
    float x, y, u, v;
    uint32_t color;
};

struct GlCall {
    std::string name;          // "glDrawArrays", "glScissor", ...
    std::vector<double> args;  // the numeric arguments in call order (pointers left out)
    // Draw calls: the vertices the call reads, in array order (for glDrawElements, all vertices
    // up to the highest index used).
    std::vector<GlVertexRecord> vertices;
    // glTexImage2D / glTexSubImage2D with pixels: the uploaded bytes.
    std::vector<uint8_t> pixels;
};

// Installs a recording table for its lifetime (restoring the previous table afterwards).
// Recorders nest: the innermost one receives the calls.
class GlRecorder {
public:
    GlRecorder();
    ~GlRecorder();
    GlRecorder(const GlRecorder&) = delete;
    GlRecorder& operator=(const GlRecorder&) = delete;

    static GlRecorder* Active();

    std::vector<GlCall> calls;

    // When set and returning true for the requested size, glTexImage2D fails: nothing is
    // allocated and the next glGetError reports GL_OUT_OF_MEMORY.
    std::function<bool(int width, int height)> rejectTexImage;
    // Errors glGetError will report, oldest first.
    std::deque<GLenum> pendingErrors;
    // Supplies the frame buffer to glReadPixels as rows bottom-first, 4 bytes per pixel in the
    // requested format. When unset, glReadPixels reads the software frame buffer if there is
    // one, and zero bytes otherwise.
    std::function<void(int x, int y, int width, int height, uint8_t* out)> frameBuffer;
    // From now on also draws every call into a software frame buffer of the given size (the
    // window's), so read-back returns real pixels. Textures uploaded before this are unknown to
    // it: enable it before loading images.
    GlSoftwareTarget& EnableSoftwareRaster(int width, int height);
    GlSoftwareTarget* Software() { return software_.get(); }
    // Off: calls are still logged, but without copies of vertices and uploaded pixels (for
    // timing the processor side of drawing).
    bool captureData = true;

    size_t Count(const std::string& name) const;
    std::vector<GlCall> Named(const std::string& name) const;
    // glDrawArrays and glDrawElements calls, in order.
    std::vector<GlCall> DrawCalls() const;
    std::vector<std::string> Names() const;
    void Clear() { calls.clear(); }

    // Recording state the thunks need between calls.
    const uint8_t* vertexPointer = nullptr;
    int vertexStride = 0;
    const uint8_t* texCoordPointer = nullptr;
    const uint8_t* colorPointer = nullptr;
    GLuint nextTexture = 1;

private:
    std::unique_ptr<GlSoftwareTarget> software_;
    GlRecorder* previousRecorder_;
    GlTable previousTable_;
};

// The recording table itself; its calls go to GlRecorder::Active() and are dropped when none is.
GlTable RecordingGlTable();
