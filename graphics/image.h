// Images: a surface cut into equally sized frames, with a handle (the point that lands on the
// drawing position) and flags. Loaded whole as one row of frames, or grabbed as a grid.
#pragma once

#include "graphics/surface.h"
#include "runtime/array.h"
#include "runtime/gc.h"
#include "runtime/string.h"

class Frame : public Object {
public:
    int x = 0;
    int y = 0;  // top-left texel of the frame in the surface

    Frame() = default;
    Frame(int x, int y) : x(x), y(y) {}
};

class Image : public Object {
public:
    static constexpr int MidHandle = 1;
    static constexpr int XPadding = 2;
    static constexpr int YPadding = 4;
    // Set by the image itself: one frame covering the whole surface, drawn without a sub-rect.
    static constexpr int FullFrame = 65536;
    // Not consulted by any loader.
    static int DefaultFlags;

    gc_ref<gxtkSurface> surface;
    int width = 0;  // frame size in texels, padding gaps already taken off
    int height = 0;
    Array<gc_ref<Frame>> frames;
    int flags = 0;
    float tx = 0, ty = 0;  // the handle, from the frame's top-left corner
    gc_ref<Image> source;  // the image this one was grabbed from

    void mark() override;

    virtual int SetHandle(float tx, float ty);
    virtual int ApplyFlags(int flags);
    // frameCount frames side by side across the whole surface. A count below 1 is a runtime
    // error.
    virtual Image* Init(gxtkSurface* surface, int frameCount, int flags);
    // frameCount frames of w x h from source, row by row (later rows restart at column 0).
    // A frame that does not fit raises "Image frame outside surface".
    virtual Image* Grab(int x, int y, int w, int h, int frameCount, int flags, Image* source);
    // Null when this image has more than one frame.
    virtual Image* GrabImage(int x, int y, int w, int h, int frameCount, int flags);

    int Width() const { return width; }
    int Height() const { return height; }
    int Frames() const { return frames.Length(); }
    float HandleX() const { return tx; }
    float HandleY() const { return ty; }
};

// path is a data name ("graphics/ship.png"); null when the file cannot be loaded.
Image* LoadImage(const String& path, int frameCount = 1, int flags = 0);
Image* LoadImage2(const String& path, int frameWidth, int frameHeight, int frameCount = 1,
                  int flags = 0);
// Draw one frame with its handle at (x, y) under the current drawing state. Only inside a
// rendered frame; an index outside the frames is a runtime error.
int DrawImage(Image* image, float x, float y, int frame = 0);
int DrawImage2(Image* image, float x, float y, float rotation, float scaleX, float scaleY,
               int frame = 0);
// A null font selects the built-in "pelto_font.png" (first character 32), loaded on first need.
int SetFont(Image* font, int firstChar = 32);
Image* GetFont();
