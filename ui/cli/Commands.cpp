#include "Commands.h"

#include "Arguments.h"
#include "CardJob.h"
#include "CardSession.h"
#include "Reporter.h"
#include "Station.h"
#include "core/CardCheck.h"
#include "core/CardReader.h"
#include "core/Colours.h"
#include "core/CommandLineTexts.h"
#include "core/FilePattern.h"
#include "core/Paths.h"
#include "core/SavedList.h"
#include "core/Sentence.h"
#include "core/SourcePins.h"
#include "core/SystemPort.h"
#include "core/Texts.h"
#include "platform/Terminal.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace velk::cli {

namespace {

using nlohmann::json;

// File names need not be valid UTF-8; JSON must be.
std::string dumped(const json& value) {
    return value.dump(1, ' ', false, json::error_handler_t::replace);
}

/// The refusal a list load or a card check left in the guidance box, if it left one.
std::string refusalShown(const ConsolePort& port) {
    return port.backColour(Control::txtTEXT1) == colour::red ? port.text(Control::txtTEXT1)
                                                             : std::string();
}

class Commands {
public:
    Commands(const Request& request, const SystemPort& system, std::ostream& out, std::ostream& err)
        : m_request(request), m_system(system), m_out(out), m_err(err) {}

    int programme();
    int list();
    int verify();
    int drives();
    int eject();

private:
    [[nodiscard]] SavedList requestedTracks() const;
    [[nodiscard]] Reporter::Mode reporting() const;
    void complain(const std::string& card, const std::string& message) const {
        m_err << text::cliName << text::runReasonSeparator << card << text::runReasonSeparator
              << message << '\n';
    }
    /// Every message box of the session but the one that says the card is done.
    void complainOfMessages(const std::string& card, const ConsolePort& port) const {
        for (const std::string& m : port.messages())
            if (m != text::downloadComplete)
                complain(card, m);
    }

