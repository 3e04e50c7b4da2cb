#include "tools/contact_sheet.h"

#include <algorithm>

#include "tools/pixel_font.h"

namespace assets {
namespace {

constexpr int kMargin = 16;
constexpr uint8_t kGrey = 128;

void setPixel(Bitmap& b, int x, int y, uint8_t r, uint8_t g, uint8_t bl) {
    if (x < 0 || y < 0 || x >= b.width || y >= b.height) return;
    uint8_t* p = &b.rgba[(static_cast<size_t>(y) * b.width + x) * 4];
    p[0] = r, p[1] = g, p[2] = bl, p[3] = 255;
}

void label(Bitmap& b, const std::string& text, int x, int y, int scale) {
    for (size_t i = 0; i < text.size(); ++i)
        for (int row = 0; row < kGlyphRows; ++row)
            for (int col = 0; col < kGlyphColumns; ++col) {
                if (!glyphPixel(static_cast<unsigned char>(text[i]), col, row)) continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        setPixel(b, x + (static_cast<int>(i) * 6 + col) * scale + dx,
                                 y + row * scale + dy, 255, 255, 255);
            }
}

// Alpha-over onto the grey, with a faint line where the loader cuts frames.
void place(Bitmap& sheet, const SheetEntry& e, int ox, int oy) {
    const Bitmap& img = *e.image;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* s = &img.rgba[(static_cast<size_t>(y) * img.width + x) * 4];
            const bool cut = (e.frameWidth > 0 && x % e.frameWidth == 0) ||
                             (e.frameHeight > 0 && y % e.frameHeight == 0);
            const int under = cut ? kGrey - 24 : kGrey;
            auto over = [&](int c) {
                return static_cast<uint8_t>((c * s[3] + under * (255 - s[3])) / 255);
            };
            setPixel(sheet, ox + x, oy + y, over(s[0]), over(s[1]), over(s[2]));
        }
}

}  // namespace

Bitmap contactSheet(const std::vector<SheetEntry>& entries, int labelScale) {
    int widest = 0;
    for (const SheetEntry& e : entries) widest = std::max(widest, e.image->width);
    const int width = std::max(widest + 2 * kMargin, 1400);
    const int labelHeight = (kGlyphRows + 3) * labelScale;
    // shelf layout: left to right, a new shelf when the row is full
    struct Slot {
        int x, y;
    };
    std::vector<Slot> slots;
    int x = kMargin, y = kMargin, shelf = 0;
    for (const SheetEntry& e : entries) {
        const int w = std::max(e.image->width, static_cast<int>(e.label.size()) * 6 * labelScale);
        if (x + w + kMargin > width && x > kMargin) {
            x = kMargin;
            y += shelf + kMargin;
            shelf = 0;
        }
        slots.push_back({x, y});
        x += w + kMargin;
        shelf = std::max(shelf, labelHeight + e.image->height);
    }
    Bitmap sheet{width, y + shelf + kMargin, {}};
    sheet.rgba.assign(static_cast<size_t>(sheet.width) * sheet.height * 4, 255);
    for (size_t i = 0; i < sheet.rgba.size(); i += 4)
        sheet.rgba[i] = sheet.rgba[i + 1] = sheet.rgba[i + 2] = kGrey;
    for (size_t i = 0; i < entries.size(); ++i) {
        label(sheet, entries[i].label, slots[i].x, slots[i].y, labelScale);
        place(sheet, entries[i], slots[i].x, slots[i].y + labelHeight);
    }
    return sheet;
}

}  // namespace assets
