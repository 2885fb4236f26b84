#include "LabelCtrl.h"

#include "platform/windows/WindowsText.h"

#include <algorithm>

namespace velk::win32 {

namespace {
constexpr std::uint32_t buttonFace = 0x8000000F;
}

void LabelCtrl::create(HWND parent, const std::string& caption, UINT dpi) {
    DWORD style = WS_VISIBLE | SS_NOPREFIX;
    switch (m_align) {
    case Align::left:
        style |= SS_LEFT;
        break;
    case Align::centre:
        style |= SS_CENTER;
        break;
    // The static control's own wrapping keeps a long word on one line, cut off at the edge.
    case Align::wrapped:
        style |= SS_OWNERDRAW;
        break;
    }
    // Drawn by us, to put the words for its state below the caption it holds as window text.
    if (m_showsState)
        style = (style & ~SS_TYPEMASK) | SS_OWNERDRAW;
    if (m_border == Border::single)
        style |= WS_BORDER;
    m_caption = caption;
    Ctrl::create(parent, L"STATIC", style, 0, caption, dpi);
}

std::string LabelCtrl::caption() const {
    return m_showsState ? m_caption : text();
}

void LabelCtrl::setCaption(const std::string& utf8) {
    m_caption = utf8;
    if (m_stateWords.empty() || m_caption.empty())
        setText(m_caption + m_stateWords);
    else
        setText(m_caption + m_separator + m_stateWords);
}

void LabelCtrl::setStateWords(std::string_view words, std::string_view separator) {
    m_stateWords = words;
    m_separator = separator;
    setCaption(m_caption);
}

std::uint32_t LabelCtrl::backColour() const {
    return m_colour ? m_colour->value() : buttonFace;
}

void LabelCtrl::setBackColour(std::uint32_t colour) {
    if (!m_colour)
        m_colour.emplace(colour);
    else if (!m_colour->set(colour))
        return;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void LabelCtrl::setWord(std::string word, const Font& small) {
    if (word == m_word)
        return;
    m_word = std::move(word);
    m_small = &small;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void LabelCtrl::refreshColours() {
    if (m_colour)
        m_colour->refresh();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

HBRUSH LabelCtrl::colours(HDC dc) {
    if (!m_colour)
        return nullptr;
    SetBkColor(dc, m_colour->ref());
    SetTextColor(dc, m_colour->ink());
    return m_colour->brush();
}

namespace {

constexpr UINT wrapping = DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

int heightOf(HDC dc, const std::wstring& text, const RECT& box) {
    RECT needed = box;
    DrawTextW(dc, text.c_str(), -1, &needed, wrapping | DT_CALCRECT);
    return needed.bottom - needed.top;
}

} // namespace

std::wstring LabelCtrl::fitted(HDC dc, const std::wstring& caption, const RECT& box) const {
    if (!m_shorten)
        return caption;
    const int room = box.bottom - box.top;
    const auto fits = [&](const std::string& text) {
        return heightOf(dc, widen(text), box) <= room;
    };
    return widen(m_shorten(narrow(caption), fits));
}

std::string LabelCtrl::shownText() const {
    if (m_align != Align::wrapped)
        return text();
    HDC dc = GetDC(hwnd());
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    RECT box;
    GetClientRect(hwnd(), &box);
    const std::wstring shown = fitted(dc, widen(text()), box);
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    return narrow(shown);
}

void LabelCtrl::drawState(const DRAWITEMSTRUCT& item) const {
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, m_colour ? m_colour->brush() : GetSysColorBrush(COLOR_BTNFACE));
    const HFONT own = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(item.hDC, m_word.empty() ? own : m_small->handle());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, m_colour ? m_colour->ink() : GetSysColor(COLOR_WINDOWTEXT));
    const std::wstring shown = widen(m_word.empty() ? m_caption : m_caption + "\n" + m_word);
    DrawTextW(item.hDC, shown.c_str(), -1, &box,
              (m_align == Align::centre ? DT_CENTER : DT_LEFT) | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(item.hDC, old);
}

bool LabelCtrl::draw(const DRAWITEMSTRUCT& item) {
    if (m_showsState) {
        drawState(item);
        return true;
    }
    RECT box = item.rcItem;
    FillRect(item.hDC, &box, m_colour ? m_colour->brush() : GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ old =
        SelectObject(item.hDC, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, m_colour ? m_colour->ink() : GetSysColor(COLOR_WINDOWTEXT));
    const std::wstring shown = fitted(item.hDC, widen(text()), box);
    box.top += std::max(0L, (box.bottom - box.top - heightOf(item.hDC, shown, box)) / 2);
    DrawTextW(item.hDC, shown.c_str(), -1, &box, wrapping);
    SelectObject(item.hDC, old);
    return true;
}

} // namespace velk::win32
