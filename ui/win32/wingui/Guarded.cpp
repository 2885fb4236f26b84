#include "Guarded.h"

#include <utility>

namespace velk::win32 {

namespace {
FaultReport faultReport;
}

void setFaultReport(FaultReport report) {
    faultReport = std::move(report);
}

void reportFault(HWND owner, const char* what) noexcept {
    // A fault while painting would come back with every repaint the report itself causes.
    static bool reporting = false;
    if (reporting)
        return;
    reporting = true;
    try {
        if (faultReport)
            faultReport(GetAncestor(owner, GA_ROOT), what);
        else
            MessageBeep(MB_ICONHAND);
    } catch (...) {
        MessageBeep(MB_ICONHAND);
    }
    reporting = false;
}

} // namespace velk::win32
