#pragma once

#include "ButtonCtrl.h"

namespace velk::win32 {

/// An option button; the first of a group starts the group.
class RadioCtrl : public ButtonCtrl {
public:
    using ButtonCtrl::ButtonCtrl;

    void create(HWND parent, const std::string& caption, UINT dpi, bool startsGroup);
    [[nodiscard]] bool isChecked() const;
    void setChecked(bool checked) const;
};

} // namespace velk::win32
