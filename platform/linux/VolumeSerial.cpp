#include "VolumeSerial.h"

#include <cstdio>
#include <string_view>

namespace velk {

namespace {

bool hasText(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view text) {
    return bytes.size() >= at + text.size() &&
           std::string_view(reinterpret_cast<const char*>(bytes.data() + at), text.size()) == text;
}

std::uint16_t le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::string fatSerial(std::span<const std::uint8_t> b, std::size_t at) {
    char text[10];
    std::snprintf(text, sizeof text, "%02X%02X-%02X%02X", b[at + 3], b[at + 2], b[at + 1], b[at]);
    return text;
}

/// `size` bytes of text at `at`, without the blanks and NULs that pad it.
std::string padded(std::span<const std::uint8_t> b, std::size_t at, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(b.data() + at), size);
    text.erase(text.find_last_not_of(std::string_view(" \0", 2)) + 1);
    return text;
}

} // namespace

// FAT12/16 keep the extended boot signature 0x29 at 38 and the ID at 39; FAT32 at 66 and 67.
// The ext superblock starts at 1024, with its magic at +56 and the UUID at +104.
std::string volumeSerial(std::span<const std::uint8_t> header) {
    if (header.size() >= 512 && header[510] == 0x55 && header[511] == 0xAA) {
        if (header[38] == 0x29 && hasText(header, 54, "FAT"))
            return "FAT " + fatSerial(header, 39);
        if (header[66] == 0x29 && hasText(header, 82, "FAT32"))
            return "FAT " + fatSerial(header, 67);
    }
    if (header.size() >= 1024 + 120 && le16(header, 1024 + 56) == 0xEF53) {
        std::string uuid = "ext ";
        for (std::size_t i = 0; i < 16; ++i) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02x", header[1024 + 104 + i]);
            uuid += pair;
        }
        return uuid;
    }
    return {};
}

// FAT12/16 keep the label at 43 and FAT32 at 71, eleven bytes padded with blanks; ext at
// +120 of the superblock, sixteen bytes padded with NULs.
std::string volumeLabel(std::span<const std::uint8_t> header) {
    std::string label;
    if (header.size() >= 512 && header[510] == 0x55 && header[511] == 0xAA) {
        if (header[38] == 0x29 && hasText(header, 54, "FAT"))
            label = padded(header, 43, 11);
        else if (header[66] == 0x29 && hasText(header, 82, "FAT32"))
            label = padded(header, 71, 11);
        return label == "NO NAME" ? std::string() : label;
    }
    if (header.size() >= 1024 + 136 && le16(header, 1024 + 56) == 0xEF53)
        label = padded(header, 1024 + 120, 16);
    return label;
}

} // namespace velk
