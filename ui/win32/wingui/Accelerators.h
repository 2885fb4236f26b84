#pragma once

// https://learn.microsoft.com/en-us/windows/win32/menurc/keyboard-accelerators

#include "Win.h"

#include <vector>

namespace velk::win32 {

/// The keyboard shortcuts of one top-level window. A key pressed in any of its controls
/// becomes a WM_COMMAND to the window itself (HIWORD(wParam) 1, lParam 0), so a shortcut
/// works wherever the focus is.
class Accelerators {
public:
    Accelerators(HWND window, const std::vector<ACCEL>& keys);
    ~Accelerators();
    Accelerators(const Accelerators&) = delete;
    Accelerators& operator=(const Accelerators&) = delete;

    /// True when `message` was one of the window's shortcuts and its command was sent.
    bool handle(const MSG& message) const;

    /// Offers `message` to every window's shortcuts.
    static bool anyHandles(const MSG& message);

private:
    HWND m_window;
    HACCEL m_table;
};

} // namespace velk::win32
