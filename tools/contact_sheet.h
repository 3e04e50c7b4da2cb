// Review sheets: every picture of one density on a grey background, labelled, so the whole
// set can be judged at a glance.
#pragma once

#include <string>
#include <vector>

#include "tools/files.h"

namespace assets {

struct SheetEntry {
    std::string label;
    const Bitmap* image;
    int frameWidth, frameHeight;  // texels, for the cut lines
};

Bitmap contactSheet(const std::vector<SheetEntry>& entries, int labelScale);

}  // namespace assets
