// The shader entry points are declared only when asked for before GL's header is first seen.
#define GL_GLEXT_PROTOTYPES 1
#include "graphics/gl_webgl.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "runtime/console.h"

namespace {

// The renderer's three interleaved arrays, remembered until a draw call streams them.
struct ClientArray {
    bool enabled = false;
    GLint size = 4;
    GLenum type = GL_FLOAT;
    GLsizei stride = 0;
    const uint8_t* pointer = nullptr;

    GLsizei ElementBytes() const { return size * (type == GL_UNSIGNED_BYTE ? 1 : 4); }
    GLsizei Stride() const { return stride ? stride : ElementBytes(); }
};

// Column-major, as GL keeps its matrices.
struct Matrix {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    Matrix Times(const Matrix& right) const {
        Matrix out;
        for (int col = 0; col < 4; ++col) {
            for (int row = 0; row < 4; ++row) {
                float sum = 0;
                for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * right.m[col * 4 + k];
                out.m[col * 4 + row] = sum;
            }
        }
        return out;
    }
};

enum Attribute : GLuint { kPosition = 0, kTexCoord = 1, kColor = 2 };

struct WebGlState {
    bool prepared = false;
    bool failed = false;
    GLuint program = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    GLint matrixUniform = -1;
    GLint texturedUniform = -1;

    GLenum matrixMode = GL_MODELVIEW;
    Matrix projection;
    Matrix modelView;
    bool matrixChanged = true;
    bool textured = false;
    bool texturedChanged = true;

    ClientArray vertex;
    ClientArray texCoord;
    ClientArray color;
    // Reused for swizzled uploads, so a steady frame allocates nothing.
    std::vector<uint8_t> swizzled;
};

WebGlState& State() {
    static WebGlState state;
    return state;
}

#ifdef __EMSCRIPTEN__
constexpr const char* kVertexPrelude = "#version 100\n";
// Colours are 8-bit values; high precision keeps a modulated texel rounding like the
// fixed-function pipeline's.
constexpr const char* kFragmentPrelude =
    "#version 100\n#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\n"
    "precision mediump float;\n#endif\n";
#else
// Desktop GLSL 1.20 runs the same bodies; it has no precision statements.
constexpr const char* kVertexPrelude = "#version 120\n";
constexpr const char* kFragmentPrelude = "#version 120\n";
#endif

constexpr const char* kVertexShader = R"(
uniform mat4 uMatrix;
attribute vec2 aPosition;
attribute vec2 aTexCoord;
attribute vec4 aColor;
varying vec2 vTexCoord;
varying vec4 vColor;
void main() {
    gl_Position = uMatrix * vec4(aPosition, 0.0, 1.0);
    gl_PointSize = 1.0;
    vTexCoord = aTexCoord;
    vColor = aColor;
}
)";

constexpr const char* kFragmentShader = R"(
uniform sampler2D uTexture;
uniform float uTextured;
varying vec2 vTexCoord;
varying vec4 vColor;
void main() {
    gl_FragColor = vColor * mix(vec4(1.0), texture2D(uTexture, vTexCoord), uTextured);
}
)";

