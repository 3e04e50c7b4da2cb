#include "graphics/gl_software.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "graphics/gl_table.h"
#include "graphics/gl_upload_layout.h"

namespace {

struct Point {
    float x, y;
};

float Edge(const GlVertexRecord& a, const GlVertexRecord& b, Point p) {
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

// A pixel centre exactly on an edge belongs to one side only, so the two triangles of a quad
// never both blend the pixels on their shared diagonal. Reversing the edge flips the answer.
bool OwnsEdge(const GlVertexRecord& from, const GlVertexRecord& to) {
    const float dy = to.y - from.y;
    return dy > 0 || (dy == 0 && to.x - from.x < 0);
}

bool Covers(float w, const GlVertexRecord& from, const GlVertexRecord& to) {
    return w > 0 || (w == 0 && OwnsEdge(from, to));
}

float Channel(uint32_t color, int shift) {
    return static_cast<float>(color >> shift & 255);
}

uint8_t ToByte(float v) {
    if (!(v > 0)) return 0;
    if (v >= 255) return 255;
    return static_cast<uint8_t>(std::lround(v));
}

// One texel of an upload, expanded to R, G, B, A.
void ExpandTexel(GLenum format, const uint8_t* p, uint8_t* out) {
    switch (format) {
        case GL_LUMINANCE:
            out[0] = out[1] = out[2] = p[0], out[3] = 255;
            break;
        case GL_ALPHA:
            out[0] = out[1] = out[2] = 0, out[3] = p[0];
            break;
        case GL_LUMINANCE_ALPHA:
            out[0] = out[1] = out[2] = p[0], out[3] = p[1];
            break;
        case GL_RGB:
            out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = 255;
            break;
        case GL_BGRA:
            out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = p[3];
            break;
        default:
            std::memcpy(out, p, 4);
            break;
    }
}

float Factor(GLenum factor, float srcAlpha) {
    switch (factor) {
        case GL_ONE:
            return 1;
        case GL_SRC_ALPHA:
            return srcAlpha / 255;
        case GL_ONE_MINUS_SRC_ALPHA:
            return 1 - srcAlpha / 255;
        default:
            return 0;
    }
}

}  // namespace

GlSoftwareTarget::GlSoftwareTarget(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      limitWidth_(width_),
      limitHeight_(height_),
      rgba_(static_cast<size_t>(width_) * height_ * 4, 0) {}

uint32_t GlSoftwareTarget::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const uint8_t* p = rgba_.data() + (static_cast<size_t>(y) * width_ + x) * 4;
    return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
           static_cast<uint32_t>(p[1]) << 8 | p[2];
}

void GlSoftwareTarget::SetCap(GLenum cap, bool on) {
    if (cap == GL_BLEND) blending_ = on;
    if (cap == GL_TEXTURE_2D) texturing_ = on;
    if (cap == GL_SCISSOR_TEST) scissoring_ = on;
}

void GlSoftwareTarget::BlendFunc(GLenum src, GLenum dst) {
    srcFactor_ = src;
    dstFactor_ = dst;
}

void GlSoftwareTarget::Scissor(int x, int y, int w, int h) {
    scissor_[0] = x, scissor_[1] = y, scissor_[2] = w, scissor_[3] = h;
}

void GlSoftwareTarget::ClearColor(float r, float g, float b, float a) {
    clear_[0] = r, clear_[1] = g, clear_[2] = b, clear_[3] = a;
}

void GlSoftwareTarget::Clear() {
    const uint8_t fill[4] = {ToByte(clear_[0] * 255), ToByte(clear_[1] * 255),
                             ToByte(clear_[2] * 255), ToByte(clear_[3] * 255)};
    for (int y = 0; y < limitHeight_; ++y) {
        for (int x = 0; x < limitWidth_; ++x) {
            if (Inside(x, y))
                std::memcpy(&rgba_[(static_cast<size_t>(y) * width_ + x) * 4], fill, 4);
        }
    }
}

void GlSoftwareTarget::AllocateTexture(int width, int height) {
    Texture& t = textures_[bound_];
    t.width = std::max(width, 0);
    t.height = std::max(height, 0);
    t.rgba.assign(static_cast<size_t>(t.width) * t.height * 4, 0);
}

void GlSoftwareTarget::UploadTexture(int x, int y, int width, int height, GLenum format,
                                     const uint8_t* pixels, int unpackAlignment) {
    auto it = textures_.find(bound_);
    if (it == textures_.end() || !pixels) return;
    Texture& t = it->second;
    const int components = BytesPerTexel(format);
    const size_t stride = UploadRowStride(width, format, unpackAlignment);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const int tx = x + col, ty = y + row;
            if (tx < 0 || ty < 0 || tx >= t.width || ty >= t.height) continue;
            ExpandTexel(format, pixels + row * stride + static_cast<size_t>(col) * components,
                        &t.rgba[(static_cast<size_t>(ty) * t.width + tx) * 4]);
        }
    }
}

