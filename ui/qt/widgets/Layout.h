#pragma once

#include "core/TwipsBox.h"

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QString>

#include <string_view>

#include <cstdint>

class QWidget;

namespace velk::qt {

/// Positions are designed in twips; 15 twips make one pixel at 96 dpi.
constexpr int px(int twips) {
    return (twips * 2 + 15) / 30;
}
constexpr QRect twips(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}
constexpr QRect pixels(const TwipsBox& box) {
    return twips(box.left, box.top, box.width, box.height);
}

/// UTF-8 text of core as Qt holds it.
inline QString qtText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

/// Fills a widget's `role` (its window, or a text box's base) with a colour in the toolkit
/// encoding, its text in the colour that stands out from it, and keeps the colour as the
/// widget's "backColour" for reading back.
void paintBack(QWidget* w, QPalette::ColorRole role, std::uint32_t colour);

/// A colour in the toolkit encoding (0x00BBGGRR, or a system colour index with the top bit
/// set) as Qt draws it.
QColor toQColor(std::uint32_t colour);

/// True when the window tells its coloured states in words on screen too: the palette is dark.
[[nodiscard]] bool coloursInWords(const QPalette& palette);

} // namespace velk::qt
