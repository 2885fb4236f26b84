#include "ReadableColours.h"

#include "Colours.h"

#include <cmath>

namespace velk {

namespace {

/// Relative luminance as the web's contrast guidelines define it, 0 for black to 1 for white.
double luminance(std::uint32_t rgb) {
    const auto channel = [rgb](int shift) {
        const double c = static_cast<double>((rgb >> shift) & 0xFFu) / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(0) + 0.7152 * channel(8) + 0.0722 * channel(16);
}

bool isSystemColour(std::uint32_t colour) {
    return (colour & 0x80000000u) != 0;
}

} // namespace

std::uint32_t textColourOn(std::uint32_t back) {
    if (isSystemColour(back)) {
        switch (back) {
        case colour::buttonFace:
            return colour::buttonText;
        case colour::highlight:
            return colour::highlightText;
        default:
            return colour::windowText;
        }
    }
    // The contrast ratios against black and against white: (L + 0.05) / 0.05 and 1.05 / (L + 0.05).
    const double l = luminance(back);
    return (l + 0.05) * (l + 0.05) >= 0.05 * 1.05 ? colour::black : colour::white;
}

std::uint32_t lockedTextColourOn(std::uint32_t back) {
    return isSystemColour(back) ? colour::grayText : colour::middleGrey;
}

bool coloursInWords(bool highContrast, std::uint32_t windowRgb, std::uint32_t windowTextRgb) {
    return highContrast || luminance(windowRgb) < luminance(windowTextRgb);
}

} // namespace velk
