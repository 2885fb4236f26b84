#pragma once

#include "core/HelpHandlers.h"
#include "core/HelpPort.h"
#include "ui/win32/wingui/EditCtrl.h"
#include "ui/win32/wingui/Font.h"
#include "ui/win32/wingui/RadioCtrl.h"
#include "ui/win32/wingui/TabOrder.h"

#include <array>
#include <memory>

namespace velk::win32 {

/// The help window: nine topic buttons and the text of the chosen topic, read from the
/// topic files installed with the program, or in the current folder of a program that has
/// none installed (platform/HelpFolder.h). Modeless and owned by the main window; its controls
/// come from core/HelpDesign.h and its buttons are bound to core's handlers.
class hlpform : private HelpPort {
public:
    /// `owner` is the main window: the help window stays above it and closes with it.
    explicit hlpform(HWND owner);
    ~hlpform();
    hlpform(const hlpform&) = delete;
    hlpform& operator=(const hlpform&) = delete;

    [[nodiscard]] HWND hwnd() const { return m_hwnd; }
    [[nodiscard]] UINT dpi() const { return m_dpi; }
    /// Loads the window (topic 1, folder taken anew) unless it is open; then brings it up.
    void display();
    /// Closes the window as its frame's close box does; the object stays for the next HELP.
    void close() const;

    [[nodiscard]] HelpHandlers& handlers() { return m_handlers; }

    [[nodiscard]] const EditCtrl& Text1() const { return m_text1; }
    [[nodiscard]] const RadioCtrl& hbut(int topic) const {
        return *m_hbut.at(static_cast<std::size_t>(topic - 1));
    }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createWindow(HWND owner);
    void setFonts();
    /// Fonts and boxes for a new DPI, and the window where the system suggests.
    void applyDpi(UINT dpi, const RECT& suggested);
    void checkTopic(int topic) override;
    void showTopic(const std::string& text, const std::string& placeholder) override;

    HWND m_hwnd = nullptr;
    UINT m_dpi = 96;
    Font m_font;
    EditCtrl m_text1;
    std::array<std::unique_ptr<RadioCtrl>, HelpTopic::count> m_hbut;
    std::unique_ptr<TabOrder> m_tabs;
    HelpHandlers m_handlers{*this};
};

} // namespace velk::win32
