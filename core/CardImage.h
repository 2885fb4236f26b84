#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace velk {

struct TrackTable;
class SystemPort;

/// Name of the index file, both staged in the current folder and on the card.
inline constexpr const char* indexFileName = "INDEX123.VKM";
/// Empty file placed in the card's root just before the wipe, which removes it again.
inline constexpr const char* dummyFileName = "fred.vkm";

/// A file operation on the card or on the staged index that failed: the file it worked on,
/// the copy's target if it was a copy, and the system's own reason.
class CardError : public std::runtime_error {
public:
    CardError(std::string path, std::string reason, std::string target = {});

    [[nodiscard]] const std::string& path() const { return m_path; }
    [[nodiscard]] const std::string& target() const { return m_target; }
    [[nodiscard]] const std::string& reason() const { return m_reason; }

private:
    std::string m_path;
    std::string m_reason;
    std::string m_target;
};

/// The card file names of slots 1 to 20, which depend only on the slot number.
class CardNames {
public:
    static constexpr int count = 20;

    /// Name of slot 1 to 20; any other slot is a programming fault and throws.
    [[nodiscard]] const std::string& operator[](int slot) const;

private:
    friend CardNames buildCardNames();
    std::array<std::string, count> m_names{};
};

/// "M00000" + two-digit slot + ".MP3" for every slot: M0000001.MP3 to M0000020.MP3.
[[nodiscard]] CardNames buildCardNames();

/// Content of the index for the first `tracks.trackCount` slots. Byte 0 is the count's low
/// byte, then 14-byte records from offset 1: track number (low byte), play mode, 12-character
/// card name. No tracks gives the two bytes 00 00 (the count as a 16-bit integer).
[[nodiscard]] std::vector<std::uint8_t> indexBytes(const TrackTable& tracks,
                                                   const CardNames& names);

/// Sets `tracks.trackCount` to `listedRows` and replaces the file at `path` completely
/// with indexBytes, which it returns. Only an index is replaced: a link, a folder or a file
/// whose bytes are no index is left as it is, and CardError says so. Throws CardError.
std::vector<std::uint8_t> writeIndexFile(const SystemPort& system, TrackTable& tracks,
                                         int listedRows, const CardNames& names,
                                         const std::string& path);

/// The staged index: indexFileName in the process's current folder, or, where that folder
/// lies on a removable disk (a card, perhaps the one to be programmed), in the program's data
/// folder, made when missing: no card is written before its own run gets to it. Throws
/// CardError when neither folder can be had.
[[nodiscard]] std::string stagedIndexPath(const SystemPort& system);

/// Path of a card file: the root and the 8 + 3 name with one separator between them.
[[nodiscard]] std::string cardFilePath(const std::string& destDrive, const std::string& name);

} // namespace velk
