#pragma once

#include "CardEject.h"
#include "CardListLoader.h"
#include "CardMonitor.h"
#include "ListFile.h"
#include "Module1.h"
#include "ProgrammingRun.h"
#include "RunIndicator.h"
#include "SourceBrowser.h"
#include "TrackEditor.h"
#include "TrackList.h"

#include <string>
#include <vector>

namespace velk {

class FormPort;
class SystemPort;

/// The main window's event handlers and the state they share. A window binds its controls'
/// events to these; only opening the help window and asking for a list's file stay with it.
class Form1Handlers {
public:
    Form1Handlers(FormPort& form, const SystemPort& system);

    void Form_Load();
    void Timer1_Timer();
    void quit1_Click() { endProgram(); }
    void File1_Click() { m_tracks.File1_Click(); }
    void File1_DblClick() { m_tracks.File1_DblClick(); }
    void cmdDel_Click() { m_editor.cmdDel_Click(); }
    void cmdMode0_Click() { m_editor.cmdMode0_Click(); }
    void cmdMode1_Click() { m_editor.cmdMode1_Click(); }
    void cmdMode2_Click() { m_editor.cmdMode2_Click(); }
    void lstList1_Click() { m_editor.lstList1_Click(); }
    void newbut_Click() { m_editor.newbut_Click(); }
    void cmdFinish_Click();
    void Command1_Click() { m_run.Command1_Click(); }
    void Command2_Click() { m_run.Command2_Click(); }
    void drvDrive1_Change() { m_browser.drvDrive1_Change(); }
    void Dir1_Change() { m_browser.Dir1_Change(); }
    void txtTEXT1_Change() { m_browser.txtTEXT1_Change(); }
    /// The system reports drives that came or went (a card reader plugged in): both drive
    /// lists read the drives again, so that it appears without a click.
    void Form_DeviceChange();
    /// "Load list from card", from lstList1's menu or its shortcut.
    void lstList1_LoadFromCard() { m_loader.lstList1_LoadFromCard(); }
    /// "Save list..." and "Open list...", once the window has asked which file.
    void lstList1_SaveList(const std::string& path) { m_lists.lstList1_SaveList(path); }
    void lstList1_OpenList(const std::string& path) { m_lists.lstList1_OpenList(path); }
    void lstList1_DropFiles(const std::vector<std::string>& paths) {
        m_tracks.lstList1_DropFiles(paths);
    }
    /// "Eject card", from Drive1's menu or its key; the menu shows it enabled only as told.
    void Drive1_EjectCard() { m_eject.Drive1_EjectCard(); }
    [[nodiscard]] bool Drive1_EjectEnabled() const { return m_eject.enabled(); }

    /// Quit, or the window closed: the timer stops, the help window closes and the program
    /// leaves its event loop. A run in progress stops at its next yield.
    void endProgram();
    [[nodiscard]] bool ending() const { return m_ending; }
    [[nodiscard]] const Module1& state() const { return m_state; }

private:
    /// Shows the run outside the window as it stands now, when that changed.
    void showRun();

    FormPort& m_form;
    Module1 m_state;
    TrackList m_tracks;
    TrackEditor m_editor;
    SourceBrowser m_browser;
    CardMonitor m_monitor;
    ProgrammingRun m_run;
    CardListLoader m_loader;
    ListFile m_lists;
    RunIndicator m_indicator;
    RunShown m_shown = RunShown::none;
    float m_shownPercent = 0.0f;
    CardEject m_eject;
    bool m_ending = false;
};

} // namespace velk
