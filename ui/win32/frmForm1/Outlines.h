#pragma once

#include "ui/win32/wingui/Win.h"

namespace velk::win32 {

/// Draws the main window's designed rectangles and lines on its surface at `dpi`, in the
/// window text's colour, 3 pixels wide at 96 dpi.
void paintOutlines(HDC dc, UINT dpi);

} // namespace velk::win32
