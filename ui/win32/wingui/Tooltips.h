#pragma once

// https://learn.microsoft.com/en-us/windows/win32/controls/tooltip-controls

#include "Win.h"

#include <string>

namespace velk::win32 {

/// One tooltip window for all the controls of a window.
class Tooltips {
public:
    Tooltips() = default;
    ~Tooltips();
    Tooltips(const Tooltips&) = delete;
    Tooltips& operator=(const Tooltips&) = delete;

    void create(HWND owner);
    void add(HWND control, const std::string& utf8);
    /// Replaces the tip of a control that `add` gave one.
    void update(HWND control, const std::string& utf8);
    /// The tip shown for `control`, "" when it has none.
    [[nodiscard]] std::string tipOf(HWND control) const;

private:
    HWND m_owner = nullptr;
    HWND m_hwnd = nullptr;
};

} // namespace velk::win32
