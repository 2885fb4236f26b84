#include "Station.h"

#include "ConsolePort.h"

#include "core/CommandLineTexts.h"
#include "core/PlatformTexts.h"
#include "core/SystemPort.h"

#include <chrono>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace velk::cli {

namespace {

/// What a reader holds, as far as telling one insertion from the next goes.
struct ReaderState {
    enum class Holds { nothing, unmountedCard, card } holds = Holds::nothing;
    std::string card; ///< the mounted card's identity
};

ReaderState readerState(const SystemPort& system, const std::string& reader) {
    const RootFolder root = system.rootFolder(reader);
    if (root.status != RootFolder::Status::ok)
        return {root.reason == text::cardNotMounted ? ReaderState::Holds::unmountedCard
                                                    : ReaderState::Holds::nothing,
                {}};
    const auto identity = system.cardIdentity(root.path);
    return {ReaderState::Holds::card, identity ? identity->volume : std::string()};
}

} // namespace

int runStation(const SystemPort& system, const CardOrder& order, int count, Reporter& reporter) {
    std::vector<std::unique_ptr<CardJob>> jobs;
    // The card each reader held when it was taken; forgotten when the reader is empty again.
    std::map<std::string, std::string> taken;
    int handled = 0;
    int started = 0;
    bool allGood = true;
    reporter.idle(text::stationWaiting);
    while (!ConsolePort::interrupted() && (count == 0 || handled < count)) {
        for (const DriveEntry& drive : system.drives()) {
            const std::string& reader = drive.designation;
            if (system.driveType(reader) != drive_type::removable)
                continue;
            const bool busy = std::any_of(jobs.begin(), jobs.end(), [&](const auto& job) {
                return !job->done() && job->reader() == reader;
            });
            const ReaderState state = readerState(system, reader);
            // A card taken stays taken until the reader is empty: ejected, it is not mounted again.
            if (state.holds == ReaderState::Holds::nothing) {
                taken.erase(reader);
                continue;
            }
            if (state.holds == ReaderState::Holds::unmountedCard) {
                if (!taken.contains(reader) && !busy)
                    (void)system.mountCard(reader);
                continue;
            }
            if (busy || (taken.contains(reader) && taken[reader] == state.card) ||
                (count != 0 && started >= count))
                continue;
            taken[reader] = state.card;
            ++started;
            jobs.push_back(std::make_unique<CardJob>(reader, reader, order, reporter));
            jobs.back()->start();
        }
        for (auto it = jobs.begin(); it != jobs.end();) {
            if (!(*it)->done()) {
                ++it;
                continue;
            }
            (*it)->join();
            allGood = allGood && (*it)->result().good();
            ++handled;
            it = jobs.erase(it);
        }
        reporter.refresh();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    // The cards under way stop at their next safe point.
    for (const auto& job : jobs) {
        job->join();
        allGood = allGood && job->result().good();
    }
    reporter.finish();
    if (ConsolePort::interrupted())
        return 130;
    return allGood ? 0 : 1;
}

} // namespace velk::cli
