#pragma once

#include <string>
#include <vector>

namespace velk {

class SystemPort;
struct TrackTable;

/// What differs between the card whose root folder is `root` and the first
/// `tracks.trackCount` slots of the table, as the device gives the card back: the index
/// first, then each track's card file against its source, byte for byte. Each difference
/// names the file and what is wrong. Empty when the card holds exactly this list.
[[nodiscard]] std::vector<std::string> cardDifferences(const SystemPort& system,
                                                       const std::string& root,
                                                       const TrackTable& tracks);

} // namespace velk
