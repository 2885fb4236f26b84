#pragma once

namespace velk {

class FormPort;
class SystemPort;

/// Keeps the folder list and the file list on the chosen source drive and folder.
class SourceBrowser {
public:
    SourceBrowser(FormPort& form, const SystemPort& system);

    /// Opens the root folder of the drive now selected in drvDrive1 and asks for a file.
    /// A drive with no medium shows the red drive-unavailable text; any other failure
    /// shows nothing. On failure Dir1 and File1 keep their folder.
    void drvDrive1_Change();
    /// Points File1 at the folder Dir1 shows.
    void Dir1_Change();
    /// The guidance box changing causes nothing.
    void txtTEXT1_Change() {}

private:
    FormPort& m_form;
    const SystemPort& m_system;
};

} // namespace velk
