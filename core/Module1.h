#pragma once

#include "TrackTable.h"

#include <cstdint>

namespace velk {

/// The two-stroke edit words. editState 2 means a mode change is armed; the programming
/// run also uses it for the wipe confirmation (0 asked or cancelled, 1 confirmed).
struct EditWords {
    std::int16_t deletePending = 0;
    std::int16_t pendingMode = 0;
    std::int16_t editState = 0;
};

/// The card monitor's variables; only its tick writes them.
struct MonitorState {
    std::int32_t driveType = 0;
    std::int16_t spaceOk = 0;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
    std::int32_t driveBytes = 0;
    std::int32_t reserveBytes = 0;
};

/// All state shared by the main window's handlers, alive for the whole run.
struct Module1 {
    TrackTable tracks;
    EditWords edit;
    MonitorState monitor;
    /// Usable capacity of the last card measured; written only by the card monitor.
    std::int32_t cardBytes = 0;
    /// True while a programming run is between its first and last step.
    bool runInProgress = false;
};

} // namespace velk
