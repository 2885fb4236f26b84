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

    /// One tick of the card monitor; true when the drive holds a ready card. A card that
    /// nothing has mounted is mounted first.
    [[nodiscard]] bool ready();

private:
    const SystemPort& m_system;
    std::string m_reader;

public:
    /// Why a card in the reader could not be mounted, or empty.
    std::string mountRefusal;
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
