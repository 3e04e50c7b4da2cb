// One scene that exercises every path from the graphics module to the pixels: clears, blending
// modes, images with handles, rotation and scale, frames of a strip, scissor, ovals, polygons,
// lines and points. Drawn once on real GL and once into the software frame buffer to compare.
#pragma once

#include <string>

#include "graphics/graphics.h"
#include "picture_files.h"

// A picture whose pixel (x, y) is (60x, 60y, 7, 255), except that column 1 is half transparent.
inline std::string WriteScenePng(const std::string& name, int width, int height) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t alpha = x == 1 ? 128 : 255;
            pixels.insert(pixels.end(),
                          {static_cast<uint8_t>(60 * x), static_cast<uint8_t>(60 * y), 7, alpha});
        }
    }
    return WritePng(name, width, height, 4, pixels);
}

// Everything lies on whole pixels so both rasterisers must agree exactly.
inline void DrawScene(const std::string& picture) {
    Image* image = LoadImage(String(picture.c_str()), 2, Image::MidHandle);
    Image* whole = LoadImage(String(picture.c_str()), 1, 0);
    Cls(0, 0, 200);
    SetColor(255, 0, 0);
    SetAlpha(0.6f);
    DrawRect(10, 10, 40, 30);
    SetAlpha(1);
    SetColor(255, 255, 255);
    if (image) {
        DrawImage(image, 100, 100, 0);
        DrawImage(image, 120, 100, 1);
        DrawImage2(image, 150, 100, 90, 2, 3, 1);
        DrawImage2(image, 200, 100, 180, 1, 1, 0);
    }
    if (whole) {
        DrawImage2(whole, 300, 50, 270, 4, 4, 0);
        SetColor(255, 128, 0);
        DrawImage(whole, 300, 150, 0);
    }
    SetBlend(1);
    SetColor(40, 50, 60);
    DrawRect(30, 20, 40, 40);
    SetBlend(0);
    SetScissor(400, 300, 20, 10);
    SetColor(0, 255, 0);
    DrawRect(380, 280, 100, 100);
    SetScissor(0, 0, static_cast<float>(DeviceWidth()), static_cast<float>(DeviceHeight()));
    SetColor(255, 255, 0);
    SetAlpha(0.5f);
    PushMatrix();
    Translate(500, 400);
    DrawRect(-20, -20, 40, 40);
    Rotate(90);
    DrawRect(0, 0, 10, 20);
    PopMatrix();
}
