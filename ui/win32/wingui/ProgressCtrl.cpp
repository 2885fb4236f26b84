#include "ProgressCtrl.h"

#include <cmath>

namespace velk::win32 {

void ProgressCtrl::create(HWND parent, UINT dpi) {
    Ctrl::create(parent, PROGRESS_CLASSW, WS_VISIBLE, 0, "", dpi);
    SendMessageW(hwnd(), PBM_SETRANGE32, 0, steps);
    SendMessageW(hwnd(), PBM_SETPOS, 0, 0);
}

void ProgressCtrl::setValue(float value, float shown) {
    m_value = value;
    SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(std::lround(shown * (steps / 100.0f))), 0);
}

int ProgressCtrl::position() const {
    return static_cast<int>(SendMessageW(hwnd(), PBM_GETPOS, 0, 0));
}

} // namespace velk::win32
