// A small software stand-in for the GL frame buffer, driven by GlRecorder: it keeps the
// textures the renderer uploads and rasterises the renderer's draw calls (triangles with
// nearest-texel sampling modulated by the vertex colour, fans, points and lines) with its blend
// modes, scissor and clear, so drawing followed by read-back works without a window.
// Geometry is taken as window pixels (the renderer's projection), y down.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <map>
#include <vector>

struct GlVertexRecord;

class GlSoftwareTarget {
public:
    GlSoftwareTarget(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel at (x, y) counted from the top-left, as 0xAARRGGBB.
    uint32_t PixelAt(int x, int y) const;

    // Only the top-left width x height pixels are drawn from now on (0 x 0: all of them).
    void LimitRaster(int width, int height) {
        limitWidth_ = width > 0 && width < width_ ? width : width_;
        limitHeight_ = height > 0 && height < height_ ? height : height_;
    }

    // State and calls forwarded by the recorder.
    void SetCap(GLenum cap, bool on);
    void BlendFunc(GLenum src, GLenum dst);
    void Scissor(int x, int y, int w, int h);
    void ClearColor(float r, float g, float b, float a);
    void Clear();
    void BindTexture(GLuint name) { bound_ = name; }
    void AllocateTexture(int width, int height);
    void UploadTexture(int x, int y, int width, int height, GLenum format, const uint8_t* pixels,
                       int unpackAlignment);
    void DeleteTexture(GLuint name) { textures_.erase(name); }
    void Draw(GLenum mode, const std::vector<GlVertexRecord>& vertices);
    // Rows bottom-first, 4 bytes a pixel in GL_BGRA or GL_RGBA order.
    void Read(int x, int y, int width, int height, GLenum format, uint8_t* out) const;

private:
    struct Texture {
        int width = 0, height = 0;
        std::vector<uint8_t> rgba;
    };
    struct Rgba {
        float r, g, b, a;
    };

    void Triangle(const GlVertexRecord& a, const GlVertexRecord& b, const GlVertexRecord& c);
    // Shades one pixel (top-left origin) with interpolated colour and texture coordinates.
    void Shade(int x, int y, Rgba color, float u, float v);
    bool Inside(int x, int y) const;
    const Texture* ActiveTexture() const;

    int width_, height_;
    int limitWidth_, limitHeight_;
    std::vector<uint8_t> rgba_;  // rows top-first
    float clear_[4] = {0, 0, 0, 0};
    bool blending_ = false;
    bool texturing_ = false;
    bool scissoring_ = false;
    GLenum srcFactor_ = GL_ONE;
    GLenum dstFactor_ = GL_ZERO;
    int scissor_[4] = {0, 0, 0, 0};  // GL convention: bottom-left origin
    GLuint bound_ = 0;
    std::map<GLuint, Texture> textures_;
};
