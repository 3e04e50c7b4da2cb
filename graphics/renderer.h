// The 2-D renderer: every primitive becomes vertices on the processor (already transformed and
// coloured) in one vertex buffer, and like primitives are drawn together with a single GL call.
#pragma once

#include <cstdint>

#include "platform/gxtk_object.h"
#include "runtime/array.h"
#include "runtime/string.h"

class gxtkSurface;

class gxtkGraphics : public gxtkObject {
public:
    // Primitive kinds of the pending batch.
    static constexpr int kPoints = 1;
    static constexpr int kLines = 2;
    static constexpr int kQuads = 4;
    static constexpr int kFan = 5;

    static constexpr int kMaxVertices = 1024;
    static constexpr int kMaxQuads = kMaxVertices / 4;
    static constexpr int kMaxLines = kMaxVertices / 2;

    // 20 bytes: position, texture coordinate, colour bytes R, G, B, A in memory order.
    struct Vertex {
        float x, y, u, v;
        uint32_t color;
    };

    int mode = 1;
    int width = 0;
    int height = 0;
    uint32_t color = 0;
    float r = 0, g = 0, b = 0;
    float alpha = 0;
    float ix = 1, iy = 0, jx = 0, jy = 1, tx = 0, ty = 0;
    bool tformed = false;
    Vertex vertices[kMaxVertices];
    uint16_t quadIndices[kMaxQuads * 6];
    int primType = 0;
    int primCount = 0;
    // Only compared and used until the next flush; the surface stays alive through its image,
    // so the collector need not follow this.
    gxtkSurface* primSurf = nullptr;

    gxtkGraphics();

    virtual int Mode() { return mode; }
    virtual int Width() { return width; }
    virtual int Height() { return height; }
    // path is a file-system path (data paths are resolved by the caller).
    virtual gxtkSurface* LoadSurface(String path);
    virtual gxtkSurface* LoadSurface__UNSAFE__(gxtkSurface* surface, String path);
    virtual gxtkSurface* CreateSurface(int width, int height);
    virtual int Cls(float r, float g, float b);
    virtual int SetAlpha(float alpha);
    virtual int SetColor(float r, float g, float b);
    virtual int SetBlend(int blend);
    virtual int SetScissor(int x, int y, int w, int h);
    virtual int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
    virtual int DrawPoint(float x, float y);
    virtual int DrawRect(float x, float y, float w, float h);
    virtual int DrawLine(float x1, float y1, float x2, float y2);
    virtual int DrawOval(float x, float y, float w, float h);
    virtual int DrawPoly(Array<float> verts);
    virtual int DrawSurface(gxtkSurface* surface, float x, float y);
    virtual int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                             int srch);
    // Reads the frame-buffer rectangle (top-left origin) into pixels as 0xAARRGGBB, rows
    // top-first, row i at offset + i * pitch. A rectangle that does not fit the array is ignored.
    virtual int ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset,
                           int pitch);
    // Writes 0xAARRGGBB pixels into the surface's texture, premultiplying them first.
    virtual int WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int width,
                             int height, int offset, int pitch);

    // Rereads the framebuffer size in pixels; false when the window has no area (minimised).
    bool Validate();
    void BeginRender();
    // Flushes what is pending and shows the frame.
    void EndRender();
    void Flush();

    // The oval segment count for a bounding box under the current matrix.
    int OvalSegments(float w, float h) const;

private:
    void PackColor();
    // Starts a new batch when the kind or texture changes or the batch is full; returns the
    // first free vertex.
    Vertex* Reserve(int kind, gxtkSurface* surface, int capacity, int verticesPerPrim);
    void Put(Vertex* out, float x, float y) const;
    void Put(Vertex* out, float x, float y, float u, float v) const;
    void DrawFan(int count);
};
