#pragma once

#include "Win.h"

#include <exception>
#include <functional>
#include <string>

namespace velk::win32 {

/// What the program does with an exception that reached a window procedure: `owner` is the
/// top-level window it reached, `what` the exception's message. Until one is set, a fault beeps.
using FaultReport = std::function<void(HWND owner, const std::string& what)>;
void setFaultReport(FaultReport report);

/// Hands an exception that reached a window procedure to the fault report.
void reportFault(HWND owner, const char* what) noexcept;

/// Runs the work of a window procedure. An exception must not unwind through the system code
/// that called the procedure (undefined on x64), so it stops here: the operator is told and
/// the window goes on with its next message.
template <typename Work> LRESULT guarded(HWND hwnd, Work&& work) noexcept {
    try {
        return work();
    } catch (const std::exception& e) {
        reportFault(hwnd, e.what());
    } catch (...) {
        reportFault(hwnd, "?");
    }
    return 0;
}

} // namespace velk::win32
