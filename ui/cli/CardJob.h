#pragma once

#include "ConsolePort.h"
#include "Reporter.h"

#include "core/SavedList.h"
#include "core/SourcePins.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace velk {
class SystemPort;
}

namespace velk::cli {

/// What a card of a call is to get, and how.
struct CardOrder {
    std::vector<SavedTrack> tracks; ///< sources as absolute paths
    SourcePins pins;                ///< the sources as they were before the first card
    ConsoleOptions console;
    std::int64_t bytes = 0;   ///< the sources' sizes together, for the progress
    bool leaveIfHeld = false; ///< a card that already holds exactly the list is not written
    bool eject = false;       ///< a card verified, or that held the list, is ejected
};

/// One card of a call, programmed on a thread of its own, with a system, a window state, a
/// lock and a progress of its own: a card that fails stops only itself.
class CardJob {
public:
    /// `card` as the operator named it, `reader` the drive it names.
    CardJob(std::string card, std::string reader, const CardOrder& order, Reporter& reporter);
    ~CardJob();
    CardJob(const CardJob&) = delete;
    CardJob& operator=(const CardJob&) = delete;

    void start();
    void join();
    [[nodiscard]] bool done() const { return m_done; }
    [[nodiscard]] const std::string& reader() const { return m_reader; }
    /// How the card ended; once done.
    [[nodiscard]] const CardResult& result() const { return m_result; }

private:
    void run();
    void programme(const SystemPort& system);
    void eject(const SystemPort& system);

    std::string m_reader;
    const CardOrder& m_order;
    Reporter& m_reporter;
    int m_index;
    CardResult m_result;
    std::thread m_thread;
    std::atomic<bool> m_done = false;
};

} // namespace velk::cli
