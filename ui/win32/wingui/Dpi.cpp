#include "Dpi.h"

namespace velk::win32 {

int px(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

RECT toPixels(const Twips& box, UINT dpi) {
    const int left = px(box.left, dpi);
    const int top = px(box.top, dpi);
    return {left, top, left + px(box.width, dpi), top + px(box.height, dpi)};
}

} // namespace velk::win32
