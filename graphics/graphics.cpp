#include "graphics/graphics.h"

#include <cmath>

#include "runtime/errors.h"

namespace graphics {
gc_ref<gxtkGraphics> device;
gc_ref<gxtkGraphics> renderDevice;
gc_ref<GraphicsContext> context;

// Drawing outside a frame would reach a null device.
gxtkGraphics* Target() {
    if (!renderDevice) Error(T("Graphics drawn outside of a rendered frame"));
    return renderDevice;
}
}  // namespace graphics

using graphics::context;
using graphics::device;
using graphics::renderDevice;
using graphics::Target;

namespace {

constexpr float kDegToRad = 0.017453292f;

bool IsIdentity(float ix, float iy, float jx, float jy, float tx, float ty) {
    return ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0;
}

void MarkMatrixChanged(GraphicsContext* c) {
    c->tformed = IsIdentity(c->ix, c->iy, c->jx, c->jy, c->tx, c->ty) ? 0 : 1;
    c->matDirty = 1;
}

}  // namespace

GraphicsContext::GraphicsContext() : matrixStack(kMaxPushedMatrices * 6) {}

void GraphicsContext::mark() {
    gc_mark_field(defaultFont);
    gc_mark_field(font);
    gc_mark_field(matrixStack);
}

int GraphicsContext::Validate() {
    if (matDirty) {
        Target()->SetMatrix(ix, iy, jx, jy, tx, ty);
        matDirty = 0;
    }
    return 0;
}

void InitGraphicsGlobals() {
    device = nullptr;
    context = gc_new<GraphicsContext>();
    Image::DefaultFlags = 0;
    renderDevice = nullptr;
    gc_add_root(device);
    gc_add_root(context);
    gc_add_root(renderDevice);
}

int SetGraphicsDevice(gxtkGraphics* dev) {
    device = dev;
    return 0;
}

gxtkGraphics* GetGraphicsDevice() {
    return device;
}

int BeginRender() {
    if (!device || !device->Mode()) return 0;
    renderDevice = device;
    GraphicsContext* c = context;
    c->matrixSp = 0;
    c->ix = 1, c->iy = 0, c->jx = 0, c->jy = 1, c->tx = 0, c->ty = 0;
    c->tformed = 0;
    c->matDirty = 1;
    c->r = c->g = c->b = 255;
    renderDevice->SetColor(255, 255, 255);
    c->alpha = 1;
    renderDevice->SetAlpha(1);
    c->blend = 0;
    renderDevice->SetBlend(0);
    SetScissor(0, 0, static_cast<float>(DeviceWidth()), static_cast<float>(DeviceHeight()));
    return 0;
}

int EndRender() {
    renderDevice = nullptr;
    return 0;
}

int DeviceWidth() {
    return device ? device->Width() : 0;
}

int DeviceHeight() {
    return device ? device->Height() : 0;
}

int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
    GraphicsContext* c = context;
    c->ix = ix, c->iy = iy, c->jx = jx, c->jy = jy, c->tx = tx, c->ty = ty;
    MarkMatrixChanged(c);
    return 0;
}

int SetMatrix2(const Array<float>& m) {
    return SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int Transform(float a, float b, float c, float d, float x, float y) {
    GraphicsContext* ctx = context;
    const float ix = ctx->ix, iy = ctx->iy, jx = ctx->jx, jy = ctx->jy;
    ctx->ix = a * ix + b * jx;
    ctx->iy = a * iy + b * jy;
    ctx->jx = c * ix + d * jx;
    ctx->jy = c * iy + d * jy;
    ctx->tx = x * ix + y * jx + ctx->tx;
    ctx->ty = x * iy + y * jy + ctx->ty;
    MarkMatrixChanged(ctx);
    return 0;
}

int Transform2(const Array<float>& m) {
    return Transform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int Translate(float x, float y) {
    return Transform(1, 0, 0, 1, x, y);
}

int Scale(float x, float y) {
    return Transform(x, 0, 0, y, 0, 0);
}

int Rotate(float angle) {
    const float radians = angle * kDegToRad;
    const float s = static_cast<float>(std::sin(static_cast<double>(radians)));
    const float c = static_cast<float>(std::cos(static_cast<double>(radians)));
    return Transform(c, -s, s, c, 0, 0);
}

int PushMatrix() {
    GraphicsContext* c = context;
    if (c->matrixSp + 6 > c->matrixStack.Length()) Error(T("Matrix stack overflow"));
    float* top = c->matrixStack.Data() + c->matrixSp;
    top[0] = c->ix, top[1] = c->iy, top[2] = c->jx, top[3] = c->jy, top[4] = c->tx, top[5] = c->ty;
    c->matrixSp += 6;
    return 0;
}

int PopMatrix() {
    GraphicsContext* c = context;
    if (c->matrixSp < 6) Error(T("Matrix stack underflow"));
    c->matrixSp -= 6;
    const float* top = c->matrixStack.Data() + c->matrixSp;
    c->ix = top[0], c->iy = top[1], c->jx = top[2], c->jy = top[3], c->tx = top[4], c->ty = top[5];
    MarkMatrixChanged(c);
    return 0;
}

int SetColor(float r, float g, float b) {
    GraphicsContext* c = context;
    c->r = r, c->g = g, c->b = b;
    Target()->SetColor(r, g, b);
    return 0;
}

int SetAlpha(float alpha) {
    context->alpha = alpha;
    Target()->SetAlpha(alpha);
    return 0;
}

int SetBlend(int blend) {
    context->blend = blend;
    Target()->SetBlend(blend);
    return 0;
}

int SetScissor(float x, float y, float w, float h) {
    GraphicsContext* c = context;
    c->scissorX = x, c->scissorY = y, c->scissorW = w, c->scissorH = h;
    Target()->SetScissor(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                         static_cast<int>(h));
    return 0;
}

int Cls(float r, float g, float b) {
    Target()->Cls(r, g, b);
    return 0;
}

int DrawPoint(float x, float y) {
    gxtkGraphics* target = Target();
    context->Validate();
    target->DrawPoint(x, y);
    return 0;
}

int DrawRect(float x, float y, float w, float h) {
    gxtkGraphics* target = Target();
    context->Validate();
    target->DrawRect(x, y, w, h);
    return 0;
}

int DrawLine(float x1, float y1, float x2, float y2) {
    gxtkGraphics* target = Target();
    context->Validate();
    target->DrawLine(x1, y1, x2, y2);
    return 0;
}

int DrawEllipse(float x, float y, float xr, float yr) {
    return DrawOval(x - xr, y - yr, xr * 2, yr * 2);
}

int DrawOval(float x, float y, float w, float h) {
    gxtkGraphics* target = Target();
    context->Validate();
    target->DrawOval(x, y, w, h);
    return 0;
}

int DrawPoly(const Array<float>& verts) {
    gxtkGraphics* target = Target();
    context->Validate();
    target->DrawPoly(verts);
    return 0;
}

int ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset, int pitch) {
    if (pitch == 0) pitch = width;
    Target()->ReadPixels(pixels, x, y, width, height, offset, pitch);
    return 0;
}
