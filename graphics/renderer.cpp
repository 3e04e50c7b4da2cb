#include "graphics/renderer.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "graphics/gl_table.h"
#include "graphics/gl_trace.h"
#include "graphics/surface.h"
#include "platform/asset_report.h"
#include "platform/platform.h"
#include "runtime/gc.h"

static_assert(sizeof(gxtkGraphics::Vertex) == 20, "the vertex arrays use a 20-byte stride");

namespace {

constexpr float kTwoPi = 6.2831855f;

// Out-of-range components are clamped so the byte never wraps (and the conversion is defined).
uint32_t ColorByte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 255.0f) return 255;
    return static_cast<uint32_t>(value);
}

// Clamps an unbounded segment estimate into 12..1024, multiples of 4 in between. NaN and
// negative estimates (a degenerate matrix) fall to the minimum.
int ClampSegments(double estimate) {
    if (!(estimate >= 12.0)) return 12;
    if (estimate >= 1025.0) return 1024;
    return static_cast<int>(estimate) & ~3;
}

// True when the rectangle's rows all lie inside an array of the given length.
bool RowsFit(int length, int width, int height, int offset, int pitch) {
    if (width <= 0 || height <= 0 || offset < 0) return false;
    // Overlapping rows would only make the temporary buffer larger than the array.
    if (height > 1 && pitch < width) return false;
    const long long last =
        static_cast<long long>(offset) + static_cast<long long>(height - 1) * pitch + width;
    return last <= length;
}

}  // namespace

gxtkGraphics::gxtkGraphics() {
    for (int q = 0; q < kMaxQuads; ++q) {
        uint16_t* idx = quadIndices + q * 6;
        const uint16_t first = static_cast<uint16_t>(q * 4);
        idx[0] = first;
        idx[1] = static_cast<uint16_t>(first + 1);
        idx[2] = static_cast<uint16_t>(first + 2);
        idx[3] = first;
        idx[4] = static_cast<uint16_t>(first + 2);
        idx[5] = static_cast<uint16_t>(first + 3);
    }
}

bool gxtkGraphics::Validate() {
    width = height = 0;
    // Pixels, not window units: a scaled display draws every one of its pixels.
    CurrentPlatform().GetFramebufferSize(&width, &height);
    return width > 0 && height > 0;
}

void gxtkGraphics::BeginRender() {
    if (!mode) return;
    const GlTable& gl = Gl();
    gl.Viewport(0, 0, width, height);
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadIdentity();
    gl.Ortho(0, width, height, 0, -1, 1);
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();

    const auto* base = reinterpret_cast<const unsigned char*>(vertices);
    gl.EnableClientState(GL_VERTEX_ARRAY);
    gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.EnableClientState(GL_COLOR_ARRAY);
    gl.VertexPointer(2, GL_FLOAT, sizeof(Vertex), base + offsetof(Vertex, x));
    gl.TexCoordPointer(2, GL_FLOAT, sizeof(Vertex), base + offsetof(Vertex, u));
    gl.ColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), base + offsetof(Vertex, color));

    gl.Enable(GL_BLEND);
    gl.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    gl.Disable(GL_TEXTURE_2D);
    primCount = 0;
}

void gxtkGraphics::EndRender() {
    if (mode && primCount) Flush();
    CurrentPlatform().SwapBuffers();
    GlTraceFrameEnd();
}

void gxtkGraphics::Flush() {
    if (!primCount) return;
    const GlTable& gl = Gl();
    if (primSurf) {
        gl.Enable(GL_TEXTURE_2D);
        gl.BindTexture(GL_TEXTURE_2D, primSurf->texture);
    }
    switch (primType) {
        case kPoints:
            gl.DrawArrays(GL_POINTS, 0, primCount);
            break;
        case kLines:
            gl.DrawArrays(GL_LINES, 0, primCount * 2);
            break;
        case kQuads:
            gl.DrawElements(GL_TRIANGLES, primCount * 6, GL_UNSIGNED_SHORT, quadIndices);
            break;
        case kFan:
            gl.DrawArrays(GL_TRIANGLE_FAN, 0, primCount);
            break;
        default:
            break;
    }
    if (primSurf) gl.Disable(GL_TEXTURE_2D);
    primCount = 0;
}

