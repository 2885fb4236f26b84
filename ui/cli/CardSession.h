#pragma once

#include "ConsolePort.h"
#include "core/CardListLoader.h"
#include "core/CardMonitor.h"
#include "core/ListFile.h"
#include "core/Module1.h"
#include "core/ProgrammingRun.h"
#include "core/TrackEditor.h"
#include "core/TrackList.h"

#include <string>

namespace velk::cli {

/// What the window holds, over the console, with `reader` as the destination drive: the
/// state, the tracks list and its editor, the card monitor, the programming run and the
/// list loaders.
struct CardSession {
    CardSession(const SystemPort& system, const std::string& reader, ConsoleOptions options = {});
    CardSession(const CardSession&) = delete;
    CardSession& operator=(const CardSession&) = delete;

    /// One tick of the card monitor; true when the drive holds a ready card.
    [[nodiscard]] bool ready();

    Module1 state;
    ConsolePort port;
    TrackList tracks;
    TrackEditor editor;
    CardMonitor monitor;
    ProgrammingRun run;
    ListFile listFile;
    CardListLoader loader;
};

} // namespace velk::cli
