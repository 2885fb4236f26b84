#include "LabelCtrl.h"

namespace velk::win {

namespace {
constexpr std::uint32_t buttonFace = 0x8000000F;
}

void LabelCtrl::create(HWND parent, const std::string& caption, UINT dpi) {
    DWORD style = WS_VISIBLE | SS_NOPREFIX;
    switch (m_align) {
    case Align::left: style |= SS_LEFT; break;
    case Align::centre: style |= SS_CENTER; break;
    // A single line centred both ways (the gauge caption).
    case Align::centreMiddle: style |= SS_CENTER | SS_CENTERIMAGE; break;
    }
    if (m_border == Border::single)
        style |= WS_BORDER;
    Ctrl::create(parent, L"STATIC", style, 0, caption, dpi);
}

std::uint32_t LabelCtrl::backColour() const { return m_colour ? m_colour->value() : buttonFace; }

void LabelCtrl::setBackColour(std::uint32_t colour) {
    if (!m_colour)
        m_colour.emplace(colour);
    else if (!m_colour->set(colour))
        return;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

HBRUSH LabelCtrl::colours(HDC dc) {
    if (!m_colour)
        return nullptr;
    SetBkColor(dc, m_colour->ref());
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return m_colour->brush();
}

} // namespace velk::win