const GlSoftwareTarget::Texture* GlSoftwareTarget::ActiveTexture() const {
    if (!texturing_) return nullptr;
    auto it = textures_.find(bound_);
    return it == textures_.end() || it->second.width == 0 || it->second.height == 0 ? nullptr
                                                                                    : &it->second;
}

bool GlSoftwareTarget::Inside(int x, int y) const {
    if (x < 0 || y < 0 || x >= limitWidth_ || y >= limitHeight_) return false;
    if (!scissoring_) return true;
    const int glY = height_ - 1 - y;
    return x >= scissor_[0] && x < scissor_[0] + scissor_[2] && glY >= scissor_[1] &&
           glY < scissor_[1] + scissor_[3];
}

void GlSoftwareTarget::Shade(int x, int y, Rgba color, float u, float v) {
    if (!Inside(x, y)) return;
    Rgba src = color;
    if (const Texture* t = ActiveTexture()) {
        const int tx = std::clamp(static_cast<int>(std::floor(u * t->width)), 0, t->width - 1);
        const int ty = std::clamp(static_cast<int>(std::floor(v * t->height)), 0, t->height - 1);
        const uint8_t* texel = &t->rgba[(static_cast<size_t>(ty) * t->width + tx) * 4];
        src = {texel[0] * color.r / 255, texel[1] * color.g / 255, texel[2] * color.b / 255,
               texel[3] * color.a / 255};
    }
    uint8_t* dst = &rgba_[(static_cast<size_t>(y) * width_ + x) * 4];
    if (!blending_) {
        dst[0] = ToByte(src.r), dst[1] = ToByte(src.g), dst[2] = ToByte(src.b);
        dst[3] = ToByte(src.a);
        return;
    }
    const float s = Factor(srcFactor_, src.a);
    const float d = Factor(dstFactor_, src.a);
    dst[0] = ToByte(src.r * s + dst[0] * d);
    dst[1] = ToByte(src.g * s + dst[1] * d);
    dst[2] = ToByte(src.b * s + dst[2] * d);
    dst[3] = ToByte(src.a * s + dst[3] * d);
}

