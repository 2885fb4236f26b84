#include "ColourButton.h"

#include "core/ReadableColours.h"
#include "platform/windows/WindowsText.h"

namespace velk::win32 {

void ColourButton::create(HWND parent, const std::string& caption, UINT dpi) {
    m_caption = caption;
    createStyled(parent, caption, dpi, BS_OWNERDRAW);
}

void ColourButton::setStateWords(std::string_view words, std::string_view separator) const {
    setText(words.empty() ? m_caption : m_caption + std::string(separator) + std::string(words));
}

void ColourButton::setBackColour(std::uint32_t colour) {
    if (m_colour.set(colour))
        InvalidateRect(hwnd(), nullptr, TRUE);
}

void ColourButton::setWord(std::string word, const Font& small) {
    if (word == m_word)
        return;
    m_word = std::move(word);
    m_small = &small;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void ColourButton::refreshColours() {
    m_colour.refresh();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

bool ColourButton::draw(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    RECT face = r;
    InflateRect(&face, -2, -2);
    FillRect(item.hDC, &face, m_colour.brush());

    const std::wstring caption = widen(m_word.empty() ? m_caption : m_caption + "\n" + m_word);
    const HGDIOBJ old = m_word.empty() ? nullptr : SelectObject(item.hDC, m_small->handle());
    RECT textBox = face;
    if (pressed)
        OffsetRect(&textBox, 1, 1);
    // Centre the wrapped caption vertically: measure it first, then draw it in the middle.
    RECT measured = textBox;
    DrawTextW(item.hDC, caption.c_str(), -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    const int spare = (textBox.bottom - textBox.top) - (measured.bottom - measured.top);
    textBox.top += spare > 0 ? spare / 2 : 0;
    SetBkMode(item.hDC, TRANSPARENT);
    // The face is a fixed colour: the caption takes the ink that stands out from it.
    SetTextColor(item.hDC, (item.itemState & ODS_DISABLED)
                               ? toColorRef(lockedTextColourOn(m_colour.value()))
                               : m_colour.ink());
    DrawTextW(item.hDC, caption.c_str(), -1, &textBox, DT_CENTER | DT_WORDBREAK);
    if (old)
        SelectObject(item.hDC, old);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&face, -1, -1);
        DrawFocusRect(item.hDC, &face);
    }
    return true;
}

} // namespace velk::win32
