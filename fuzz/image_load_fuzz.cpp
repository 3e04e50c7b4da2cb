// libFuzzer target: arbitrary bytes as an image file, through the renderer's surface loader as
// the game loads its pictures (file -> header check -> stb_image -> premultiply -> upload), on a
// GL table that does nothing except read every byte an upload would send. It traps when:
//   - a header asking for more than kMaxImageTexels gets past the loader;
//   - a loaded surface has an impossible size, depth or texture scale;
//   - the loader from memory gives an impossible picture, or another size than from a file.
// Besides, AddressSanitizer catches a read past the decoded pixels, and libFuzzer's allocation
// limit (-malloc_limit_mb) a decode that asks for more memory than the size limit allows.
#include <stb_image.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/gl_silent.h"
#include "graphics/gl_table.h"
#include "graphics/renderer.h"
#include "graphics/surface.h"
#include "runtime/gc.h"

namespace {

std::string g_imagePath;  // in a scratch folder on a memory file system

gc_ref<gxtkGraphics> g_graphics;
long long g_uploadedBytes = 0;
volatile unsigned g_sink = 0;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "image rule broken: %s\n", what);
    __builtin_trap();
}

int BytesPerPixel(GLenum format) {
    switch (format) {
        case GL_LUMINANCE:
            return 1;
        case GL_LUMINANCE_ALPHA:
            return 2;
        case GL_RGB:
            return 3;
        case GL_RGBA:
            return 4;
        default:
            return 0;
    }
}

// Reads every byte of the upload, so a short pixel buffer shows up under AddressSanitizer.
void TouchingTexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei width, GLsizei height,
                           GLenum format, GLenum, const GLvoid* pixels) {
    const long long bytes = static_cast<long long>(width) * height * BytesPerPixel(format);
    const auto* p = static_cast<const unsigned char*>(pixels);
    unsigned sum = 0;
    for (long long i = 0; i < bytes; ++i) sum += p[i];
    g_sink = sum;
    g_uploadedBytes = bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/dev/shm/vexmo-fuzz-image-XXXXXX";
    char fallback[] = "/tmp/vexmo-fuzz-image-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir) dir = mkdtemp(fallback);
    if (!dir) std::abort();
    g_imagePath = std::string(dir) + "/image";
    GlTable table = SilentGlTable();
    table.TexSubImage2D = TouchingTexSubImage2D;
    SetGlTable(table);
    gc_add_root(g_graphics);
    g_graphics = gc_new<gxtkGraphics>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(g_imagePath.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);

    int headerWidth = 0, headerHeight = 0, headerDepth = 0;
    const bool header =
        size > 0 && stbi_info_from_memory(data, static_cast<int>(size), &headerWidth, &headerHeight,
                                          &headerDepth) != 0;
    const bool tooLarge =
        header && static_cast<long long>(headerWidth) * headerHeight > kMaxImageTexels;

    g_uploadedBytes = 0;
    gxtkSurface* surface = g_graphics->LoadSurface(String(g_imagePath.c_str()));
    if (surface != nullptr) {
        const int w = surface->Width();
        const int h = surface->Height();
        if (tooLarge) Fail("a picture over the size limit was loaded");
        if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxImageTexels) Fail("size");
        if (surface->depth < 1 || surface->depth > 4) Fail("depth");
        if (surface->texture == 0 || surface->data != nullptr) Fail("upload state");
        if (surface->uscale != 1.0f / static_cast<float>(w) ||
            surface->vscale != 1.0f / static_cast<float>(h)) {
            Fail("texture scale");
        }
        if (g_uploadedBytes != static_cast<long long>(w) * h * surface->depth) Fail("upload size");
        surface->Discard();
    }

    // The same bytes from memory give a sane picture too, of the same size when both load.
    // (Whether both load may differ: stb_image's file reader refuses a PSD whose resource
    // section runs past the end, its memory reader skips it.)
    if (size > 0) {
        int w = 0, h = 0, depth = 0;
        unsigned char* pixels = loadImage(data, static_cast<int>(size), &w, &h, &depth);
        if (pixels != nullptr) {
            if (tooLarge) Fail("a picture over the size limit was loaded from memory");
            if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxImageTexels || depth < 1 ||
                depth > 4) {
                Fail("size from memory");
            }
            if (surface != nullptr &&
                (w != surface->Width() || h != surface->Height() || depth != surface->depth)) {
                Fail("memory and file loaders give other sizes");
            }
            const long long bytes = static_cast<long long>(w) * h * depth;
            unsigned sum = 0;
            for (long long i = 0; i < bytes; ++i) sum += pixels[i];
            g_sink = sum;
        }
        unloadImage(pixels);
    }
    gc_collect();
    return 0;
}