    const Request& m_request;
    const SystemPort& m_system;
    std::ostream& m_out;
    std::ostream& m_err;
};

SavedList Commands::requestedTracks() const {
    if (!m_request.listFile.empty()) {
        SavedList list = readSavedList(m_system, m_request.listFile);
        if (!list.ok())
            list.error = fill(text::stepFailed, {{"step", text::stepOpenList},
                                                 {"file", m_request.listFile},
                                                 {"reason", list.error}});
        return list;
    }
    SavedList list;
    for (const std::string& t : m_request.tracks)
        list.tracks.push_back(trackArgument(t));
    return list;
}

Reporter::Mode Commands::reporting() const {
    if (m_request.json)
        return Reporter::Mode::json;
    if (m_request.quiet)
        return Reporter::Mode::quiet;
    return isTerminal(StandardStream::error) ? Reporter::Mode::terminal : Reporter::Mode::lines;
}

int Commands::programme() {
    const SavedList list = requestedTracks();
    if (!list.ok()) {
        m_err << text::cliName << text::runReasonSeparator << list.error << '\n';
        return exitFailed;
    }
    // Every card gets the files the sources are now: each is pinned before the first card
    // changes, and taken as an absolute path, as the list holds it.
    CardOrder order;
    order.console = {m_request.yes, isTerminal(StandardStream::input)};
    order.leaveIfHeld = m_request.eachInserted;
    order.eject = m_request.eject;
    std::vector<std::string> sources;
    for (SavedTrack track : list.tracks) {
        if (!isAudioFile(track.srcPath)) {
            m_err << text::cliName << text::runReasonSeparator << track.srcPath << text::cliNotAudio
                  << '\n';
            return exitUsage;
        }
        track.srcPath = utf8Path(std::filesystem::absolute(fsPath(track.srcPath)));
        (void)order.pins.pin(m_system, track.srcPath); // a source that is missing, each run refuses
        order.bytes += std::max<std::int64_t>(measureFile(m_system, track.srcPath).bytes, 0);
        sources.push_back(track.srcPath);
        order.tracks.push_back(track);
    }
    Reporter reporter(reporting(), m_out, m_err);
    if (m_request.eachInserted)
        return runStation(m_system, order, m_request.count, reporter);

    std::vector<std::string> readers;
    std::vector<std::string> roots;
    for (const std::string& card : m_request.cards) {
        const std::string reader = readerFor(m_system, card);
        if (std::find(readers.begin(), readers.end(), reader) != readers.end()) {
            complain(card, text::cliSameCard);
            return exitUsage;
        }
        readers.push_back(reader);
        if (const RootFolder root = m_system.rootFolder(reader);
            root.status == RootFolder::Status::ok)
            roots.push_back(root.path);
    }
    if (readers.size() > 1)
        if (const std::string source = sourceOnACard(m_system, sources, roots); !source.empty()) {
            m_err << text::cliName << text::runReasonSeparator << source << text::cliSourceOnCard
                  << '\n';
            return exitFailed;
        }
    // All cards at once, each on a thread of its own.
    std::vector<std::unique_ptr<CardJob>> jobs;
    for (std::size_t i = 0; i < readers.size(); ++i)
        jobs.push_back(std::make_unique<CardJob>(m_request.cards[i], readers[i], order, reporter));
    for (const auto& job : jobs)
        job->start();
    // Only a terminal's lines are drawn again as the cards go; elsewhere every line is written
    // as it comes, and the call ends the moment its last card does.
    while (reporter.redraws() &&
           std::any_of(jobs.begin(), jobs.end(), [](const auto& job) { return !job->done(); })) {
        reporter.refresh();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    bool all = true;
    for (const auto& job : jobs) {
        job->join();
        all = all && job->result().good();
    }
    reporter.finish();
    if (ConsolePort::interrupted())
        return exitInterrupted;
    return all ? exitDone : exitFailed;
}

int Commands::list() {
    const std::string& card = m_request.cards.front();
    CardSession session(m_system, readerFor(m_system, card));
    (void)session.ready();
    session.loader.lstList1_LoadFromCard();
    const ConsolePort& port = session.port;
    complainOfMessages(card, port);
    if (const std::string refusal = refusalShown(port); !refusal.empty())
        complain(card, refusal);
    if (!port.messages().empty() || !refusalShown(port).empty())
        return exitFailed;

    const int rows = port.rowCount(Control::lstList1);
    json tracks = json::array();
    if (!m_request.json)
        m_out << text::cliListHeading;
    for (int row = 0; row < rows; ++row) {
        const std::string track = port.rowText(Control::lstList2, row);
        const std::string mode = port.rowText(Control::lstListMode, row);
        const std::string file = port.rowText(Control::lstList1, row);
        const std::int64_t bytes =
            measureFile(m_system, session.state.tracks.slot(row + 1).srcPath).bytes;
        if (m_request.json)
            tracks.push_back({{"track", std::stoi(track)},
                              {"mode", std::stoi(mode)},
                              {"cardFile", file},
                              {"bytes", bytes}});
        else
            m_out << track << '\t' << mode << '\t' << file << '\t' << bytes << '\n';
    }
    if (m_request.json)
        m_out << dumped(tracks) << '\n';
    return exitDone;
}

int Commands::verify() {
    const std::string& card = m_request.cards.front();
    const SavedList list = requestedTracks();
    if (!list.ok()) {
        m_err << text::cliName << text::runReasonSeparator << list.error << '\n';
        return exitFailed;
    }
    for (const SavedTrack& track : list.tracks)
        if (!isAudioFile(track.srcPath)) {
            m_err << text::cliName << text::runReasonSeparator << track.srcPath << text::cliNotAudio
                  << '\n';
            return exitUsage;
        }
    const std::string reader = readerFor(m_system, card);
    CardSession session(m_system, reader);
    const RootFolder root = m_system.rootFolder(reader);
    if (!session.ready() || root.status != RootFolder::Status::ok) {
        complain(card, session.port.text(Control::Label4));
        if (const std::string why = whyNoCard(m_system, reader); !why.empty())
            complain(card, why);
        return exitFailed;
    }
    if (!session.listFile.load(list.tracks)) {
        complain(card, session.port.text(Control::txtTEXT1));
        return exitFailed;
    }
    const std::vector<std::string> differences =
        cardDifferences(m_system, root.path, session.state.tracks);
    for (const std::string& d : differences)
        complain(card, d);
    if (!differences.empty())
        return exitFailed;
    m_out << card << text::runReasonSeparator << text::cliVerified << '\n';
    return exitDone;
}

int Commands::drives() {
    json all = json::array();
    for (const DriveEntry& drive : m_system.drives()) {
        CardSession session(m_system, drive.designation);
        const bool ready = session.ready();
        const MonitorState& m = session.state.monitor;
        const char* state =
            ready ? text::cliReady
            : m.driveType == static_cast<std::int32_t>(drive_type::removable) && !m.spaceOk
                ? text::cliNoCard
                : text::cliNotACard;
        const std::string status = session.port.text(Control::Label4);
        if (m_request.json)
            all.push_back({{"drive", drive.designation},
                           {"label", drive.label},
                           {"state", state},
                           {"status", status},
                           {"capacityBytes", ready ? session.state.cardBytes : 0}});
        else
            m_out << drive.label << '\t' << state << '\t' << status << '\n';
    }
    if (m_request.json)
        m_out << dumped(all) << '\n';
    return exitDone;
}

int Commands::eject() {
    bool all = true;
    for (const std::string& card : m_request.cards) {
        const std::string reader = readerFor(m_system, card);
        if (const std::string why = m_system.ejectCard(reader); !why.empty()) {
            complain(card, fill(text::ejectFailed, {{"drive", reader}, {"reason", why}}));
            all = false;
            continue;
        }
        m_out << card << text::runReasonSeparator << fill(text::cardEjected, {{"drive", reader}})
              << '\n';
    }
    return all ? exitDone : exitFailed;
}

} // namespace

int runCommand(const Request& request, const SystemPort& system, std::ostream& out,
               std::ostream& err) {
    Commands commands(request, system, out, err);
    switch (request.command) {
    case Request::Command::programme:
        return commands.programme();
    case Request::Command::list:
        return commands.list();
    case Request::Command::verify:
        return commands.verify();
    case Request::Command::drives:
        return commands.drives();
    case Request::Command::eject:
        return commands.eject();
    case Request::Command::none:
        break;
    }
    return exitUsage;
}

} // namespace velk::cli
