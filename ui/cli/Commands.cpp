#include "Commands.h"

#include "Arguments.h"
#include "CardSession.h"
#include "platform/Terminal.h"
#include "core/CardCheck.h"
#include "core/CardReader.h"
#include "core/Colours.h"
#include "core/Paths.h"
#include "core/SavedList.h"
#include "core/SourcePins.h"
#include "core/SystemPort.h"
#include "core/Texts.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace velk::cli {

namespace {

std::string json(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else
            out += c;
    }
    return out + '"';
}

/// The refusal a list load or a card check left in the guidance box, if it left one.
std::string refusalShown(const ConsolePort& port) {
    return port.backColour(Control::txtTEXT1) == colour::red ? port.text(Control::txtTEXT1) : std::string();
}

class Commands {
public:
    Commands(const Request& request, const SystemPort& system, std::ostream& out, std::ostream& err)
        : m_request(request), m_system(system), m_out(out), m_err(err) {}

    int programme();
    int list();
    int verify();
    int drives();

private:
    [[nodiscard]] SavedList requestedTracks() const;
    [[nodiscard]] std::string programmeCard(const std::string& card, const std::string& reader,
                                            const std::vector<SavedTrack>& tracks, const SourcePins& pins,
                                            bool& verified);
    void complain(const std::string& card, const std::string& message) const {
        m_err << text::cliName << text::runReasonSeparator << card << text::runReasonSeparator << message << '\n';
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
        SavedList list = readSavedList(m_request.listFile);
        if (!list.ok())
            list.error = std::string(text::stepOpenList) + text::runFailed + m_request.listFile +
                         text::runReasonSeparator + list.error;
        return list;
    }
    SavedList list;
    for (const std::string& t : m_request.tracks)
        list.tracks.push_back(trackArgument(t));
    return list;
}

int Commands::programme() {
    SavedList list = requestedTracks();
    if (!list.ok()) {
        m_err << text::cliName << text::runReasonSeparator << list.error << '\n';
        return exitFailed;
    }
    // Every card gets the files the sources are now: each is pinned before the first card
    // changes, and taken as an absolute path, as the list holds it.
    SourcePins pins;
    std::vector<std::string> sources;
    for (SavedTrack& track : list.tracks) {
        track.srcPath = utf8Path(std::filesystem::absolute(fsPath(track.srcPath)));
        (void)pins.pin(m_system, track.srcPath); // a source that is missing, each run refuses
        sources.push_back(track.srcPath);
    }
    std::vector<std::string> readers;
    std::vector<std::string> roots;
    for (const std::string& card : m_request.cards) {
        const std::string reader = readerFor(m_system, card);
        if (std::find(readers.begin(), readers.end(), reader) != readers.end()) {
            complain(card, text::cliSameCard);
            return exitUsage;
        }
        readers.push_back(reader);
        if (const RootFolder root = m_system.rootFolder(reader); root.status == RootFolder::Status::ok)
            roots.push_back(root.path);
    }
    if (readers.size() > 1)
        if (const std::string source = sourceOnACard(m_system, sources, roots); !source.empty()) {
            m_err << text::cliName << text::runReasonSeparator << source << text::cliSourceOnCard << '\n';
            return exitFailed;
        }
    bool all = true;
    for (std::size_t i = 0; i < readers.size(); ++i) {
        bool verified = false;
        const std::string sentence = programmeCard(m_request.cards[i], readers[i], list.tracks, pins, verified);
        m_out << m_request.cards[i] << text::runReasonSeparator << sentence << '\n' << std::flush;
        all = all && verified;
    }
    return all ? exitDone : exitFailed;
}

