#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace velk {

/// Bytes of a device to read for volumeSerial: the FAT boot sector and the ext superblock.
inline constexpr std::size_t volumeHeaderBytes = 2048;

/// The serial number that the file system at the start of a device records when it is made:
/// the FAT volume ID ("1A2B-3C4D") or the ext UUID in hex. Empty for anything else. Where
/// udev is missing, and FAT's file-system id is only the device number, this is what tells
/// two cards in one reader apart.
[[nodiscard]] std::string volumeSerial(std::span<const std::uint8_t> header);

/// The label that the file system at the start of a device records (FAT's boot sector, the
/// ext superblock), without its padding; empty for none or for anything else.
[[nodiscard]] std::string volumeLabel(std::span<const std::uint8_t> header);

} // namespace velk
