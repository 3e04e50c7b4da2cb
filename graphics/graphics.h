// The graphics module: the drawing state the game uses (matrix and its stack, colour, alpha,
// blend, scissor, font) and the drawing calls, which forward to the renderer. Colour, alpha,
// blend and scissor reach the renderer at once; the matrix only just before the next drawing
// call (GraphicsContext::Validate), so runs of transforms cost nothing.
//
// Everything that draws or changes colour, alpha, blend or scissor works only inside a rendered
// frame (between BeginRender and EndRender); outside one it is a runtime error.
#pragma once

#include "graphics/image.h"
#include "graphics/renderer.h"
#include "graphics/surface.h"
#include "runtime/array.h"
#include "runtime/gc.h"

class GraphicsContext : public Object {
public:
    static constexpr int kMaxPushedMatrices = 32;

    gc_ref<Image> defaultFont;
    gc_ref<Image> font;
    int firstChar = 0;
    int matrixSp = 0;  // floats on the matrix stack, 6 per pushed matrix
    float ix = 1, iy = 0, jx = 0, jy = 1, tx = 0, ty = 0;
    int tformed = 0;
    int matDirty = 0;  // 1 while the renderer has not been given the current matrix
    float r = 0, g = 0, b = 0;
    float alpha = 0;
    int blend = 0;
    float scissorX = 0, scissorY = 0, scissorW = 0, scissorH = 0;
    Array<float> matrixStack;

    GraphicsContext();
    void mark() override;

    // Hands the current matrix to the renderer when it changed since the last drawing call.
    virtual int Validate();
};

namespace graphics {
// The renderer, set once when the application adapter is made.
extern gc_ref<gxtkGraphics> device;
// The renderer while a frame is being rendered; null otherwise.
extern gc_ref<gxtkGraphics> renderDevice;
// The renderer of the frame being drawn; a runtime error outside a frame.
gxtkGraphics* Target();
extern gc_ref<GraphicsContext> context;
}  // namespace graphics

// Sets the module globals to their start values (a new context, no devices) and registers the
// context and both device globals as collector roots. The host's global initialisation calls it.
void InitGraphicsGlobals();

int SetGraphicsDevice(gxtkGraphics* dev);
gxtkGraphics* GetGraphicsDevice();

// Frame start: resets matrix, colour (white), alpha (1), blend (0) and scissor (whole device).
int BeginRender();
int EndRender();
int DeviceWidth();
int DeviceHeight();

int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
int SetMatrix2(const Array<float>& m);
// Applies the given transform first and the current one after it.
int Transform(float a, float b, float c, float d, float x, float y);
int Transform2(const Array<float>& m);
int Translate(float x, float y);
int Scale(float x, float y);
// Degrees; positive turns drawings counter-clockwise on the screen.
int Rotate(float angle);
// At most 32 matrices; overflow and underflow are runtime errors.
int PushMatrix();
int PopMatrix();

int SetColor(float r, float g, float b);
int SetAlpha(float alpha);
int SetBlend(int blend);  // 0 alpha blending, 1 additive
int SetScissor(float x, float y, float w, float h);
int Cls(float r = 0, float g = 0, float b = 0);
int DrawPoint(float x, float y);
int DrawRect(float x, float y, float w, float h);
int DrawLine(float x1, float y1, float x2, float y2);
// Centre and radii.
int DrawEllipse(float x, float y, float xr, float yr);
// Bounding box.
int DrawOval(float x, float y, float w, float h);
int DrawPoly(const Array<float>& verts);
// 0xAARRGGBB, rows top-first; a pitch of 0 means width.
int ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset = 0,
               int pitch = 0);
