#pragma once

#include "Dpi.h"
#include "Win.h"

#include <string>

namespace velk::win32 {

/// The common part of every control: its HWND, its name in the window, and its box in
/// twips, so that a change of DPI can place it again. The control types below derive from
/// it, each holding the raw messages of one Win32 control kind.
class Ctrl {
public:
    Ctrl(std::string name, const Twips& box) : m_name(std::move(name)), m_box(box) {}
    virtual ~Ctrl();
    Ctrl(const Ctrl&) = delete;
    Ctrl& operator=(const Ctrl&) = delete;

    [[nodiscard]] HWND hwnd() const { return m_hwnd; }
    [[nodiscard]] const std::string& name() const { return m_name; }
    [[nodiscard]] const Twips& box() const { return m_box; }

    /// Moves and sizes the control to its box at `dpi`.
    virtual void place(UINT dpi) const;
    void setFont(HFONT font) const;

    [[nodiscard]] std::string text() const;
    /// Repaints only when the text changes: the monitor writes the same text ten times a second.
    void setText(const std::string& utf8) const;
    [[nodiscard]] bool isVisible() const;
    void setVisible(bool visible) const;
    [[nodiscard]] bool isEnabled() const;
    void setEnabled(bool enabled) const;

    /// The control that owns `hwnd`, or null for a window no Ctrl made.
    [[nodiscard]] static Ctrl* from(HWND hwnd);
    /// Hands a notification that a parent received (WM_COMMAND, WM_DRAWITEM, WM_CTLCOLOR...)
    /// to the control it concerns. True when a control answered it, with its result.
    static bool route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    void create(HWND parent, const wchar_t* windowClass, DWORD style, DWORD exStyle,
                const std::string& text, UINT dpi);

    /// A WM_COMMAND notification code from this control.
    virtual void command(WORD) {}
    /// Owner drawing; false leaves it to the system.
    virtual bool draw(const DRAWITEMSTRUCT&) { return false; }
    /// The brush for WM_CTLCOLOR*, with the text colours set on `dc`; null for the system's.
    virtual HBRUSH colours(HDC) { return nullptr; }

private:
    std::string m_name;
    Twips m_box;
    HWND m_hwnd = nullptr;
};

} // namespace velk::win32
