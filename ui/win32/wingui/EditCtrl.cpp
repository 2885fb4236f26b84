#include "EditCtrl.h"

#include "platform/windows/WindowsText.h"

#include <commctrl.h>

namespace velk::win32 {

namespace {

constexpr std::uint32_t windowBack = 0x80000005;

std::string replaceAll(std::string s, std::string_view from, std::string_view to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

// The multi-line edit shows no cue banner, so the placeholder is painted over the empty box.
LRESULT CALLBACK placeholderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_PAINT && GetWindowTextLengthW(hwnd) == 0) {
        const auto* edit = reinterpret_cast<const EditCtrl*>(data);
        if (!edit->placeholder().empty()) {
            HDC dc = GetDC(hwnd);
            RECT r;
            SendMessageW(hwnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
            const HGDIOBJ old =
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            DrawTextW(dc, edit->placeholder().c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, old);
            ReleaseDC(hwnd, dc);
        }
    }
    return result;
}

} // namespace

void EditCtrl::create(HWND parent, UINT dpi) {
    DWORD style = WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL;
    if (m_scroll == Scroll::vertical)
        style |= WS_VSCROLL;
    Ctrl::create(parent, L"EDIT", style, WS_EX_CLIENTEDGE, "", dpi);
    SetWindowSubclass(hwnd(), placeholderProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

std::string EditCtrl::text() const {
    return replaceAll(Ctrl::text(), "\r\n", "\n");
}

void EditCtrl::setText(const std::string& utf8) const {
    Ctrl::setText(replaceAll(utf8, "\n", "\r\n"));
}

std::uint32_t EditCtrl::backColour() const {
    return m_colour ? m_colour->value() : windowBack;
}

void EditCtrl::setBackColour(std::uint32_t colour) {
    if (!m_colour)
        m_colour.emplace(colour);
    else if (!m_colour->set(colour))
        return;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void EditCtrl::refreshColours() {
    if (m_colour)
        m_colour->refresh();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void EditCtrl::setPlaceholder(const std::string& utf8) {
    m_placeholder = widen(utf8);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void EditCtrl::command(WORD code) {
    if (code == EN_CHANGE && onChange)
        onChange();
}

HBRUSH EditCtrl::colours(HDC dc) {
    if (!m_colour)
        return nullptr;
    SetBkColor(dc, m_colour->ref());
    SetTextColor(dc, m_colour->ink());
    return m_colour->brush();
}

} // namespace velk::win32