// The card-state sentence is the run's own; before the run starts nothing has touched the card.
std::string Commands::programmeCard(const std::string& card, const std::string& reader,
                                    const std::vector<SavedTrack>& tracks, const SourcePins& pins,
                                    bool& verified) {
    ConsoleOptions options;
    options.yes = m_request.yes;
    options.ask = isTerminal(StandardStream::input);
    options.showProgress = !m_request.quiet && isTerminal(StandardStream::error);
    CardSession session(m_system, reader, options);
    ConsolePort& port = session.port;
    if (!session.ready()) {
        complain(card, port.text(Control::Label4));
        return text::failedCardUnchanged;
    }
    if (!session.listFile.load(tracks)) {
        complain(card, port.text(Control::txtTEXT1));
        return text::failedCardUnchanged;
    }
    session.run.usePins(pins);
    session.run.cmdFinish_Click();
    const RunOutcome& outcome = session.run.outcome();
    if (!outcome.message.empty())
        complain(card, outcome.keptFolder.empty() ? outcome.message
                                                  : outcome.message + "\n" + text::keptSourcesIn + outcome.keptFolder);
    verified = outcome.result == RunOutcome::Result::verified;
    switch (outcome.result) {
    case RunOutcome::Result::verified:
        return port.text(Control::txtTEXT1);
    case RunOutcome::Result::interrupted:
        return text::cliInterrupted;
    case RunOutcome::Result::cancelled:
        return port.wipeRefused() ? text::cliWipeNeedsYes : text::cliCancelled;
    case RunOutcome::Result::failed:
        return outcome.cardChanged ? text::failedCardIncomplete : text::failedCardUnchanged;
    case RunOutcome::Result::refused:
    case RunOutcome::Result::none:
        break;
    }
    return text::failedCardUnchanged;
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
    m_out << (m_request.json ? "[" : text::cliListHeading);
    for (int row = 0; row < rows; ++row) {
        const std::string track = port.rowText(Control::lstList2, row);
        const std::string mode = port.rowText(Control::lstListMode, row);
        const std::string file = port.rowText(Control::lstList1, row);
        const std::string bytes = std::to_string(measureFile(session.state.tracks.slot(row + 1).srcPath).bytes);
        if (m_request.json)
            m_out << (row ? ",\n " : "\n ") << "{\"track\": " << track << ", \"mode\": " << mode
                  << ", \"cardFile\": " << json(file) << ", \"bytes\": " << bytes << "}";
        else
            m_out << track << '\t' << mode << '\t' << file << '\t' << bytes << '\n';
    }
    if (m_request.json)
        m_out << (rows ? "\n]\n" : "]\n");
    return exitDone;
}

int Commands::verify() {
    const std::string& card = m_request.cards.front();
    const SavedList list = requestedTracks();
    if (!list.ok()) {
        m_err << text::cliName << text::runReasonSeparator << list.error << '\n';
        return exitFailed;
    }
    const std::string reader = readerFor(m_system, card);
    CardSession session(m_system, reader);
    const RootFolder root = m_system.rootFolder(reader);
    if (!session.ready() || root.status != RootFolder::Status::ok) {
        complain(card, session.port.text(Control::Label4));
        return exitFailed;
    }
    if (!session.listFile.load(list.tracks)) {
        complain(card, session.port.text(Control::txtTEXT1));
        return exitFailed;
    }
    const std::vector<std::string> differences = cardDifferences(m_system, root.path, session.state.tracks);
    for (const std::string& d : differences)
        complain(card, d);
    if (!differences.empty())
        return exitFailed;
    m_out << card << text::runReasonSeparator << text::cliVerified << '\n';
    return exitDone;
}

int Commands::drives() {
    const std::vector<DriveEntry> all = m_system.drives();
    m_out << (m_request.json ? "[" : "");
    for (std::size_t i = 0; i < all.size(); ++i) {
        CardSession session(m_system, all[i].designation);
        const bool ready = session.ready();
        const MonitorState& m = session.state.monitor;
        const char* state = ready ? text::cliReady
                            : m.driveType == static_cast<std::int32_t>(drive_type::removable) && !m.spaceOk
                                ? text::cliNoCard
                                : text::cliNotACard;
        const std::string status = session.port.text(Control::Label4);
        if (m_request.json)
            m_out << (i ? ",\n " : "\n ") << "{\"drive\": " << json(all[i].designation)
                  << ", \"label\": " << json(all[i].label) << ", \"state\": " << json(state)
                  << ", \"status\": " << json(status)
                  << ", \"capacityBytes\": " << (ready ? session.state.cardBytes : 0) << "}";
        else
            m_out << all[i].label << '\t' << state << '\t' << status << '\n';
    }
    if (m_request.json)
        m_out << (all.empty() ? "]\n" : "\n]\n");
    return exitDone;
}

} // namespace

int runCommand(const Request& request, const SystemPort& system, std::ostream& out, std::ostream& err) {
    Commands commands(request, system, out, err);
    switch (request.command) {
    case Request::Command::programme: return commands.programme();
    case Request::Command::list: return commands.list();
    case Request::Command::verify: return commands.verify();
    case Request::Command::drives: return commands.drives();
    case Request::Command::none: break;
    }
    return exitUsage;
}

} // namespace velk::cli
