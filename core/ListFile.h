#pragma once

#include <string>
#include <vector>

namespace velk {

struct Module1;
struct SavedTrack;
class FormPort;
class SystemPort;
class TrackList;
class TrackEditor;

/// "Save list..." and "Open list...": the tracks list to and from a saved list file.
class ListFile {
public:
    ListFile(Module1& state, FormPort& form, const SystemPort& system, TrackList& tracks,
             TrackEditor& editor);

    /// Writes the listed tracks, their modes and sources to `path`; a failure is shown in a
    /// message box.
    void lstList1_SaveList(const std::string& path);
    /// Replaces the list with the one saved at `path`, as load() does; a file that cannot be
    /// read or is not a list is refused in a message box. Does nothing during a programming run.
    void lstList1_OpenList(const std::string& path);

    /// Replaces the list with `tracks`, all or nothing: more than 16 tracks, a source that
    /// cannot be read or a total past the card's capacity is refused with the double-click's
    /// text and leaves the list as it was. Otherwise the list is cleared as by New and each
    /// track added as by a double-click. True when every track was added.
    bool load(const std::vector<SavedTrack>& tracks);

private:
    void refuse(const char* step, const std::string& path, const std::string& reason);
    void showRefusal(const std::string& message);

    Module1& m_state;
    FormPort& m_form;
    const SystemPort& m_system;
    TrackList& m_tracks;
    TrackEditor& m_editor;
};

} // namespace velk
