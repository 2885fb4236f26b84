#include "SavedList.h"

#include "CardFiles.h"
#include "CardImage.h"
#include "Paths.h"
#include "Sentence.h"
#include "Texts.h"
#include "TrackTable.h"

#include <algorithm>
#include <system_error>

namespace velk {

namespace {

// Far more than sixteen lines of the longest paths: a larger file is no list, and is refused
// by its lines rather than read whole.
constexpr std::size_t largestListBytes = std::size_t{1} << 20;

bool isMode(char c) {
    return c >= '0' && c <= '2';
}

} // namespace

SavedList parseSavedList(const std::string& text) {
    SavedList list;
    std::istringstream in(text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.ends_with('\r'))
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line.front() == '#')
            continue;
        if (line.size() < 3 || line[1] != '\t' || !isMode(line[0]))
            return {{}, fill(text::listBadLine, {{"line", std::to_string(number)}})};
        list.tracks.push_back({static_cast<std::uint8_t>(line[0] - '0'), line.substr(2)});
    }
    return list;
}

std::string savedListText(const std::vector<SavedTrack>& tracks) {
    std::string out = text::listHeading;
    for (const SavedTrack& t : tracks)
        out += std::string(1, static_cast<char>('0' + t.playMode)) + '\t' + t.srcPath + '\n';
    return out;
}

std::vector<SavedTrack> listedTracks(const TrackTable& table, int listed) {
    std::vector<SavedTrack> tracks;
    for (int s = 1; s <= std::min(listed, TrackTable::slotCount); ++s)
        tracks.push_back({table.slot(s).playMode, table.slot(s).srcPath});
    return tracks;
}

SavedList readSavedList(const SystemPort& system, const std::string& path) {
    std::error_code ec;
    const std::vector<std::uint8_t> bytes = readStart(system, path, largestListBytes + 1, ec);
    if (ec)
        return {{}, system.describe(ec)};
    SavedList list = parseSavedList(std::string(bytes.begin(), bytes.end()));
    const std::filesystem::path folder = std::filesystem::absolute(fsPath(path)).parent_path();
    for (SavedTrack& t : list.tracks)
        if (fsPath(t.srcPath).is_relative())
            t.srcPath = utf8Path((folder / fsPath(t.srcPath)).lexically_normal());
    return list;
}

std::string writeSavedList(const SystemPort& system, const std::string& path,
                           const std::vector<SavedTrack>& tracks) {
    const std::string text = savedListText(tracks);
    try {
        WrittenFile written = writeFile(system, {text.begin(), text.end()}, path);
        if (const std::error_code ec = written.file->close())
            return system.describe(ec);
    } catch (const CardError& e) {
        return e.reason();
    }
    return {};
}

SavedTrack trackArgument(const std::string& argument) {
    const std::size_t n = argument.size();
    if (n > 2 && argument[n - 2] == ':' && isMode(argument[n - 1]))
        return {static_cast<std::uint8_t>(argument[n - 1] - '0'), argument.substr(0, n - 2)};
    return {0, argument};
}

} // namespace velk
