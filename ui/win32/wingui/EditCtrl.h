#pragma once

// https://learn.microsoft.com/en-us/windows/win32/controls/edit-controls

#include "Colour.h"
#include "Ctrl.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace velk::win32 {

/// A multi-line, editable text box whose lines wrap at its width; with or without a vertical
/// scroll bar. Its text uses "\n" line ends on our side and CR LF inside the control.
class EditCtrl : public Ctrl {
public:
    enum class Scroll { none, vertical };

    EditCtrl(std::string name, const Twips& box, Scroll scroll)
        : Ctrl(std::move(name), box), m_scroll(scroll) {}

    void create(HWND parent, UINT dpi);
    [[nodiscard]] std::string text() const;
    void setText(const std::string& utf8) const;
    [[nodiscard]] std::uint32_t backColour() const;
    void setBackColour(std::uint32_t colour);
    /// Paints a system back colour again after the scheme changed.
    void refreshColours();
    /// Greyed text drawn in the box while it is empty; "" for none.
    void setPlaceholder(const std::string& utf8);
    [[nodiscard]] const std::wstring& placeholder() const { return m_placeholder; }

    std::function<void()> onChange;

protected:
    void command(WORD code) override;
    HBRUSH colours(HDC dc) override;

private:
    Scroll m_scroll;
    std::optional<BackColour> m_colour;
    std::wstring m_placeholder;
};

} // namespace velk::win32