void GlSoftwareTarget::Triangle(const GlVertexRecord& a, const GlVertexRecord& b,
                                const GlVertexRecord& c) {
    const GlVertexRecord* v0 = &a;
    const GlVertexRecord* v1 = &b;
    const GlVertexRecord* v2 = &c;
    float area = Edge(*v0, *v1, Point{v2->x, v2->y});
    if (!std::isfinite(area) || area == 0) return;
    if (area < 0) {
        std::swap(v1, v2);
        area = -area;
    }
    const float minX = std::min({v0->x, v1->x, v2->x}), maxX = std::max({v0->x, v1->x, v2->x});
    const float minY = std::min({v0->y, v1->y, v2->y}), maxY = std::max({v0->y, v1->y, v2->y});
    const int x0 = std::max(0, static_cast<int>(std::floor(std::max(minX, -1.0f))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::max(minY, -1.0f))));
    const int x1 = std::min(limitWidth_ - 1, static_cast<int>(std::min(maxX, float(width_))));
    const int y1 = std::min(limitHeight_ - 1, static_cast<int>(std::min(maxY, float(height_))));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const Point p{x + 0.5f, y + 0.5f};
            const float w0 = Edge(*v1, *v2, p), w1 = Edge(*v2, *v0, p), w2 = Edge(*v0, *v1, p);
            if (!Covers(w0, *v1, *v2) || !Covers(w1, *v2, *v0) || !Covers(w2, *v0, *v1)) continue;
            const float l0 = w0 / area, l1 = w1 / area, l2 = w2 / area;
            auto mix = [&](int shift) {
                return l0 * Channel(v0->color, shift) + l1 * Channel(v1->color, shift) +
                       l2 * Channel(v2->color, shift);
            };
            Shade(x, y, Rgba{mix(0), mix(8), mix(16), mix(24)},
                  l0 * v0->u + l1 * v1->u + l2 * v2->u, l0 * v0->v + l1 * v1->v + l2 * v2->v);
        }
    }
}

void GlSoftwareTarget::Draw(GLenum mode, const std::vector<GlVertexRecord>& v) {
    auto colorOf = [](const GlVertexRecord& r) {
        return Rgba{Channel(r.color, 0), Channel(r.color, 8), Channel(r.color, 16),
                    Channel(r.color, 24)};
    };
    auto pixel = [](float c) { return static_cast<int>(std::floor(c)); };
    switch (mode) {
        case GL_TRIANGLES:
            for (size_t i = 0; i + 2 < v.size(); i += 3) Triangle(v[i], v[i + 1], v[i + 2]);
            break;
        case GL_TRIANGLE_FAN:
            for (size_t i = 1; i + 1 < v.size(); ++i) Triangle(v[0], v[i], v[i + 1]);
            break;
        case GL_POINTS:
            for (const GlVertexRecord& p : v) {
                if (std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e6f &&
                    std::fabs(p.y) < 1e6f) {
                    Shade(pixel(p.x), pixel(p.y), colorOf(p), p.u, p.v);
                }
            }
            break;
        case GL_LINES:
            for (size_t i = 0; i + 1 < v.size(); i += 2) {
                const GlVertexRecord& a = v[i];
                const GlVertexRecord& b = v[i + 1];
                const float length = std::max(std::fabs(b.x - a.x), std::fabs(b.y - a.y));
                if (!std::isfinite(length) || length > 1e5f) continue;
                const int steps = std::max(1, static_cast<int>(std::lround(length)));
                for (int s = 0; s < steps; ++s) {
                    const float t = (s + 0.5f) / steps;
                    Shade(pixel(a.x + (b.x - a.x) * t), pixel(a.y + (b.y - a.y) * t), colorOf(a),
                          a.u, a.v);
                }
            }
            break;
        default:
            break;
    }
}

void GlSoftwareTarget::Read(int x, int y, int width, int height, GLenum format,
                            uint8_t* out) const {
    for (int row = 0; row < height; ++row) {
        const int top = height_ - 1 - (y + row);
        for (int col = 0; col < width; ++col) {
            uint8_t* o = out + (static_cast<size_t>(row) * width + col) * 4;
            const int px = x + col;
            if (px < 0 || px >= width_ || top < 0 || top >= height_) {
                std::memset(o, 0, 4);
                continue;
            }
            const uint8_t* p = &rgba_[(static_cast<size_t>(top) * width_ + px) * 4];
            if (format == GL_BGRA) {
                o[0] = p[2], o[1] = p[1], o[2] = p[0], o[3] = p[3];
            } else {
                std::memcpy(o, p, 4);
            }
        }
    }
}