GLuint CompileShader(GLenum kind, const char* body) {
    const GLuint shader = glCreateShader(kind);
    const char* parts[] = {kind == GL_VERTEX_SHADER ? kVertexPrelude : kFragmentPrelude, body};
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[512] = {};
        glGetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
        ConsoleLinef("WebGL: the %s shader does not compile: %s",
                     kind == GL_VERTEX_SHADER ? "vertex" : "fragment", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram() {
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = vertex ? CompileShader(GL_FRAGMENT_SHADER, kFragmentShader) : 0;
    if (!fragment) {
        if (vertex) glDeleteShader(vertex);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, kPosition, "aPosition");
    glBindAttribLocation(program, kTexCoord, "aTexCoord");
    glBindAttribLocation(program, kColor, "aColor");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[512] = {};
        glGetProgramInfoLog(program, sizeof log - 1, nullptr, log);
        ConsoleLinef("WebGL: the shader pair does not link: %s", log);
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

bool Ready() {
    WebGlState& s = State();
    if (s.prepared) return true;
    if (s.failed) return false;
    return PrepareWebGl();
}

// GL's glOrtho matrix.
Matrix OrthoMatrix(double left, double right, double bottom, double top, double zNear,
                   double zFar) {
    Matrix o;
    o.m[0] = static_cast<float>(2.0 / (right - left));
    o.m[5] = static_cast<float>(2.0 / (top - bottom));
    o.m[10] = static_cast<float>(-2.0 / (zFar - zNear));
    o.m[12] = static_cast<float>(-(right + left) / (right - left));
    o.m[13] = static_cast<float>(-(top + bottom) / (top - bottom));
    o.m[14] = static_cast<float>(-(zFar + zNear) / (zFar - zNear));
    return o;
}

Matrix& CurrentMatrix() {
    WebGlState& s = State();
    return s.matrixMode == GL_PROJECTION ? s.projection : s.modelView;
}

void SendUniforms() {
    WebGlState& s = State();
    if (s.matrixChanged) {
        const Matrix combined = s.projection.Times(s.modelView);
        glUniformMatrix4fv(s.matrixUniform, 1, GL_FALSE, combined.m);
        s.matrixChanged = false;
    }
    if (s.texturedChanged) {
        glUniform1f(s.texturedUniform, s.textured ? 1.0f : 0.0f);
        s.texturedChanged = false;
    }
}

// Points one attribute into the streamed block, or gives it the constant fixed-function GL uses
// when the renderer left the array off (white, texture origin).
void BindAttribute(GLuint index, const ClientArray& array, const uint8_t* base) {
    if (!array.enabled || !array.pointer) {
        glDisableVertexAttribArray(index);
        if (index == kColor) glVertexAttrib4f(index, 1, 1, 1, 1);
        if (index == kTexCoord) glVertexAttrib4f(index, 0, 0, 0, 1);
        return;
    }
    const auto offset = static_cast<uintptr_t>(array.pointer - base);
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, array.size, array.type, array.type == GL_UNSIGNED_BYTE,
                          array.Stride(), reinterpret_cast<const GLvoid*>(offset));
}

// Copies vertices 0 .. count-1 of every enabled array into the vertex buffer in one piece (the
// renderer interleaves its arrays, so the span is a single block) and points the attributes at it.
bool StreamVertices(GLsizei count) {
    WebGlState& s = State();
    if (!s.vertex.enabled || !s.vertex.pointer || count <= 0) return false;
    const uint8_t* begin = s.vertex.pointer;
    const uint8_t* end = begin;
    for (const ClientArray* array : {&s.vertex, &s.texCoord, &s.color}) {
        if (!array->enabled || !array->pointer) continue;
        begin = std::min(begin, array->pointer);
        end = std::max(end, array->pointer + (count - 1) * array->Stride() + array->ElementBytes());
    }
    glBindBuffer(GL_ARRAY_BUFFER, s.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, end - begin, begin, GL_STREAM_DRAW);
    BindAttribute(kPosition, s.vertex, begin);
    BindAttribute(kTexCoord, s.texCoord, begin);
    BindAttribute(kColor, s.color, begin);
    return true;
}

template <typename Index>
GLsizei VerticesUsed(const GLvoid* indices, GLsizei count) {
    const auto* list = static_cast<const Index*>(indices);
    Index highest = 0;
    for (GLsizei i = 0; i < count; ++i) highest = std::max(highest, list[i]);
    return static_cast<GLsizei>(highest) + 1;
}

// WebGL has no BGRA: the bytes are reordered to RGBA (rows keep their unpack padding).
const GLvoid* SwizzledUpload(GLsizei width, GLsizei height, GLenum* format, const GLvoid* pixels) {
    if (*format != GL_BGRA) return pixels;
    *format = GL_RGBA;
    if (!pixels || width <= 0 || height <= 0) return pixels;
    WebGlState& s = State();
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    s.swizzled.resize(bytes);
    const auto* src = static_cast<const uint8_t*>(pixels);
    uint8_t* dst = s.swizzled.data();
    for (size_t i = 0; i < bytes; i += 4) {
        dst[i] = src[i + 2];
        dst[i + 1] = src[i + 1];
        dst[i + 2] = src[i];
        dst[i + 3] = src[i + 3];
    }
    return dst;
}

// GLES takes only base formats, and the internal format must equal the format.
GLint BaseFormat(GLint internalFormat) {
    switch (internalFormat) {
        case GL_RGBA8:
        case GL_BGRA:
        case 4:
            return GL_RGBA;
        case GL_RGB8:
        case 3:
            return GL_RGB;
        default:
            return internalFormat;
    }
}

void WebClear(GLbitfield mask) {
    glClear(mask);
}
void WebClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    glClearColor(r, g, b, a);
}

void WebEnable(GLenum cap) {
    WebGlState& s = State();
    if (cap == GL_TEXTURE_2D) {
        s.texturedChanged |= !s.textured;
        s.textured = true;
        return;
    }
    glEnable(cap);
}

void WebDisable(GLenum cap) {
    WebGlState& s = State();
    if (cap == GL_TEXTURE_2D) {
        s.texturedChanged |= s.textured;
        s.textured = false;
        return;
    }
    glDisable(cap);
}

void WebBlendFunc(GLenum sfactor, GLenum dfactor) {
    glBlendFunc(sfactor, dfactor);
}
void WebScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    glScissor(x, y, width, height);
}
void WebViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    glViewport(x, y, width, height);
}

void WebMatrixMode(GLenum mode) {
    State().matrixMode = mode;
}

void WebLoadIdentity() {
    CurrentMatrix() = Matrix();
    State().matrixChanged = true;
}

void WebOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
              GLdouble zFar) {
    Matrix& current = CurrentMatrix();
    current = current.Times(OrthoMatrix(left, right, bottom, top, zNear, zFar));
    State().matrixChanged = true;
}

