#include "RadioCtrl.h"

namespace velk::win32 {

void RadioCtrl::create(HWND parent, const std::string& caption, UINT dpi, bool startsGroup) {
    createStyled(parent, caption, dpi, BS_AUTORADIOBUTTON | (startsGroup ? WS_GROUP : 0));
}

bool RadioCtrl::isChecked() const {
    return SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RadioCtrl::setChecked(bool checked) const {
    SendMessageW(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

} // namespace velk::win32
