#include "Form1Handlers.h"

#include "FormPort.h"

namespace velk {

Form1Handlers::Form1Handlers(FormPort& form, const SystemPort& system)
    : m_form(form),
      m_tracks(m_state, form),
      m_editor(m_state, form, m_tracks),
      m_browser(form, system),
      m_monitor(m_state, form, system),
      m_run(m_state, form, system),
      m_loader(m_state, form, system, m_tracks, m_editor),
      m_lists(m_state, form, m_tracks, m_editor),
      m_eject(m_state, form, system) {}

void Form1Handlers::Form_Load() { m_form.setTimer(CardMonitor::intervalMs, true); }

void Form1Handlers::Timer1_Timer() {
    // A tick already queued when Quit was pressed still arrives.
    if (m_ending)
        return;
    m_monitor.Timer1_Timer();
    if (m_monitor.statusChanged())
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
