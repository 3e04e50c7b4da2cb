// Writing the generator's output files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/canvas.h"

namespace assets {

// Creates every missing folder on the way to `path` (the last component is a file name).
void makeParentFolders(const std::string& path);

// Straight-alpha 8-bit RGBA rows, top row first.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// Texels with no coverage become (0,0,0,0) so nothing bright hides under zero alpha.
Bitmap toBitmap(const Canvas& canvas);
// Throws std::runtime_error when the file cannot be written.
void writePng(const std::string& path, const Bitmap& bitmap);
void writePng(const std::string& path, const Canvas& canvas);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace assets
