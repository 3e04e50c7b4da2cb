#include "graphics/image.h"

#include "graphics/graphics.h"
#include "platform/data_path.h"
#include "runtime/errors.h"

using graphics::context;
using graphics::device;

int Image::DefaultFlags = 0;

namespace {

[[noreturn]] void FrameOutsideSurface() {
    Error(T("Image frame outside surface"));
}

Array<gc_ref<Frame>> NewFrames(int count) {
    return Array<gc_ref<Frame>>(count);
}

Frame* FrameAt(Image* image, int index) {
    if (index < 0 || index >= image->frames.Length()) Error(T("Image frame index out of range"));
    return image->frames[index];
}

// Draws the frame with its top-left corner at (x, y) of the current (already validated) matrix.
void DrawFrame(Image* image, Frame* f, float x, float y) {
    gxtkGraphics* target = graphics::Target();
    context->Validate();
    if (image->flags & Image::FullFrame) {
        target->DrawSurface(image->surface, x, y);
    } else {
        target->DrawSurface2(image->surface, x, y, f->x, f->y, image->width, image->height);
    }
}

}  // namespace

void Image::mark() {
    gc_mark_field(surface);
    gc_mark_field(frames);
    gc_mark_field(source);
}

int Image::SetHandle(float handleX, float handleY) {
    tx = handleX;
    ty = handleY;
    flags &= ~MidHandle;
    return 0;
}

int Image::ApplyFlags(int newFlags) {
    flags = newFlags;
    if (flags & XPadding) {
        for (gc_ref<Frame>& f : frames) f->x += 1;
        width -= 2;
    }
    if (flags & YPadding) {
        for (gc_ref<Frame>& f : frames) f->y += 1;
        height -= 2;
    }
    if (flags & MidHandle) {
        SetHandle(static_cast<float>(width) * 0.5f, static_cast<float>(height) * 0.5f);
    }
    if (surface && frames.Length() == 1 && frames[0]->x == 0 && frames[0]->y == 0 &&
        width == surface->Width() && height == surface->Height()) {
        flags |= FullFrame;
    }
    return 0;
}

Image* Image::Init(gxtkSurface* newSurface, int frameCount, int newFlags) {
    if (frameCount < 1) Error(T("Image frame count must be at least 1"));
    surface = newSurface;
    width = newSurface->Width() / frameCount;
    height = newSurface->Height();
    frames = NewFrames(frameCount);
    for (int i = 0; i < frameCount; ++i) frames[i] = gc_new<Frame>(i * width, 0);
    ApplyFlags(newFlags);
    return this;
}

Image* Image::Grab(int x, int y, int w, int h, int frameCount, int newFlags, Image* from) {
    source = from;
    surface = from->surface;
    width = w;
    height = h;
    frames = NewFrames(frameCount);
    const Frame* origin = from->frames.Length() > 0 ? from->frames[0].get() : nullptr;
    const int originX = origin ? origin->x : 0;
    const int originY = origin ? origin->y : 0;
    int cx = x;
    int cy = y;
    for (int i = 0; i < frameCount; ++i) {
        if (cx + w > from->width) {
            // Later rows restart at the source's left edge, not at x.
            cy += h;
            if (w > from->width) FrameOutsideSurface();
            cx = 0;
        }
        if (cy + h > from->height) FrameOutsideSurface();
        frames[i] = gc_new<Frame>(cx + originX, cy + originY);
        cx += w;
    }
    ApplyFlags(newFlags);
    return this;
}

Image* Image::GrabImage(int x, int y, int w, int h, int frameCount, int newFlags) {
    if (frames.Length() != 1) return nullptr;
    return gc_new<Image>()->Grab(x, y, w, h, frameCount, newFlags, this);
}

Image* LoadImage(const String& path, int frameCount, int flags) {
    if (!device) return nullptr;
    gxtkSurface* surface = device->LoadSurface(FixDataPath(path));
    if (!surface) return nullptr;
    return gc_new<Image>()->Init(surface, frameCount, flags);
}

Image* LoadImage2(const String& path, int frameWidth, int frameHeight, int frameCount, int flags) {
    Image* atlas = LoadImage(path, 1, 0);
    if (!atlas) return nullptr;
    return atlas->GrabImage(0, 0, frameWidth, frameHeight, frameCount, flags);
}

int DrawImage(Image* image, float x, float y, int frame) {
    Frame* f = FrameAt(image, frame);
    if (context->tformed) {
        PushMatrix();
        Transform(1, 0, 0, 1, x - image->tx, y - image->ty);
        DrawFrame(image, f, 0, 0);
        PopMatrix();
    } else {
        DrawFrame(image, f, x - image->tx, y - image->ty);
    }
    return 0;
}

int DrawImage2(Image* image, float x, float y, float rotation, float scaleX, float scaleY,
               int frame) {
    Frame* f = FrameAt(image, frame);
    PushMatrix();
    Transform(1, 0, 0, 1, x, y);
    Rotate(rotation);
    Transform(scaleX, 0, 0, scaleY, 0, 0);
    Transform(1, 0, 0, 1, -image->tx, -image->ty);
    DrawFrame(image, f, 0, 0);
    PopMatrix();
    return 0;
}

int SetFont(Image* font, int firstChar) {
    GraphicsContext* c = context;
    if (!font) {
        if (!c->defaultFont) c->defaultFont = LoadImage(T("pelto_font.png"), 96, Image::XPadding);
        font = c->defaultFont;
        firstChar = 32;
    }
    c->font = font;
    c->firstChar = firstChar;
    return 0;
}

Image* GetFont() {
    return context->font;
}
