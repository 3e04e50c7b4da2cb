// A texture together with the size of the picture in it. Pixels are decoded by stb_image,
// premultiplied by alpha and uploaded; the texture may be larger than the picture when the GL
// refused a texture of the picture's own size.
#pragma once

#include "platform/gxtk_object.h"
#include "runtime/string.h"

class gxtkSurface : public gxtkObject {
public:
    unsigned char* data = nullptr;  // decoded pixels until uploaded, rows top-first
    int width = 0;
    int height = 0;
    int depth = 0;  // bytes per pixel: 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA
    unsigned int texture = 0;
    float uscale = 0;  // 1 / texture width
    float vscale = 0;  // 1 / texture height

    gxtkSurface() = default;
    // Takes ownership of data (which must come from loadImage).
    gxtkSurface(unsigned char* data, int width, int height, int depth);
    ~gxtkSurface() override;

    void SetData(unsigned char* data, int width, int height, int depth);

    virtual int Discard();
    virtual int Width() { return width; }
    virtual int Height() { return height; }
    virtual bool Loaded() { return true; }
    // Turns the decoded pixels (or none, for an empty surface) into a texture. False when the
    // GL refuses the texture at both the picture size and the power-of-two size.
    virtual bool OnUnsafeLoadComplete();
};

#include <cstdint>

// The largest picture a decode may produce. A file whose header asks for more is refused
// before any pixel is allocated, so a damaged or hostile file cannot claim gigabytes.
constexpr int kMaxImageSide = 8192;
constexpr int64_t kMaxImageTexels = int64_t{kMaxImageSide} * kMaxImageSide;

// True when a header of width x height texels may be decoded; otherwise prints one line
// naming the image and its size, and returns false.
bool ImageSizeAllowed(const String& name, int width, int height);

// Decodes an image file (opened through the data-path rules) keeping its own channel count.
// Returns null when the file is missing or undecodable or its header asks for more than
// kMaxImageTexels; release with unloadImage.
unsigned char* loadImage(String path, int* width, int* height, int* depth);
unsigned char* loadImage(const unsigned char* bytes, int length, int* width, int* height,
                         int* depth);
void unloadImage(unsigned char* pixels);

// The smallest power of two at least n (1 for n <= 1); capped at 2^30.
int Pow2Size(int n);
