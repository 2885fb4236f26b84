#pragma once

#include <string>
#include <vector>

namespace velk {

class SystemPort;
struct TrackTable;

/// What differs between the card whose root folder is `root` and the first
/// `tracks.trackCount` slots of the table, as the device gives the card back, in the
/// operator's words: the card's INDEX file missing or damaged, how many tracks the card holds
/// against the list, each track's play mode, and each track's file against its source,
/// byte for byte ("track 2 differs from b.mp3 at byte 1000"). Empty when the card holds
/// exactly this list.
[[nodiscard]] std::vector<std::string>
cardDifferences(const SystemPort& system, const std::string& root, const TrackTable& tracks);

} // namespace velk
