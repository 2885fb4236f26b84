#pragma once

// https://learn.microsoft.com/en-us/windows/win32/menurc/using-menus#displaying-a-shortcut-menu

#include "Win.h"

#include <string>
#include <vector>

namespace velk::win32 {

struct MenuEntry {
    UINT id;
    /// UTF-8; a tab separates the shortcut shown at the right, as in "Open\tCtrl+O".
    std::string caption;
    /// A disabled entry is shown greyed and cannot be chosen.
    bool enabled = true;
};

/// Shows a shortcut menu at `screen` and waits until the operator closes it. Returns the id
/// of the entry chosen, 0 when none was.
UINT showPopupMenu(HWND owner, POINT screen, const std::vector<MenuEntry>& entries);

/// Where a WM_CONTEXTMENU asks for its menu: the mouse's point, or for the keyboard
/// (Shift+F10, the menu key) the top left corner of `control`.
POINT contextMenuPoint(HWND control, LPARAM lParam);

} // namespace velk::win32
