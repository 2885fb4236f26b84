#pragma once

#include "Colour.h"
#include "Ctrl.h"

#include <cstdint>

namespace velk::win32 {

/// A captioned group box that holds other controls: they are its children, so they show and
/// hide with it, and their notifications pass on to the window that holds the frame.
/// Painted by us, since the system's group box has neither a back colour nor a caption colour.
class FrameCtrl : public Ctrl {
public:
    FrameCtrl(std::string name, const Twips& box, std::uint32_t back, std::uint32_t captionColour)
        : Ctrl(std::move(name), box), m_back(back), m_captionColour(captionColour) {}

    void create(HWND parent, const std::string& caption, UINT dpi);
    void setCaptionFont(HFONT font);
    [[nodiscard]] std::uint32_t backColour() const { return m_back.value(); }
    void setBackColour(std::uint32_t colour);
    [[nodiscard]] std::uint32_t captionColour() const { return m_captionColour; }
    /// Shows the frame above every control it overlaps, or hides it.
    void show(bool visible) const;

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void paint() const;

    BackColour m_back;
    std::uint32_t m_captionColour;
    HFONT m_captionFont = nullptr;
};

} // namespace velk::win32
