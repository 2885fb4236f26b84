#pragma once

#include "core/Form1Design.h"
#include "ui/win32/wingui/Ctrl.h"

#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace velk {
class SystemPort;
}

namespace velk::win32 {

/// Every control of the main window, one for each row of its design, of the type the row's
/// kind asks for; the rectangles and lines are painted by the window itself.
class Form1Controls {
public:
    explicit Form1Controls(const SystemPort& system);

    /// Creates each control's window in the design's order, which is the stacking order, inside
    /// `window` or inside the frame it belongs to, with its designed back colour.
    void create(HWND window, UINT dpi);

    /// Every control, in the order of the design.
    [[nodiscard]] const std::vector<std::unique_ptr<Ctrl>>& all() const { return m_all; }
    /// The control with that name, or null.
    [[nodiscard]] Ctrl* find(std::string_view name) const;
    /// The control with that name as the type its kind makes; throws std::logic_error for a
    /// name that is not designed or a control of another type.
    template <typename T = Ctrl> [[nodiscard]] T& get(std::string_view name) const {
        auto* typed = dynamic_cast<T*>(find(name));
        if (!typed)
            notOfType(name);
        return *typed;
    }

private:
    [[noreturn]] static void notOfType(std::string_view name);

    std::vector<std::unique_ptr<Ctrl>> m_all;
};

} // namespace velk::win32
