#pragma once

#include "Win.h"

#include <vector>

namespace velk::win {

/// The Tab and Shift+Tab order of one top-level window's controls. Windows would follow the
/// stacking order, but the confirmation frame must stack above controls it comes after in
/// the tab order, so the order is kept here. Hidden and disabled controls are skipped.
class TabOrder {
public:
    explicit TabOrder(HWND window);
    ~TabOrder();
    TabOrder(const TabOrder&) = delete;
    TabOrder& operator=(const TabOrder&) = delete;

    void set(std::vector<HWND> order) { m_order = std::move(order); }
    /// Moves the focus when `message` is a Tab key press in this window; true when it did.
    bool handle(const MSG& message) const;

    /// Offers `message` to every window's tab order.
    static bool anyHandles(const MSG& message);

private:
    HWND m_window;
    std::vector<HWND> m_order;
};

} // namespace velk::win
