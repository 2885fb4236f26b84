#pragma once

// https://learn.microsoft.com/en-us/windows/win32/controls/buttons

#include "Ctrl.h"

#include <functional>

namespace velk::win32 {

/// A push button whose caption wraps onto a second line where the box is narrow.
class ButtonCtrl : public Ctrl {
public:
    using Ctrl::Ctrl;

    void create(HWND parent, const std::string& caption, UINT dpi);

    std::function<void()> onClick;

protected:
    void createStyled(HWND parent, const std::string& caption, UINT dpi, DWORD extraStyle);
    void command(WORD code) override;
};

} // namespace velk::win32