void gxtkGraphics::PackColor() {
    color = ColorByte(alpha * 255.0f) << 24 | ColorByte(b * alpha) << 16 |
            ColorByte(g * alpha) << 8 | ColorByte(r * alpha);
}

gxtkGraphics::Vertex* gxtkGraphics::Reserve(int kind, gxtkSurface* surface, int capacity,
                                            int verticesPerPrim) {
    if (primType != kind || primCount == capacity || primSurf != surface) {
        if (primCount) Flush();
        primType = kind;
        primSurf = surface;
    }
    Vertex* first = vertices + primCount * verticesPerPrim;
    ++primCount;
    return first;
}

void gxtkGraphics::Put(Vertex* out, float x, float y) const {
    if (tformed) {
        out->x = x * ix + y * jx + tx;
        out->y = x * iy + y * jy + ty;
    } else {
        out->x = x;
        out->y = y;
    }
    out->color = color;
}

void gxtkGraphics::Put(Vertex* out, float x, float y, float u, float v) const {
    Put(out, x, y);
    out->u = u;
    out->v = v;
}

void gxtkGraphics::DrawFan(int count) {
    primCount = count;
    Flush();
}

int gxtkGraphics::Cls(float red, float green, float blue) {
    primCount = 0;
    Gl().ClearColor(red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f);
    Gl().Clear(GL_COLOR_BUFFER_BIT);
    return 0;
}

int gxtkGraphics::SetAlpha(float a) {
    alpha = a;
    PackColor();
    return 0;
}

int gxtkGraphics::SetColor(float red, float green, float blue) {
    r = red;
    g = green;
    b = blue;
    PackColor();
    return 0;
}

int gxtkGraphics::SetBlend(int blend) {
    Flush();
    if (blend == 1) {
        Gl().BlendFunc(GL_ONE, GL_ONE);
    } else {
        Gl().BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
    return 0;
}

int gxtkGraphics::SetScissor(int x, int y, int w, int h) {
    Flush();
    if (x == 0 && y == 0 && w == Width() && h == Height()) {
        Gl().Disable(GL_SCISSOR_TEST);
    } else {
        Gl().Enable(GL_SCISSOR_TEST);
        Gl().Scissor(x, Height() - y - h, w, h);
    }
    return 0;
}

int gxtkGraphics::SetMatrix(float nix, float niy, float njx, float njy, float ntx, float nty) {
    ix = nix;
    iy = niy;
    jx = njx;
    jy = njy;
    tx = ntx;
    ty = nty;
    tformed = !(ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0);
    return 0;
}

int gxtkGraphics::DrawPoint(float x, float y) {
    Put(Reserve(kPoints, nullptr, kMaxVertices, 1), x, y);
    return 0;
}

int gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
    Vertex* v = Reserve(kLines, nullptr, kMaxLines, 2);
    Put(v, x1, y1);
    Put(v + 1, x2, y2);
    return 0;
}

int gxtkGraphics::DrawRect(float x, float y, float w, float h) {
    Vertex* v = Reserve(kQuads, nullptr, kMaxQuads, 4);
    Put(v, x, y);
    Put(v + 1, x + w, y);
    Put(v + 2, x + w, y + h);
    Put(v + 3, x, y + h);
    return 0;
}

int gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
    const float w = static_cast<float>(surface->Width());
    const float h = static_cast<float>(surface->Height());
    const float u = w * surface->uscale;
    const float v = h * surface->vscale;
    Vertex* out = Reserve(kQuads, surface, kMaxQuads, 4);
    Put(out, x, y, 0, 0);
    Put(out + 1, x + w, y, u, 0);
    Put(out + 2, x + w, y + h, u, v);
    Put(out + 3, x, y + h, 0, v);
    return 0;
}

int gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                               int srch) {
    const float uL = static_cast<float>(srcx) * surface->uscale;
    const float vT = static_cast<float>(srcy) * surface->vscale;
    const float uR = static_cast<float>(srcx + srcw) * surface->uscale;
    const float vB = static_cast<float>(srcy + srch) * surface->vscale;
    const float w = static_cast<float>(srcw);
    const float h = static_cast<float>(srch);
    Vertex* out = Reserve(kQuads, surface, kMaxQuads, 4);
    Put(out, x, y, uL, vT);
    Put(out + 1, x + w, y, uR, vT);
    Put(out + 2, x + w, y + h, uR, vB);
    Put(out + 3, x, y + h, uL, vB);
    return 0;
}

