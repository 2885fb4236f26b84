#include "ProgressCtrl.h"

#include <algorithm>
#include <cmath>

namespace velk::win {

void ProgressCtrl::create(HWND parent, UINT dpi) {
    Ctrl::create(parent, PROGRESS_CLASSW, WS_VISIBLE, 0, "", dpi);
    SendMessageW(hwnd(), PBM_SETRANGE32, 0, steps);
    SendMessageW(hwnd(), PBM_SETPOS, 0, 0);
}

void ProgressCtrl::setValue(float value) {
    m_value = value;
    // A value past 100 (a source that grew since it was measured) draws as a full bar.
    const float shown = std::isfinite(value) ? std::clamp(value, 0.0f, 100.0f) : 0.0f;
    SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(std::lround(shown * (steps / 100.0f))), 0);
}

int ProgressCtrl::position() const { return static_cast<int>(SendMessageW(hwnd(), PBM_GETPOS, 0, 0)); }

} // namespace velk::win
