#pragma once

#include "Dpi.h"
#include "Win.h"

namespace velk::win32 {

/// The DPI a window with a fixed layout is laid out at on a monitor of `monitorDpi`: more
/// than the monitor's when the operator made the system's text larger, so that the whole
/// layout, fonts and boxes, grows with it; never so large that a client area of `client`
/// (twips) with its frame leaves the monitor's work area.
[[nodiscard]] UINT layoutDpi(HWND window, UINT monitorDpi, const Twips& client);

} // namespace velk::win32
