#pragma once

#include <QColor>
#include <QRect>

#include <cstdint>

namespace velk::qt {

/// Positions are designed in twips; 15 twips make one pixel at 96 dpi.
constexpr int px(int twips) { return (twips * 2 + 15) / 30; }
constexpr QRect twips(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

/// A colour in the toolkit encoding (0x00BBGGRR, or a system colour index with the top bit
/// set) as Qt draws it.
QColor toQColor(std::uint32_t colour);

} // namespace velk::qt
