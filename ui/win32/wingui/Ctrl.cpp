#include "Ctrl.h"

#include "platform/windows/WindowsText.h"

namespace velk::win32 {

Ctrl::~Ctrl() {
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

void Ctrl::create(HWND parent, const wchar_t* windowClass, DWORD style, DWORD exStyle,
                  const std::string& text, UINT dpi) {
    const RECT r = toPixels(m_box, dpi);
    m_hwnd = CreateWindowExW(exStyle, windowClass, widen(text).c_str(),
                             style | WS_CHILD | WS_CLIPSIBLINGS, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Ctrl::place(UINT dpi) const {
    const RECT r = toPixels(m_box, dpi);
    SetWindowPos(m_hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Ctrl::setFont(HFONT font) const {
    SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

std::string Ctrl::text() const {
    std::wstring buffer(static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
    const int length = GetWindowTextW(m_hwnd, buffer.data(), static_cast<int>(buffer.size()));
    buffer.resize(static_cast<std::size_t>(length));
    return narrow(buffer);
}

void Ctrl::setText(const std::string& utf8) const {
    if (text() != utf8)
        SetWindowTextW(m_hwnd, widen(utf8).c_str());
}

bool Ctrl::isVisible() const {
    return (GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Ctrl::setVisible(bool visible) const {
    ShowWindow(m_hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

bool Ctrl::isEnabled() const {
    return IsWindowEnabled(m_hwnd) != FALSE;
}

void Ctrl::setEnabled(bool enabled) const {
    EnableWindow(m_hwnd, enabled ? TRUE : FALSE);
}

Ctrl* Ctrl::from(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    // Only our own controls carry a user-data pointer; a system child (a combo's edit) has none.
    return reinterpret_cast<Ctrl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool Ctrl::route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (Ctrl* c = from(reinterpret_cast<HWND>(lParam))) {
            c->command(HIWORD(wParam));
            result = 0;
            return true;
        }
        return false;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        Ctrl* c = from(item->hwndItem);
        if (c && c->draw(*item)) {
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        if (Ctrl* c = from(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = c->colours(reinterpret_cast<HDC>(wParam))) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        }
        return false;
    default:
        return false;
    }
}

} // namespace velk::win32
