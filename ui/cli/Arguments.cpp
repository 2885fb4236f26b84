#include "Arguments.h"

#include "core/CommandLineTexts.h"
#include "core/FilePattern.h"
#include "core/SavedList.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace velk::cli {

namespace {

using Command = Request::Command;

const std::map<std::string, Command> commands = {{"programme", Command::programme},
                                                 {"list", Command::list},
                                                 {"verify", Command::verify},
                                                 {"drives", Command::drives},
                                                 {"eject", Command::eject}};

// "intro.mp3:3" is no file called so, but a mode given wrong; "intro.txt" is no track.
void checkTrack(const std::string& argument) {
    const SavedTrack track = trackArgument(argument);
    if (isAudioFile(track.srcPath))
        return;
    const std::size_t colon = argument.rfind(':');
    const std::string after =
        colon == std::string::npos ? std::string() : argument.substr(colon + 1);
    const bool modeGiven =
        !after.empty() && std::all_of(after.begin(), after.end(),
                                      [](unsigned char c) { return std::isdigit(c) != 0; });
    throw UsageError(argument + (modeGiven ? text::cliBadMode : text::cliNotAudio));
}

void checkCombination(const Request& r) {
    const bool takesTracks = r.command == Command::programme || r.command == Command::verify;
    if (r.eachInserted && !r.cards.empty())
        throw UsageError(text::cliStationTakesNoCard);
    if (r.eachInserted && !r.yes)
        throw UsageError(text::cliNeedsYesForStation);
    if (r.count != 0 && !r.eachInserted)
        throw UsageError(text::cliCountWithoutStation);
    if (r.command != Command::drives && r.cards.empty() && !r.eachInserted)
        throw UsageError(text::cliNeedsCard);
    if (r.command == Command::drives && !r.cards.empty())
        throw UsageError(text::cliUnknownOption + std::string("--card"));
    if ((r.command == Command::list || r.command == Command::verify) && r.cards.size() > 1)
        throw UsageError(text::cliOneCard);
    if (!takesTracks && (!r.tracks.empty() || !r.listFile.empty()))
        throw UsageError(text::cliNoArguments);
    if (takesTracks && r.tracks.empty() && r.listFile.empty())
        throw UsageError(text::cliNeedsTracks);
    if (!r.tracks.empty() && !r.listFile.empty())
        throw UsageError(text::cliTracksOrList);
    std::for_each(r.tracks.begin(), r.tracks.end(), checkTrack);
}

} // namespace

Request parseArguments(const std::vector<std::string>& arguments) {
    Request r;
    auto at = arguments.begin();
    if (at != arguments.end() && !at->starts_with("-")) {
        const auto found = commands.find(*at);
        if (found == commands.end())
            throw UsageError(text::cliUnknownCommand + *at);
        r.command = found->second;
        ++at;
    }
    auto value = [&](const std::string& option) {
        if (++at == arguments.end())
            throw UsageError(option + text::cliNeedsValue);
        return *at;
    };
    bool optionsEnded = false;
    for (; at != arguments.end(); ++at) {
        const std::string& a = *at;
        if (optionsEnded || !a.starts_with("-") || a == "-")
            r.tracks.push_back(a);
        else if (a == "--")
            optionsEnded = true;
        else if (a == "--help" || a == "-h")
            r.help = true;
        else if (a == "--version" && r.command == Command::none)
            r.version = true;
        else if (a == "--card" && r.command != Command::none)
            r.cards.push_back(value(a));
        else if (a == "--list" && (r.command == Command::programme || r.command == Command::verify))
            r.listFile = value(a);
        else if (a == "--yes" && r.command == Command::programme)
            r.yes = true;
        else if (a == "--quiet" && r.command == Command::programme)
            r.quiet = true;
        else if (a == "--json" && (r.command == Command::list || r.command == Command::drives ||
                                   r.command == Command::programme))
            r.json = true;
        else if (a == "--eject" && r.command == Command::programme)
            r.eject = true;
        else if (a == "--each-inserted" && r.command == Command::programme)
            r.eachInserted = true;
        else if (a == "--count" && r.command == Command::programme) {
            const std::string n = value(a);
            r.count = std::all_of(n.begin(), n.end(),
                                  [](unsigned char c) { return std::isdigit(c) != 0; }) &&
                              !n.empty() && n.size() < 6
                          ? std::stoi(n)
                          : 0;
            if (r.count <= 0)
                throw UsageError(text::cliBadCount);
        } else
            throw UsageError(text::cliUnknownOption + a);
    }
    if (r.command == Command::none && !r.help && !r.version)
        throw UsageError(text::cliNeedsCommand);
    if (!r.help && r.command != Command::none)
        checkCombination(r);
    return r;
}

} // namespace velk::cli
