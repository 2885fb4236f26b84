#pragma once

#include "SystemPort.h"

#include <string>

namespace velk {

class FormPort;

/// Keeps the folder list and the file list on the chosen source drive and folder.
class SourceBrowser {
public:
    SourceBrowser(FormPort& form, const SystemPort& system);

    /// Opens the root folder of the drive now selected in drvDrive1 and asks for a file.
    /// A drive with no medium shows the red drive-unavailable text; any other failure
    /// shows nothing. On failure Dir1 and File1 keep their folder. A drive that does not
    /// answer at once is shown as not answering, and opened when it answers while it is
    /// still the one chosen.
    void drvDrive1_Change();
    /// Opens the chosen source drive if it has answered since.
    void Timer1_Timer();
    /// Points File1 at the folder Dir1 shows.
    void Dir1_Change();
    /// The guidance box changing causes nothing.
    void txtTEXT1_Change() {}

private:
    void open(bool late);

    FormPort& m_form;
    const SystemPort& m_system;
    /// The source drive chosen that has not answered yet, or "".
    std::string m_waitingFor;
};

} // namespace velk
