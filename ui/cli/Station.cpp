#include "Station.h"

#include "ConsolePort.h"

#include "core/SystemPort.h"
#include "core/Texts.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace velk::cli {

namespace {

/// The card in a reader as far as telling one insertion from the next goes: its identity once
/// mounted, or only that a medium is there.
std::optional<std::string> cardIn(const SystemPort& system, const std::string& reader) {
    if (!system.diskSpace(reader))
        return std::nullopt;
    const RootFolder root = system.rootFolder(reader);
    if (root.status != RootFolder::Status::ok)
        return std::nullopt;
    const auto identity = system.cardIdentity(root.path);
    return identity ? identity->volume : std::string();
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
            system.requestMount(reader);
            const std::optional<std::string> card = cardIn(system, reader);
            if (!card) {
                taken.erase(reader);
                continue;
            }
            const bool busy = std::any_of(jobs.begin(), jobs.end(),
                                          [&](const auto& job) { return !job->done() && job->reader() == reader; });
            if (busy || (taken.contains(reader) && taken[reader] == *card) || (count != 0 && started >= count))
                continue;
            taken[reader] = *card;
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
