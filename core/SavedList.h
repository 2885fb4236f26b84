#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velk {

class SystemPort;

struct TrackTable;

/// One track of a saved list: its play mode and its source file (UTF-8).
struct SavedTrack {
    std::uint8_t playMode = 0;
    std::string srcPath;

    bool operator==(const SavedTrack&) const = default;
};

/// The tracks of a saved list, or why the text is not one.
struct SavedList {
    std::vector<SavedTrack> tracks;
    /// Empty when `tracks` holds the list; otherwise the reason, for the operator.
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};

/// Reads a saved list: UTF-8 text, one track a line, the play mode 0, 1 or 2, a tab, the source
/// path. Blank lines and lines starting with '#' are skipped; CR LF line ends and a leading
/// byte-order mark are taken too. The first bad line refuses the whole text, by its number.
[[nodiscard]] SavedList parseSavedList(const std::string& text);

/// The text of a saved list, with a first comment line saying what it is.
[[nodiscard]] std::string savedListText(const std::vector<SavedTrack>& tracks);

/// The first `listed` tracks of the table.
[[nodiscard]] std::vector<SavedTrack> listedTracks(const TrackTable& table, int listed);

/// The list in the file at `path`, its relative sources taken from the list's own folder.
[[nodiscard]] SavedList readSavedList(const SystemPort& system, const std::string& path);

/// Replaces the file at `path` with the list, as a card file is written: a link of that name
/// is refused, and a list that cannot be written whole leaves no file. Empty on success, else
/// the system's reason.
[[nodiscard]] std::string writeSavedList(const SystemPort& system, const std::string& path,
                                         const std::vector<SavedTrack>& tracks);

/// A track as the command line names it: PATH, or PATH:MODE with a mode of 0, 1 or 2.
[[nodiscard]] SavedTrack trackArgument(const std::string& argument);

} // namespace velk
