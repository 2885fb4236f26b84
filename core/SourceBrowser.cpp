#include "SourceBrowser.h"

#include "Colours.h"
#include "FormPort.h"
#include "Paths.h"
#include "SystemPort.h"
#include "Texts.h"

#include <filesystem>
#include <system_error>

namespace velk {

SourceBrowser::SourceBrowser(FormPort& form, const SystemPort& system)
    : m_form(form), m_system(system) {}

void SourceBrowser::drvDrive1_Change() {
    const RootFolder root = m_system.rootFolder(m_form.text(Control::drvDrive1));
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
    // A root the system names but that is gone (unmounted since the list was filled) or that
    // cannot be read counts as a failure, so the lists never point at a folder they cannot show.
    std::error_code ec;
    if (!std::filesystem::is_directory(fsPath(root.path), ec))
        return;
    if (std::filesystem::directory_iterator(fsPath(root.path), ec); ec)
        return;

    m_form.setText(Control::Dir1, root.path);
    m_form.setText(Control::txtTEXT1, text::selectSource);
    m_form.setBackColour(Control::txtTEXT1, colour::yellow);
}

void SourceBrowser::Dir1_Change() {
    m_form.setText(Control::File1, m_form.text(Control::Dir1));
}

} // namespace velk
