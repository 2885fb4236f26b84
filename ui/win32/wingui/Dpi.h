#pragma once

#include "Win.h"

namespace velk::win32 {

/// A box in twips (left, top, width, height), the unit the layout is drawn in.
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

/// Twips to pixels at `dpi`: 1440 twips to the inch, so 15 to the pixel at 96 dpi.
[[nodiscard]] int px(int twips, UINT dpi);
[[nodiscard]] RECT toPixels(const Twips& box, UINT dpi);

} // namespace velk::win32
