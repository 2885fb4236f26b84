#include "LabelCtrl.h"

#include "Text.h"

namespace velk::win {

namespace {
constexpr std::uint32_t buttonFace = 0x8000000F;
}

void LabelCtrl::create(HWND parent, const std::string& caption, UINT dpi) {
    DWORD style = WS_VISIBLE | SS_NOPREFIX;
    switch (m_align) {
    case Align::left: style |= SS_LEFT; break;
    case Align::centre: style |= SS_CENTER; break;
    // The static control's own wrapping keeps a long word on one line, cut off at the edge.
    case Align::wrapped: style |= SS_OWNERDRAW; break;
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

bool LabelCtrl::draw(const DRAWITEMSTRUCT& item) {
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, m_colour ? m_colour->brush() : GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring caption = widen(text());
    const HGDIOBJ old = SelectObject(item.hDC, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
    constexpr UINT format = DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
    RECT needed = box;
    DrawTextW(item.hDC, caption.c_str(), -1, &needed, format | DT_CALCRECT);
    const int spare = (box.bottom - box.top) - (needed.bottom - needed.top);
    if (spare > 0)
        box.top += spare / 2;
    DrawTextW(item.hDC, caption.c_str(), -1, &box, format);
    SelectObject(item.hDC, old);
    return true;
}

} // namespace velk::win
