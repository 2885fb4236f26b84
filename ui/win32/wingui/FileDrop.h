#pragma once

// https://learn.microsoft.com/en-us/windows/win32/shell/wm-dropfiles

#include "Win.h"

#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace velk::win32 {

/// Lets one control take files dragged from Explorer. The control's own class knows nothing
/// of WM_DROPFILES, so the control is subclassed for that one message.
class FileDrop {
public:
    /// Full UTF-8 paths of the files dropped, in the order Explorer gave them.
    using Handler = std::function<void(const std::vector<std::string>& paths)>;

    FileDrop(HWND target, Handler handler);
    ~FileDrop();
    FileDrop(const FileDrop&) = delete;
    FileDrop& operator=(const FileDrop&) = delete;

    /// The paths in a drop's HDROP; the HDROP itself stays the caller's.
    [[nodiscard]] static std::vector<std::string> paths(HDROP drop);

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self);

    HWND m_target;
    Handler m_handler;
};

} // namespace velk::win32
