#pragma once

// https://learn.microsoft.com/en-us/windows/win32/controls/static-controls

#include "Colour.h"
#include "Ctrl.h"

#include <cstdint>
#include <optional>

namespace velk::win32 {

/// Static text, centred or left-aligned, with or without a single-line border, in the
/// window's colours unless a back colour is set. A wrapped label breaks its text into as many
/// lines as it needs, inside a word too when one is wider than the box (a path), and centres
/// them both ways; a text taller than the box loses the middle of it to an ellipsis.
class LabelCtrl : public Ctrl {
public:
    enum class Align { left, centre, wrapped };
    enum class Border { none, single };

    LabelCtrl(std::string name, const Twips& box, Align align, Border border)
        : Ctrl(std::move(name), box), m_align(align), m_border(border) {}

    void create(HWND parent, const std::string& caption, UINT dpi);
    /// The text as the label shows it in its box.
    [[nodiscard]] std::string shownText() const;
    /// The back colour set, or the button face a label has by default.
    [[nodiscard]] std::uint32_t backColour() const;
    void setBackColour(std::uint32_t colour);

protected:
    HBRUSH colours(HDC dc) override;
    bool draw(const DRAWITEMSTRUCT& item) override;

private:
    Align m_align;
    Border m_border;
    std::optional<BackColour> m_colour;
};

} // namespace velk::win32
