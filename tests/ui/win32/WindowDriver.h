#pragma once

// Drives the Win32 windows as the operator would, with the messages the controls send, and
// reads them back through the controls themselves.

#include "platform/windows/WindowsText.h"
#include "support/TempFolder.h"
#include "ui/win32/frmForm1/DriveList.h"
#include "ui/win32/frmForm1/FileList.h"
#include "ui/win32/frmForm1/FolderList.h"
#include "ui/win32/frmForm1/frmForm1.h"
#include "ui/win32/wingui/ColourButton.h"
#include "ui/win32/wingui/EditCtrl.h"
#include "ui/win32/wingui/FrameCtrl.h"
#include "ui/win32/wingui/LabelCtrl.h"
#include "ui/win32/wingui/PictureCtrl.h"
#include "ui/win32/wingui/ProgressCtrl.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velk::test::win32window {

using test::fromUtf8;
using test::TempFolder;
using test::utf8Of;

/// When VELK_SCREENSHOTS names a folder, saves the window as the screen shows it there as
/// <name>.bmp, for a person to look at; does nothing otherwise.
void screenshot(HWND window, const std::string& name);

/// Sends what the system sends when a window moves from a 96-dpi monitor to one of `dpi`.
void moveToDpi(HWND window, UINT dpi);
/// The height of the font a control draws with, or 0 when that font was deleted under it.
LONG fontHeight(HWND control);

/// Delivers every queued message (timer ticks, repaints, posted notifications).
void pump();
/// Forgets a WM_QUIT that Quit left in the test thread's queue.
void forgetQuit();

/// A control of the main window by its name in the layout; fails the test when it is missing.
win32::Ctrl& control(const win32::frmForm1& form, const char* name);

/// Clicks a button with BM_CLICK, which raises the button's own BN_CLICKED.
void click(const win32::Ctrl& button);
/// Selects a row as the mouse or the keyboard does: LB_SETCURSEL and the LBN_SELCHANGE the
/// list box then sends its parent.
void selectRow(const win32::Ctrl& list, int row);
/// Selects a row and double-clicks it (LBN_DBLCLK).
void doubleClickRow(const win32::Ctrl& list, int row);
/// Presses and releases `key` at the control that has the focus, through the program's own
/// message pump, as the keyboard does.
void press(WPARAM key);
/// Presses Tab until `target` has the focus; fails the test when it never does.
void tabTo(const win32::Ctrl& target);
/// Index of the row that reads `text`, or -1.
int findRow(const win32::Ctrl& list, const std::string& text);
std::vector<std::string> rows(const win32::Ctrl& list);
/// Picks the drive list's row that starts with `designation` (in either case), as the operator
/// does.
void pickDrive(const win32::Ctrl& driveList, const std::string& designation);

} // namespace velk::test::win32window
