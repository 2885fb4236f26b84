#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace velk::cli {

/// What the command line asks for.
struct Request {
    enum class Command { none, programme, list, verify, drives, eject };
    Command command = Command::none;
    std::vector<std::string> cards;
    std::vector<std::string> tracks; ///< TRACK arguments as given
    std::string listFile;
    bool yes = false;
    bool quiet = false;
    bool json = false;
    bool eject = false;        ///< programme: each card verified is ejected
    bool eachInserted = false; ///< programme: a station that programmes every card put in
    int count = 0;             ///< the station stops after this many cards; 0 for no end
    bool help = false;
    bool version = false;
};

/// Wrong usage, worded for the operator.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// Reads the arguments after the program's name. Throws UsageError for an unknown command or
/// option, a missing value, options that the command does not take together, or a TRACK
/// that is no audio file or names a play mode other than 0, 1 or 2.
[[nodiscard]] Request parseArguments(const std::vector<std::string>& arguments);

} // namespace velk::cli
