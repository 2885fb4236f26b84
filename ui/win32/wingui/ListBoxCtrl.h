#pragma once

// https://learn.microsoft.com/en-us/windows/win32/controls/list-boxes

#include "Colour.h"
#include "Ctrl.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velk::win32 {

/// A single-selection, unsorted list of text rows, in the window colour unless a back colour is
/// set. LBN_SELCHANGE comes for a selection made with the mouse or the keyboard, never for one the
/// program makes.
class ListBoxCtrl : public Ctrl {
public:
    using Ctrl::Ctrl;

    void create(HWND parent, UINT dpi, DWORD extraStyle = 0);

    [[nodiscard]] int count() const;
    [[nodiscard]] std::string row(int index) const;
    /// Row counted from 0, or -1.
    [[nodiscard]] int selected() const;
    void select(int index) const;
    void add(const std::string& utf8) const;
    void remove(int index) const;
    void clear() const;
    [[nodiscard]] std::uint32_t backColour() const;
    void setBackColour(std::uint32_t colour);

    std::function<void()> onSelect;
    std::function<void()> onDoubleClick;

protected:
    void command(WORD code) override;
    HBRUSH colours(HDC dc) override;

private:
    std::optional<BackColour> m_colour;
};

} // namespace velk::win32
