#pragma once

#include "Form1Controls.h"
#include "Form1Port.h"
#include "core/CardListLoader.h"
#include "core/CardMonitor.h"
#include "core/ListFile.h"
#include "core/Module1.h"
#include "core/ProgrammingRun.h"
#include "core/SourceBrowser.h"
#include "core/TrackEditor.h"
#include "core/TrackList.h"
#include "ui/win32/wingui/Accelerators.h"
#include "ui/win32/wingui/FileDrop.h"
#include "ui/win32/wingui/Font.h"
#include "ui/win32/wingui/TabOrder.h"
#include "ui/win32/wingui/Tooltips.h"

#include <memory>
#include <string_view>
#include <vector>

namespace velk {
class SystemPort;
}

namespace velk::win {

class hlpform;

/// The main window. It builds the controls and forwards each event to the logic in core.
class frmForm1 {
public:
    /// The command of "Load list from card", from lstList1's shortcut menu and Ctrl+L.
    static constexpr UINT mnuLoadFromCard = 101;
    /// "Save list..." (Ctrl+S) and "Open list..." (Ctrl+O), from the same menu.
    static constexpr UINT mnuSaveList = 102;
    static constexpr UINT mnuOpenList = 103;

    explicit frmForm1(const SystemPort& system);
    ~frmForm1();
    frmForm1(const frmForm1&) = delete;
    frmForm1& operator=(const frmForm1&) = delete;

    [[nodiscard]] HWND hwnd() const { return m_hwnd; }
    void show() const;

    void Form_Load();
    void Timer1_Timer();
    void quit1_Click();
    void Command3_Click();
    void File1_Click();
    void File1_DblClick();
    void cmdDel_Click();
    void cmdMode0_Click();
    void cmdMode1_Click();
    void cmdMode2_Click();
    void lstList1_Click();
    void newbut_Click();
    void cmdFinish_Click();
    void Command1_Click();
    void Command2_Click();
    void drvDrive1_Change();
    void Dir1_Change();
    void txtTEXT1_Change();
    void lstList1_LoadFromCard();
    void lstList1_SaveList();
    void lstList1_OpenList();
    void lstList1_DropFiles(const std::vector<std::string>& paths);

    [[nodiscard]] const Module1& state() const { return m_state; }
    [[nodiscard]] hlpform* helpWindow() const { return m_helpWindow.get(); }
    /// True once Quit or closing the window ended the program.
    [[nodiscard]] bool ending() const { return m_port.ending(); }
    [[nodiscard]] const Form1Port& port() const { return m_port; }
    [[nodiscard]] const Form1Controls& controls() const { return m_c; }
    /// The control with that name in the layout, or null.
    [[nodiscard]] Ctrl* find(std::string_view name) const;
    [[nodiscard]] std::string tipOf(const Ctrl& control) const { return m_tips.tipOf(control.hwnd()); }
    [[nodiscard]] UINT dpi() const { return m_dpi; }
    [[nodiscard]] const Font& frameFont() const { return m_frameFont; }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createWindow();
    void buildControls();
    void nameLists() const;
    void bindHandlers();
    void arrangeTabOrder();
    void addCardListCommands();
    void showListMenu(LPARAM lParam);
    /// A command of lstList1's menu, chosen there or by its shortcut.
    void listCommand(UINT id);
    void applyDpi(UINT dpi);
    void paintOutlines(HDC dc) const;
    /// Remembers the focused control when the window is left and gives it back on return.
    void keepFocus(bool activated);
    void endProgram();

    const SystemPort& m_system;
    HWND m_hwnd = nullptr;
    UINT m_dpi = 96;
    Font m_font;
    Font m_guidanceFont;
    Font m_frameFont;
    Tooltips m_tips;
    Form1Controls m_c;
    std::vector<Ctrl*> m_all;
    std::unique_ptr<TabOrder> m_tabs;
    std::unique_ptr<Accelerators> m_shortcuts;
    std::unique_ptr<FileDrop> m_drop;
    HWND m_lastFocus = nullptr;
    Module1 m_state;
    Form1Port m_port;
    TrackList m_tracks;
    TrackEditor m_editor;
    SourceBrowser m_browser;
    CardMonitor m_monitor;
    ProgrammingRun m_run;
    CardListLoader m_loader;
    ListFile m_lists;
    std::unique_ptr<hlpform> m_helpWindow;
};

} // namespace velk::win
