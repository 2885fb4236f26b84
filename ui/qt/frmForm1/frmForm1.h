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

#include <QWidget>

namespace velk {
class SystemPort;
}

namespace velk::ui {

class hlpform;

/// The main window. It builds the controls and forwards each event to the logic in core.
class frmForm1 : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmForm1)
public:
    explicit frmForm1(const SystemPort& system, QWidget* parent = nullptr);
    ~frmForm1() override;

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
    /// "Load list from card", from lstList1's context menu or its shortcut.
    void lstList1_LoadFromCard();
    /// "Save list..." and "Open list...", from lstList1's context menu or their shortcuts.
    void lstList1_SaveList();
    void lstList1_OpenList();
    void lstList1_DropFiles(const QStringList& paths);

    [[nodiscard]] const Module1& state() const { return m_state; }
    [[nodiscard]] hlpform* helpWindow() const { return m_helpWindow; }
    /// True once Quit or closing the window ended the program.
    [[nodiscard]] bool ending() const { return m_port.ending(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form1Controls buildControls();
    void bindHandlers();
    void arrangeTabOrder();
    /// Gives each control without a caption the name of its label, for screen readers.
    void nameControls();
    void addCardListActions();
    void endProgram();

    const SystemPort& m_system;
    Form1Controls m_c;
    Module1 m_state;
    Form1Port m_port;
    TrackList m_tracks;
    TrackEditor m_editor;
    SourceBrowser m_browser;
    CardMonitor m_monitor;
    ProgrammingRun m_run;
    CardListLoader m_loader;
    ListFile m_lists;
    hlpform* m_helpWindow = nullptr;
};

} // namespace velk::ui
