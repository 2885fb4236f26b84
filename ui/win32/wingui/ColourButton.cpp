#include "ColourButton.h"

#include "platform/WindowsText.h"
#include "core/Texts.h"

namespace velk::win32 {

void ColourButton::create(HWND parent, const std::string& caption, UINT dpi) {
    m_caption = caption;
    createStyled(parent, caption, dpi, BS_OWNERDRAW);
}

void ColourButton::setStateWords(std::string_view words) const {
    setText(words.empty() ? m_caption : m_caption + text::stateSeparator + std::string(words));
}

void ColourButton::setBackColour(std::uint32_t colour) {
    if (m_colour.set(colour))
        InvalidateRect(hwnd(), nullptr, TRUE);
}

bool ColourButton::draw(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    RECT face = r;
    InflateRect(&face, -2, -2);
    FillRect(item.hDC, &face, m_colour.brush());

    const std::wstring caption = widen(m_caption);
    RECT textBox = face;
    if (pressed)
        OffsetRect(&textBox, 1, 1);
    // Centre the wrapped caption vertically: measure it first, then draw it in the middle.
    RECT measured = textBox;
    DrawTextW(item.hDC, caption.c_str(), -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    const int spare = (textBox.bottom - textBox.top) - (measured.bottom - measured.top);
    textBox.top += spare > 0 ? spare / 2 : 0;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(item.hDC, caption.c_str(), -1, &textBox, DT_CENTER | DT_WORDBREAK);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&face, -1, -1);
        DrawFocusRect(item.hDC, &face);
    }
    return true;
}

} // namespace velk::win32
