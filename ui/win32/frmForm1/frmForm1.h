#pragma once

#include "Form1Controls.h"
#include "Form1Port.h"
#include "core/Form1Handlers.h"
#include "ui/win32/wingui/Accelerators.h"
#include "ui/win32/wingui/Accessibility.h"
#include "ui/win32/wingui/FileDrop.h"
#include "ui/win32/wingui/Font.h"
#include "ui/win32/wingui/TabOrder.h"
#include "ui/win32/wingui/TaskbarProgress.h"
#include "ui/win32/wingui/Tooltips.h"

#include <memory>
#include <string_view>
#include <vector>

namespace velk {
class SystemPort;
}

namespace velk::win32 {

class hlpform;

/// The main window. It builds the controls as designed and binds their events to the handlers in
/// core.
class frmForm1 {
public:
    /// The command of "Load list from card", from lstList1's shortcut menu and Ctrl+L.
    static constexpr UINT mnuLoadFromCard = 101;
    /// "Save list..." (Ctrl+S) and "Open list..." (Ctrl+O), from the same menu.
    static constexpr UINT mnuSaveList = 102;
    static constexpr UINT mnuOpenList = 103;
    /// "Eject card", from Drive1's shortcut menu and Ctrl+E.
    static constexpr UINT mnuEjectCard = 104;

    explicit frmForm1(const SystemPort& system);
    ~frmForm1();
    frmForm1(const frmForm1&) = delete;
    frmForm1& operator=(const frmForm1&) = delete;

    [[nodiscard]] HWND hwnd() const { return m_hwnd; }
    void show() const;

    /// Opens the help window (HELP).
    void Command3_Click();
    /// "Save list..." and "Open list...": ask which file, then hand it to the logic.
    void lstList1_SaveList();
    void lstList1_OpenList();

    /// The handlers that the controls are bound to, and the state they share.
    [[nodiscard]] Form1Handlers& handlers() { return m_handlers; }
    [[nodiscard]] hlpform* helpWindow() const { return m_helpWindow.get(); }
    [[nodiscard]] const Form1Port& port() const { return m_port; }
    [[nodiscard]] Form1Port& port() { return m_port; }
    [[nodiscard]] const Form1Controls& controls() const { return m_c; }
    /// The control with that name in the layout, or null.
    [[nodiscard]] Ctrl* find(std::string_view name) const { return m_c.find(name); }
    [[nodiscard]] std::string tipOf(const Ctrl& control) const {
        return m_tips.tipOf(control.hwnd());
    }
    [[nodiscard]] UINT dpi() const { return m_dpi; }
    [[nodiscard]] const Font& frameFont() const { return m_frameFont; }
    [[nodiscard]] const TaskbarProgress& taskbar() const { return *m_taskbar; }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createWindow();
    void buildControls();
    /// Names and describes each control a screen reader cannot name by its own caption.
    void describeControls();
    void bindHandlers();
    void arrangeTabOrder();
    void addCardListCommands();
    void showListMenu(LPARAM lParam);
    void showDriveMenu(LPARAM lParam);
    /// A command of lstList1's or Drive1's menu, chosen there or by its shortcut.
    void listCommand(UINT id);
    void applyDpi(UINT dpi);
    /// Lays the window out again when the operator changed the system's text size.
    void followTextSize();
    /// Remembers the focused control when the window is left and gives it back on return.
    void keepFocus(bool activated);

    const SystemPort& m_system;
    HWND m_hwnd = nullptr;
    UINT m_dpi = 96;
    Font m_font;
    Font m_guidanceFont;
    Font m_frameFont;
    Tooltips m_tips;
    Accessibility m_access;
    Form1Controls m_c;
    std::unique_ptr<TabOrder> m_tabs;
    std::unique_ptr<TaskbarProgress> m_taskbar;
    std::unique_ptr<Accelerators> m_shortcuts;
    std::unique_ptr<FileDrop> m_drop;
    HWND m_lastFocus = nullptr;
    std::unique_ptr<hlpform> m_helpWindow;
    Form1Port m_port;
    Form1Handlers m_handlers;
};

} // namespace velk::win32
