#include "Tooltips.h"

#include "platform/windows/WindowsText.h"

namespace velk::win32 {

namespace {

// A control's tool is known by the control's window, its owner by the control's parent.
TOOLINFOW toolOf(HWND control, wchar_t* text) {
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = text;
    return info;
}

} // namespace

Tooltips::~Tooltips() {
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
}

void Tooltips::create(HWND owner) {
    m_owner = owner;
    m_hwnd = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    // Long tips wrap instead of running off the screen.
    SendMessageW(m_hwnd, TTM_SETMAXTIPWIDTH, 0, 400);
}

void Tooltips::add(HWND control, const std::string& utf8) {
    std::wstring tip = widen(utf8);
    TOOLINFOW info = toolOf(control, tip.data());
    SendMessageW(m_hwnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void Tooltips::update(HWND control, const std::string& utf8) {
    std::wstring tip = widen(utf8);
    TOOLINFOW info = toolOf(control, tip.data());
    SendMessageW(m_hwnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

std::string Tooltips::tipOf(HWND control) const {
    wchar_t buffer[512] = {};
    TOOLINFOW info = toolOf(control, buffer);
    SendMessageW(m_hwnd, TTM_GETTEXTW, sizeof(buffer) / sizeof(buffer[0]),
                 reinterpret_cast<LPARAM>(&info));
    return narrow(buffer);
}

} // namespace velk::win32
