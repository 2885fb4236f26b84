#include "SourceBrowser.h"

#include "Colours.h"
#include "FormPort.h"
#include "Paths.h"
#include "SystemPort.h"
#include "Texts.h"

#include <system_error>

namespace velk {

SourceBrowser::SourceBrowser(FormPort& form, const SystemPort& system)
    : m_form(form), m_system(system) {}

void SourceBrowser::drvDrive1_Change() {
    m_waitingFor = m_form.text(Control::drvDrive1);
    open(false);
}

void SourceBrowser::Timer1_Timer() {
    if (m_waitingFor.empty())
        return;
    // The operator has moved on: what the drive answers now opens nothing.
    if (m_form.text(Control::drvDrive1) != m_waitingFor)
        return m_waitingFor.clear();
    open(true);
}

void SourceBrowser::open(bool late) {
    const std::optional<RootFolder> answer = m_system.sourceRoot(m_waitingFor);
    if (!answer) {
        if (!late) {
            m_form.setText(Control::txtTEXT1, text::sourceNotAnswering);
            m_form.setBackColour(Control::txtTEXT1, colour::red);
            // Its entry says so too.
            m_form.refresh(Control::drvDrive1);
        }
        return;
    }
    m_waitingFor.clear();
    if (late)
        m_form.refresh(Control::drvDrive1);
    const RootFolder& root = *answer;
    switch (root.status) {
    case RootFolder::Status::deviceUnavailable:
        m_form.setText(Control::txtTEXT1, text::driveUnavailable);
        m_form.setBackColour(Control::txtTEXT1, colour::red);
        return;
    case RootFolder::Status::failed:
        return;
    case RootFolder::Status::ok:
        break;
    }
    m_form.setText(Control::Dir1, root.path);
    m_form.setText(Control::txtTEXT1, text::selectSource);
    m_form.setBackColour(Control::txtTEXT1, colour::yellow);
}

void SourceBrowser::Dir1_Change() {
    m_form.setText(Control::File1, m_form.text(Control::Dir1));
}

} // namespace velk
