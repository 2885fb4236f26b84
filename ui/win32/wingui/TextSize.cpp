#include "TextSize.h"

#include "core/TextScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velk::win32 {

UINT layoutDpi(HWND window, UINT monitorDpi, const Twips& client) {
    // "Make text bigger" scales the system's own fonts, the message text among them.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    double points = defaultTextPoints;
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                   monitorDpi) &&
        metrics.lfMessageFont.lfHeight != 0)
        points = std::abs(metrics.lfMessageFont.lfHeight) * 72.0 / monitorDpi;

    double largest = 1.0;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        RECT frame = toPixels({0, 0, client.width, client.height}, monitorDpi);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
        AdjustWindowRectExForDpi(&frame, style, FALSE, 0, monitorDpi);
        const RECT& work = monitor.rcWork;
        largest =
            std::min(static_cast<double>(work.right - work.left) / (frame.right - frame.left),
                     static_cast<double>(work.bottom - work.top) / (frame.bottom - frame.top));
    }
    return static_cast<UINT>(std::lround(monitorDpi * textScale(points, largest)));
}

} // namespace velk::win32
