#include "ButtonCtrl.h"

namespace velk::win32 {

void ButtonCtrl::create(HWND parent, const std::string& caption, UINT dpi) {
    createStyled(parent, caption, dpi, BS_PUSHBUTTON | BS_MULTILINE);
}

void ButtonCtrl::createStyled(HWND parent, const std::string& caption, UINT dpi, DWORD extraStyle) {
    Ctrl::create(parent, L"BUTTON", WS_VISIBLE | WS_TABSTOP | extraStyle, 0, caption, dpi);
}

void ButtonCtrl::command(WORD code) {
    if (code == BN_CLICKED && onClick)
        onClick();
}

} // namespace velk::win32
