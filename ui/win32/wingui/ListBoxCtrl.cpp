#include "ListBoxCtrl.h"

#include "platform/windows/WindowsText.h"

namespace velk::win32 {

namespace {

constexpr std::uint32_t windowBack = 0x80000005;

// Return acts on the row the keyboard is on, as a click there would, and then as a double-click
// where the list has one: a list works without a mouse.
LRESULT CALLBACK returnActivates(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
    if (message != WM_KEYDOWN || wParam != VK_RETURN)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    auto* list = reinterpret_cast<ListBoxCtrl*>(data);
    const auto row = static_cast<int>(SendMessageW(hwnd, LB_GETCARETINDEX, 0, 0));
    if (row < 0 || row >= list->count())
        return 0;
    list->select(row);
    if (list->onDoubleClick)
        list->onDoubleClick();
    else if (list->onSelect)
        list->onSelect();
    return 0;
}

} // namespace

void ListBoxCtrl::create(HWND parent, UINT dpi, DWORD extraStyle) {
    Ctrl::create(parent, L"LISTBOX",
                 WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                     extraStyle,
                 WS_EX_CLIENTEDGE, "", dpi);
    SetWindowSubclass(hwnd(), returnActivates, 2, reinterpret_cast<DWORD_PTR>(this));
}

int ListBoxCtrl::count() const {
    return static_cast<int>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0));
}

std::string ListBoxCtrl::row(int index) const {
    const LRESULT length = SendMessageW(hwnd(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(hwnd(), LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return narrow(buffer);
}

int ListBoxCtrl::selected() const {
    const LRESULT index = SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBoxCtrl::select(int index) const {
    SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ListBoxCtrl::add(const std::string& utf8) const {
    SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(utf8).c_str()));
}

void ListBoxCtrl::remove(int index) const {
    SendMessageW(hwnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBoxCtrl::clear() const {
    SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
}

std::uint32_t ListBoxCtrl::backColour() const {
    return m_colour ? m_colour->value() : windowBack;
}

void ListBoxCtrl::setBackColour(std::uint32_t colour) {
    if (!m_colour)
        m_colour.emplace(colour);
    else if (!m_colour->set(colour))
        return;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

HBRUSH ListBoxCtrl::colours(HDC dc) {
    if (!m_colour)
        return nullptr;
    SetBkColor(dc, m_colour->ref());
    SetTextColor(dc, m_colour->ink());
    return m_colour->brush();
}

void ListBoxCtrl::command(WORD code) {
    if (code == LBN_SELCHANGE && onSelect)
        onSelect();
    else if (code == LBN_DBLCLK && onDoubleClick)
        onDoubleClick();
}

} // namespace velk::win32