ClientArray* ArrayFor(GLenum array) {
    WebGlState& s = State();
    switch (array) {
        case GL_VERTEX_ARRAY:
            return &s.vertex;
        case GL_TEXTURE_COORD_ARRAY:
            return &s.texCoord;
        case GL_COLOR_ARRAY:
            return &s.color;
        default:
            return nullptr;
    }
}

void WebEnableClientState(GLenum array) {
    if (ClientArray* a = ArrayFor(array)) a->enabled = true;
}

void SetPointer(ClientArray* array, GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    array->size = size;
    array->type = type;
    array->stride = stride;
    array->pointer = static_cast<const uint8_t*>(ptr);
}

void WebVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    SetPointer(&State().vertex, size, type, stride, ptr);
}
void WebTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    SetPointer(&State().texCoord, size, type, stride, ptr);
}
void WebColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
    SetPointer(&State().color, size, type, stride, ptr);
}

void WebDrawArrays(GLenum mode, GLint first, GLsizei count) {
    if (count <= 0 || first < 0 || !Ready()) return;
    glUseProgram(State().program);
    SendUniforms();
    if (!StreamVertices(first + count)) return;
    glDrawArrays(mode, first, count);
}

void WebDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    if (count <= 0 || !indices || !Ready()) return;
    GLsizei used = 0;
    GLsizei indexBytes = 0;
    if (type == GL_UNSIGNED_SHORT) {
        used = VerticesUsed<uint16_t>(indices, count);
        indexBytes = count * 2;
    } else if (type == GL_UNSIGNED_BYTE) {
        used = VerticesUsed<uint8_t>(indices, count);
        indexBytes = count;
    } else {
        return;  // WebGL 1 draws only byte and short indices
    }
    WebGlState& s = State();
    glUseProgram(s.program);
    SendUniforms();
    if (!StreamVertices(used)) return;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, indices, GL_STREAM_DRAW);
    glDrawElements(mode, count, type, nullptr);
}

void WebBindTexture(GLenum target, GLuint texture) {
    glBindTexture(target, texture);
}
void WebGenTextures(GLsizei n, GLuint* textures) {
    glGenTextures(n, textures);
}
void WebDeleteTextures(GLsizei n, const GLuint* textures) {
    glDeleteTextures(n, textures);
}

void WebTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                   GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    const GLint base = BaseFormat(internalFormat);
    const GLvoid* data = SwizzledUpload(width, height, &format, pixels);
    glTexImage2D(target, level, base, width, height, border, format, type, data);
}

void WebTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,
                      GLsizei height, GLenum format, GLenum type, const GLvoid* pixels) {
    const GLvoid* data = SwizzledUpload(width, height, &format, pixels);
    glTexSubImage2D(target, level, xoffset, yoffset, width, height, format, type, data);
}

void WebTexParameteri(GLenum target, GLenum pname, GLint param) {
    glTexParameteri(target, pname, param);
}

void WebReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                   GLvoid* pixels) {
    if (format != GL_BGRA) {
        glReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    glReadPixels(x, y, width, height, GL_RGBA, type, pixels);
    if (!pixels || width <= 0 || height <= 0) return;
    auto* bytes = static_cast<uint8_t*>(pixels);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    for (size_t i = 0; i < count; i += 4) std::swap(bytes[i], bytes[i + 2]);
}

void WebPixelStorei(GLenum pname, GLint param) {
    glPixelStorei(pname, param);
}

GLenum WebGetError() {
    return glGetError();
}

}  // namespace

bool PrepareWebGl() {
    WebGlState& s = State();
    if (s.prepared) return true;
    s.program = LinkProgram();
    if (!s.program) {
        s.failed = true;
        return false;
    }
    s.matrixUniform = glGetUniformLocation(s.program, "uMatrix");
    s.texturedUniform = glGetUniformLocation(s.program, "uTextured");
    glGenBuffers(1, &s.vertexBuffer);
    glGenBuffers(1, &s.indexBuffer);
    glUseProgram(s.program);
    glUniform1i(glGetUniformLocation(s.program, "uTexture"), 0);
    s.prepared = true;
    s.matrixChanged = true;
    s.texturedChanged = true;
    return true;
}

void ReleaseWebGl() {
    WebGlState& s = State();
    if (s.prepared) {
        glUseProgram(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        for (GLuint index : {kPosition, kTexCoord, kColor}) glDisableVertexAttribArray(index);
        glDeleteBuffers(1, &s.vertexBuffer);
        glDeleteBuffers(1, &s.indexBuffer);
        glDeleteProgram(s.program);
    }
    s = WebGlState{};
}

GlTable WebGlTable() {
    GlTable t;
#define VEXMO_USE_WEBGL(name) t.name = &Web##name;
    VEXMO_GL_ENTRY_POINTS(VEXMO_USE_WEBGL)
#undef VEXMO_USE_WEBGL
    return t;
}
