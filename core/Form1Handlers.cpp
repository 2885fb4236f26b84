#include "Form1Handlers.h"

#include "Colours.h"
#include "FormPort.h"

namespace velk {

Form1Handlers::Form1Handlers(FormPort& form, const SystemPort& system)
    : m_form(form), m_tracks(m_state, form, system), m_editor(m_state, form, m_tracks),
      m_browser(form, system), m_monitor(m_state, form, system), m_run(m_state, form, system),
      m_loader(m_state, form, system, m_tracks, m_editor),
      m_lists(m_state, form, system, m_tracks, m_editor), m_eject(m_state, form, system) {}

void Form1Handlers::Form_Load() {
    m_form.setTimer(CardMonitor::intervalMs, true);
}

void Form1Handlers::Timer1_Timer() {
    // A tick already queued when Quit was pressed still arrives.
    if (m_ending)
        return;
    m_monitor.Timer1_Timer();
    if (m_monitor.statusChanged())
        m_form.refresh(Control::Drive1);
    m_browser.Timer1_Timer();
    showRun();
}

void Form1Handlers::cmdFinish_Click() {
    if (!m_state.runInProgress)
        m_indicator.runStarts();
    m_run.cmdFinish_Click();
    if (!m_ending)
        showRun();
}

void Form1Handlers::showRun() {
    const RunShown shown =
        m_indicator.now(m_state.runInProgress, m_form.backColour(Control::txtTEXT1));
    const float percent = m_form.progress();
    if (shown == m_shown && (shown != RunShown::progress || percent == m_shownPercent))
        return;
    m_shown = shown;
    m_shownPercent = percent;
    m_form.showRun(shown, percent);
}

void Form1Handlers::Form_DeviceChange() {
    if (m_ending)
        return;
    m_form.refresh(Control::drvDrive1);
    m_form.refresh(Control::Drive1);
}

void Form1Handlers::endProgram() {
    if (m_ending)
        return;
    m_ending = true;
    m_form.setTimer(CardMonitor::intervalMs, false);
    m_form.closeHelp();
    m_form.quit();
}

} // namespace velk
