// Round stroked letters for the title and the maker's logo (only the letters they need).
#pragma once

#include <string>

#include "tools/canvas.h"

namespace assets {

// The letters of `text` laid out from (x, baseline), cap height 14·scale, each stroke
// `stroke`·scale wide. Unknown characters are skipped. `width` receives the total advance.
Shape lettering(const std::string& text, double x, double baseline, double scale, double stroke,
                double* width = nullptr);
double letteringWidth(const std::string& text, double scale);

}  // namespace assets
