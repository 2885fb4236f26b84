#include "Colour.h"

#include "core/ReadableColours.h"

namespace velk::win32 {

COLORREF toColorRef(std::uint32_t colour) {
    if (colour & 0x80000000u)
        return GetSysColor(static_cast<int>(colour & 0xFFu));
    // The toolkit's RGB layout is GDI's own.
    return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

BackColour::~BackColour() {
    if (m_brush)
        DeleteObject(m_brush);
}

bool BackColour::set(std::uint32_t colour) {
    if (m_brush && colour == m_value)
        return false;
    if (m_brush)
        DeleteObject(m_brush);
    m_value = colour;
    m_brush = CreateSolidBrush(toColorRef(colour));
    return true;
}

void BackColour::refresh() {
    if (m_value & 0x80000000u) {
        DeleteObject(m_brush);
        m_brush = CreateSolidBrush(toColorRef(m_value));
    }
}

COLORREF BackColour::ink() const {
    return toColorRef(textColourOn(m_value));
}

} // namespace velk::win32
