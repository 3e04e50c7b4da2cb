#include "graphics/gl_bgra.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "graphics/gl_upload_layout.h"

namespace {

// One wrapped table per program: the functions in a GlTable carry no context pointer.
GlTable g_inner{};
int g_unpackAlignment = 4;

void SwapRedAndBlue(uint8_t* pixel) {
    std::swap(pixel[0], pixel[2]);
}

// The upload's rows as RGBA, kept at the row stride the caller's unpack alignment gives them.
std::vector<uint8_t> AsRgba(int width, int height, const GLvoid* pixels) {
    const size_t stride = UploadRowStride(width, GL_RGBA, g_unpackAlignment);
    const auto* src = static_cast<const uint8_t*>(pixels);
    std::vector<uint8_t> copy(src, src + stride * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) {
        uint8_t* line = copy.data() + stride * row;
        for (int x = 0; x < width; ++x) SwapRedAndBlue(line + 4 * x);
    }
    return copy;
}

void TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    if (format != GL_BGRA) {
        g_inner.TexImage2D(target, level, internalFormat, width, height, border, format, type,
                           pixels);
        return;
    }
    const GLint internal = internalFormat == GL_BGRA ? GL_RGBA : internalFormat;
    if (!pixels || type != GL_UNSIGNED_BYTE || width <= 0 || height <= 0) {
        g_inner.TexImage2D(target, level, internal, width, height, border, GL_RGBA, type, pixels);
        return;
    }
    const std::vector<uint8_t> rgba = AsRgba(width, height, pixels);
    g_inner.TexImage2D(target, level, internal, width, height, border, GL_RGBA, type, rgba.data());
}

void TexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                   GLenum format, GLenum type, const GLvoid* pixels) {
    if (format != GL_BGRA || !pixels || type != GL_UNSIGNED_BYTE || width <= 0 || height <= 0) {
        g_inner.TexSubImage2D(target, level, x, y, width, height,
                              format == GL_BGRA ? GL_RGBA : format, type, pixels);
        return;
    }
    const std::vector<uint8_t> rgba = AsRgba(width, height, pixels);
    g_inner.TexSubImage2D(target, level, x, y, width, height, GL_RGBA, type, rgba.data());
}

void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                GLvoid* pixels) {
    if (format != GL_BGRA) {
        g_inner.ReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    g_inner.ReadPixels(x, y, width, height, GL_RGBA, type, pixels);
    if (!pixels || type != GL_UNSIGNED_BYTE || width <= 0 || height <= 0) return;
    // Four-byte pixels fill whole rows at any pack alignment up to 4, which the renderer keeps.
    auto* bytes = static_cast<uint8_t*>(pixels);
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i) SwapRedAndBlue(bytes + 4 * i);
}

void PixelStorei(GLenum pname, GLint param) {
    if (pname == GL_UNPACK_ALIGNMENT) g_unpackAlignment = param;
    g_inner.PixelStorei(pname, param);
}

}  // namespace

GlTable BgraThroughRgba(const GlTable& inner) {
    g_inner = inner;
    GlTable table = inner;
    table.TexImage2D = TexImage2D;
    table.TexSubImage2D = TexSubImage2D;
    table.ReadPixels = ReadPixels;
    table.PixelStorei = PixelStorei;
    return table;
}
