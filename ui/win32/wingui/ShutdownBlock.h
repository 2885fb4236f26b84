#pragma once

// https://learn.microsoft.com/en-us/windows/win32/shutdown/shutdown-changes-for-windows-vista

#include "Win.h"

#include <string>

namespace velk::win32 {

/// While the object lives, a logoff or shutdown lists `window` with `reason` and waits for
/// the operator; the window itself refuses WM_QUERYENDSESSION for as long.
class ShutdownBlock {
public:
    ShutdownBlock(HWND window, const std::string& reason);
    ~ShutdownBlock();
    ShutdownBlock(const ShutdownBlock&) = delete;
    ShutdownBlock& operator=(const ShutdownBlock&) = delete;

private:
    HWND m_window;
};

} // namespace velk::win32
