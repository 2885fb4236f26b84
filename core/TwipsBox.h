#pragma once

namespace velk {

/// A box in twips (1/1440 inch) from the top-left corner of the client area, or of the frame
/// that holds the control. A line runs along its box, which is then zero wide or zero high.
struct TwipsBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

} // namespace velk