int gxtkGraphics::OvalSegments(float w, float h) const {
    const float xr = w * 0.5f;
    const float yr = h * 0.5f;
    if (tformed) {
        const float along = std::sqrt((xr * ix) * (xr * ix) + (xr * iy) * (xr * iy));
        const float across = std::sqrt((yr * jx) * (yr * jx) + (yr * jy) * (yr * jy));
        return ClampSegments(std::trunc(along + across));
    }
    return ClampSegments(std::fabs(std::trunc(static_cast<double>(xr))) +
                         std::fabs(std::trunc(static_cast<double>(yr))));
}

int gxtkGraphics::DrawOval(float x, float y, float w, float h) {
    Flush();
    primType = kFan;
    primSurf = nullptr;
    const int n = OvalSegments(w, h);
    const float xr = w * 0.5f;
    const float yr = h * 0.5f;
    const float xc = x + xr;
    const float yc = y + yr;
    for (int i = 0; i < n; ++i) {
        const float theta = static_cast<float>(i) * kTwoPi / static_cast<float>(n);
        // Starts at the right-most point and runs upwards on the screen.
        Put(vertices + i, xc + xr * std::cos(theta), yc - yr * std::sin(theta));
    }
    DrawFan(n);
    return 0;
}

int gxtkGraphics::DrawPoly(Array<float> verts) {
    const int n = verts.Length() / 2;
    if (n < 3 || n > kMaxVertices) return 0;
    Flush();
    primType = kFan;
    primSurf = nullptr;
    for (int i = 0; i < n; ++i) Put(vertices + i, verts[i * 2], verts[i * 2 + 1]);
    DrawFan(n);
    return 0;
}

int gxtkGraphics::ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
    Flush();
    if (!RowsFit(pixels.Length(), w, h, offset, pitch)) return 0;
    std::vector<uint32_t> buffer(static_cast<size_t>(w) * h);
    Gl().ReadPixels(x, height - y - h, w, h, GL_BGRA, GL_UNSIGNED_BYTE, buffer.data());
    // GL delivers rows bottom-first; callers want the top row first.
    for (int row = 0; row < h; ++row) {
        const uint32_t* src = buffer.data() + static_cast<size_t>(h - 1 - row) * w;
        for (int col = 0; col < w; ++col) {
            pixels[offset + row * pitch + col] = static_cast<int>(src[col]);
        }
    }
    return 0;
}

int gxtkGraphics::WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h,
                               int offset, int pitch) {
    Flush();
    if (!surface || !RowsFit(pixels.Length(), w, h, offset, pitch)) return 0;
    std::vector<uint32_t> buffer(static_cast<size_t>(w) * h);
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const uint32_t p = static_cast<uint32_t>(pixels[offset + row * pitch + col]);
            const uint32_t a = p >> 24;
            const uint32_t red = (p >> 16 & 255) * a / 255;
            const uint32_t green = (p >> 8 & 255) * a / 255;
            const uint32_t blue = (p & 255) * a / 255;
            buffer[static_cast<size_t>(row) * w + col] = a << 24 | red << 16 | green << 8 | blue;
        }
    }
    Gl().BindTexture(GL_TEXTURE_2D, surface->texture);
    Gl().TexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_BGRA, GL_UNSIGNED_BYTE, buffer.data());
    return 0;
}

gxtkSurface* gxtkGraphics::CreateSurface(int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    gxtkSurface* surface = gc_new<gxtkSurface>(nullptr, w, h, 4);
    return surface->OnUnsafeLoadComplete() ? surface : nullptr;
}

gxtkSurface* gxtkGraphics::LoadSurface(String path) {
    gxtkSurface* surface = LoadSurface__UNSAFE__(gc_new<gxtkSurface>(), path);
    if (!surface) return nullptr;
    if (surface->OnUnsafeLoadComplete()) return surface;
    ReportAssetFailure(path, "the graphics driver refused a texture of its size");
    return nullptr;
}

gxtkSurface* gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, String path) {
    int w = 0, h = 0, depth = 0;
    unsigned char* data = loadImage(path, &w, &h, &depth);
    if (!data) return nullptr;
    surface->SetData(data, w, h, depth);
    // The decoded pixels are large: let the next collection reclaim garbage at once.
    gc_force_sweep = true;
    return surface;
}
