#pragma once

#include <cstdint>
#include <string>

namespace velk {

struct Module1;
class FormPort;

/// The message tracks list: adding a track from the source file list, the total size
/// recompute and the size gauge.
class TrackList {
public:
    TrackList(Module1& state, FormPort& form);

    /// Adds the file selected in File1 as the next track, unless 16 are listed, the file
    /// cannot be measured or the new total would pass the card's capacity. Does nothing
    /// when no file is selected or while a programming run is copying.
    void File1_DblClick();
    /// A single click only highlights the file.
    void File1_Click() {}
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
};

} // namespace velk
