#pragma once

#include "Win.h"

#include <vector>

namespace velk::win32 {

/// The Tab and Shift+Tab order of one top-level window's controls. Windows would follow the
/// stacking order, but the confirmation frame must stack above controls it comes after in
/// the tab order, so the order is kept here. Hidden and disabled controls are skipped.
/// The arrow keys move through a group of option buttons and choose the one they reach, as
/// a dialog box does. Return presses the focused button as Space does, and Escape presses the
/// cancel button while it shows: outside a dialog box Windows does neither.
class TabOrder {
public:
    explicit TabOrder(HWND window);
    ~TabOrder();
    TabOrder(const TabOrder&) = delete;
    TabOrder& operator=(const TabOrder&) = delete;

    void set(std::vector<HWND> order) { m_order = std::move(order); }
    void setOptionGroup(std::vector<HWND> group) { m_group = std::move(group); }
    void setCancel(HWND button) { m_cancel = button; }
    /// Leaves controls out of the order until called again (with none): those a frame covers.
    void leaveOut(std::vector<HWND> controls) { m_leftOut = std::move(controls); }
    /// Moves the focus when `message` is a Tab key press in this window, or an arrow key on an
    /// option button of the group, or presses a button for Return or Escape; true when it did.
    bool handle(const MSG& message) const;

    /// Offers `message` to every window's tab order.
    static bool anyHandles(const MSG& message);

private:
    bool handleArrow(const MSG& message) const;
    bool handlePress(const MSG& message) const;

    HWND m_window;
    std::vector<HWND> m_order;
    std::vector<HWND> m_group;
    std::vector<HWND> m_leftOut;
    HWND m_cancel = nullptr;
};

} // namespace velk::win32
