#include "graphics/surface.h"

#include <stb_image.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/gl_table.h"
#include "platform/asset_report.h"
#include "platform/data_path.h"
#include "runtime/errors.h"

namespace {

// Blending uses GL_ONE as the source factor, so colours must already carry their alpha.
void Premultiply(unsigned char* data, int pixels, int depth) {
    if (!data) return;
    if (depth == 2) {
        for (int i = 0; i < pixels; ++i) {
            unsigned char* p = data + i * 2;
            p[0] = static_cast<unsigned char>(p[0] * p[1] / 255);
        }
    } else if (depth == 4) {
        for (int i = 0; i < pixels; ++i) {
            unsigned char* p = data + i * 4;
            const unsigned a = p[3];
            p[0] = static_cast<unsigned char>(p[0] * a / 255);
            p[1] = static_cast<unsigned char>(p[1] * a / 255);
            p[2] = static_cast<unsigned char>(p[2] * a / 255);
        }
    }
}

GLenum FormatForDepth(int depth) {
    switch (depth) {
        case 1:
            return GL_LUMINANCE;
        case 2:
            return GL_LUMINANCE_ALPHA;
        case 3:
            return GL_RGB;
        case 4:
            return GL_RGBA;
        default:
            // stb_image never yields another depth and CreateSurface asks for 4: a different
            // value means the surface was corrupted.
            std::exit(-1);
    }
}

// A stale error from an unrelated earlier call must not look like a refused texture.
void DiscardStaleGlErrors() {
    for (int i = 0; i < 32 && Gl().GetError() != GL_NO_ERROR; ++i) {
    }
}

bool AllocateTexture(GLenum format, int width, int height) {
    Gl().TexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format,
                    GL_UNSIGNED_BYTE, nullptr);
    return Gl().GetError() == GL_NO_ERROR;
}

std::string ImageDecodeFailure() {
    const char* why = stbi_failure_reason();
    return std::string("not a picture that can be decoded (") + (why ? why : "unknown") + ")";
}

}  // namespace

gxtkSurface::gxtkSurface(unsigned char* data, int width, int height, int depth)
    : data(data), width(width), height(height), depth(depth) {}

gxtkSurface::~gxtkSurface() {
    gxtkSurface::Discard();
}

void gxtkSurface::SetData(unsigned char* newData, int newWidth, int newHeight, int newDepth) {
    data = newData;
    width = newWidth;
    height = newHeight;
    depth = newDepth;
}

int gxtkSurface::Discard() {
    if (texture != 0) {
        Gl().DeleteTextures(1, &texture);
        texture = 0;
    }
    if (data) {
        unloadImage(data);
        data = nullptr;
    }
    return 0;
}

bool gxtkSurface::OnUnsafeLoadComplete() {
    const GLenum format = FormatForDepth(depth);
    Premultiply(data, width * height, depth);

    const GlTable& gl = Gl();
    gl.GenTextures(1, &texture);
    gl.BindTexture(GL_TEXTURE_2D, texture);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    DiscardStaleGlErrors();
    int texWidth = width;
    int texHeight = height;
    if (!AllocateTexture(format, texWidth, texHeight)) {
        // Older GLs only take power-of-two textures; the picture then sits in the top-left.
        texWidth = Pow2Size(width);
        texHeight = Pow2Size(height);
        if (!AllocateTexture(format, texWidth, texHeight)) {
            unloadImage(data);
            data = nullptr;
            return false;
        }
    }
    if (data) {
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, data);
    }
    uscale = texWidth > 0 ? 1.0f / static_cast<float>(texWidth) : 0.0f;
    vscale = texHeight > 0 ? 1.0f / static_cast<float>(texHeight) : 0.0f;
    unloadImage(data);
    data = nullptr;
    return true;
}

bool ImageSizeAllowed(const String& name, int width, int height) {
    const int64_t texels = static_cast<int64_t>(width) * height;
    if (texels <= kMaxImageTexels) return true;
    Print(T("Image too large: ") + name + T(" is ") + String(width) + T(" x ") + String(height) +
          T(" texels, more than ") + String(kMaxImageSide) + T(" x ") + String(kMaxImageSide));
    return false;
}

namespace {

// What stb_image read of a header allows a decode: at least one texel (stb_image accepts a PNM
// header of width 0, giving a picture nothing could be drawn from) and no more than the limit.
bool HeaderAllowsDecoding(const String& name, bool read, int width, int height) {
    if (!read || width <= 0 || height <= 0) return false;
    return ImageSizeAllowed(name, width, height);
}

}  // namespace

unsigned char* loadImage(String path, int* width, int* height, int* depth) {
    FileRefusal refusal;
    FILE* file = OpenDataFile(path, kMaxPictureFileBytes, &refusal);
    if (!file) {
        ReportAssetFailure(path, refusal.reason);
        return nullptr;
    }
    // The header alone says how much the decode would allocate; stbi_info_from_file puts the
    // file position back where it was.
    int headerWidth = 0, headerHeight = 0, headerDepth = 0;
    unsigned char* pixels = nullptr;
    const bool read = stbi_info_from_file(file, &headerWidth, &headerHeight, &headerDepth) != 0;
    const bool allowed = HeaderAllowsDecoding(path, read, headerWidth, headerHeight);
    if (allowed) pixels = stbi_load_from_file(file, width, height, depth, 0);
    std::fclose(file);
    // A picture refused for its size has been named with its size already.
    const bool tooLarge = read && headerWidth > 0 && headerHeight > 0 && !allowed;
    if (!pixels && !tooLarge) {
        const bool empty = read && (headerWidth <= 0 || headerHeight <= 0);
        ReportAssetFailure(path,
                           empty ? std::string("a picture with no texels") : ImageDecodeFailure());
    }
    return pixels;
}

unsigned char* loadImage(const unsigned char* bytes, int length, int* width, int* height,
                         int* depth) {
    if (!bytes || length <= 0) return nullptr;
    int headerWidth = 0, headerHeight = 0, headerDepth = 0;
    const bool read =
        stbi_info_from_memory(bytes, length, &headerWidth, &headerHeight, &headerDepth) != 0;
    if (!HeaderAllowsDecoding(T("an image in memory"), read, headerWidth, headerHeight)) {
        return nullptr;
    }
    return stbi_load_from_memory(bytes, length, width, height, depth, 0);
}

void unloadImage(unsigned char* pixels) {
    if (pixels) stbi_image_free(pixels);
}

int Pow2Size(int n) {
    int size = 1;
    while (size < n && size < (1 << 30)) size *= 2;
    return size;
}
