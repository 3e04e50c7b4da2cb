// How GL lays out the bytes of a texture upload: each row holds width texels of the format's
// components and is padded up to the unpack alignment.
#pragma once

#include <GL/gl.h>

#include <cstddef>

inline int BytesPerTexel(GLenum format) {
    switch (format) {
        case GL_LUMINANCE:
        case GL_ALPHA:
            return 1;
        case GL_LUMINANCE_ALPHA:
            return 2;
        case GL_RGB:
            return 3;
        default:
            return 4;
    }
}

inline size_t UploadRowBytes(int width, GLenum format) {
    return static_cast<size_t>(width) * BytesPerTexel(format);
}

// Distance between the starts of two rows; an alignment below 1 counts as 1.
inline size_t UploadRowStride(int width, GLenum format, int unpackAlignment) {
    const size_t align = static_cast<size_t>(unpackAlignment > 0 ? unpackAlignment : 1);
    return (UploadRowBytes(width, format) + align - 1) / align * align;
}
