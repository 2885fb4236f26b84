#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velk {

struct Module1;
class FormPort;
class SystemPort;

/// The message tracks list: adding a track from the source file list, the total size
/// recompute and the size gauge.
class TrackList {
public:
    TrackList(Module1& state, FormPort& form, const SystemPort& system);

    /// Adds the file selected in File1 as the next track, unless 16 are listed, the file
    /// cannot be measured or the new total would pass the card's capacity. Does nothing
    /// when no file is selected or while a programming run is copying.
    void File1_DblClick();
    /// A single click only highlights the file.
    void File1_Click() {}
    /// Files dropped on the list, full UTF-8 paths in the order given: the *.mp3 and *.nvr
    /// files are added one by one as by a double-click, stopping at the first that is refused;
    /// the others are not taken, and a guidance text names them.
    void lstList1_DropFiles(const std::vector<std::string>& paths);
    /// Appends the file `name` of `folder` as the next track with play mode `mode`, with the
    /// double-click's checks and texts; a file that is no audio file (isAudioFile) is refused.
    /// True when the track was added.
    bool addTrack(const std::string& folder, const std::string& name, std::uint8_t mode = 0);
    /// Sets copiedBytes and messageBytes to the present total size of the listed tracks'
    /// files. A file that can no longer be measured counts 0.
    void gtflens();
    /// Label7 shows the message size as a whole percentage of the card, ProgressBar1 the
    /// exact figure. Before a card has been measured both read 0.
    void updateGauge();

private:
    void showGuidance(const std::string& message, std::uint32_t colour);

    Module1& m_state;
    FormPort& m_form;
    const SystemPort& m_system;
};

} // namespace velk
