#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velk {

/// One 14-byte record of an index file.
struct IndexRecord {
    std::uint8_t trackNo = 0;
    std::uint8_t playMode = 0;
    std::string cardName;

    bool operator==(const IndexRecord&) const = default;
};

/// The records of an index file, or why the bytes are not an index this program writes.
struct IndexContent {
    std::vector<IndexRecord> records;
    /// Empty when `records` holds the index; otherwise the reason, for the operator.
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};

/// The largest index worth reading: a count byte of 255 and its records.
inline constexpr std::size_t largestIndexBytes = 1 + 14 * 255;

/// Reads the bytes of INDEX123.VKM back. Accepted: the two bytes 00 00 (no tracks), or a count
/// byte n of 1 or more followed by exactly n records, record i numbered i, with a play mode of
/// 0, 1 or 2 and a card file name M0000001.MP3 to M0000020.MP3. Anything else is refused with
/// the first fault found: a wrong length, a count byte that does not match the records, a bad
/// track number, play mode or name.
[[nodiscard]] IndexContent parseIndex(const std::vector<std::uint8_t>& bytes);

} // namespace velk
