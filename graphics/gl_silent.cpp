#include "graphics/gl_silent.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// Plain functions rather than lambdas, so profiles name each call.
GLuint g_nextTexture = 1;
void NoClear(GLbitfield) {}
void NoClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void NoCap(GLenum) {}
void NoBlendFunc(GLenum, GLenum) {}
void NoRect(GLint, GLint, GLsizei, GLsizei) {}
void NoOrtho(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}
void NoLoadIdentity() {}
void NoPointer(GLint, GLenum, GLsizei, const GLvoid*) {}
void NoDrawArrays(GLenum, GLint, GLsizei) {}
void NoDrawElements(GLenum, GLsizei, GLenum, const GLvoid*) {}
void NoBindTexture(GLenum, GLuint) {}
void NameTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) textures[i] = g_nextTexture++;
}
void NoDeleteTextures(GLsizei, const GLuint*) {}
void NoTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*) {}
void NoTexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, const GLvoid*) {
}
void NoTexParameteri(GLenum, GLenum, GLint) {}
void BlackReadPixels(GLint, GLint, GLsizei w, GLsizei h, GLenum, GLenum, GLvoid* pixels) {
    if (w > 0 && h > 0) std::fill_n(static_cast<uint8_t*>(pixels), size_t(w) * h * 4, 0);
}
void NoPixelStorei(GLenum, GLint) {}
GLenum NoError() {
    return GL_NO_ERROR;
}

}  // namespace

GlTable SilentGlTable() {
    GlTable t;
    t.Clear = NoClear;
    t.ClearColor = NoClearColor;
    t.Enable = NoCap;
    t.Disable = NoCap;
    t.BlendFunc = NoBlendFunc;
    t.Scissor = NoRect;
    t.Viewport = NoRect;
    t.MatrixMode = NoCap;
    t.LoadIdentity = NoLoadIdentity;
    t.Ortho = NoOrtho;
    t.EnableClientState = NoCap;
    t.VertexPointer = NoPointer;
    t.TexCoordPointer = NoPointer;
    t.ColorPointer = NoPointer;
    t.DrawArrays = NoDrawArrays;
    t.DrawElements = NoDrawElements;
    t.BindTexture = NoBindTexture;
    t.GenTextures = NameTextures;
    t.DeleteTextures = NoDeleteTextures;
    t.TexImage2D = NoTexImage2D;
    t.TexSubImage2D = NoTexSubImage2D;
    t.TexParameteri = NoTexParameteri;
    t.ReadPixels = BlackReadPixels;
    t.PixelStorei = NoPixelStorei;
    t.GetError = NoError;
    return t;
}
