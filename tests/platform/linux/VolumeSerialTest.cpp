#include "platform/linux/VolumeSerial.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velk {
namespace {

using Header = std::vector<std::uint8_t>;

Header fat(std::size_t signatureAt, std::size_t typeAt, const char* type) {
    Header h(volumeHeaderBytes, 0);
    h[510] = 0x55;
    h[511] = 0xAA;
    h[signatureAt] = 0x29;
    const std::uint8_t id[4] = {0x4D, 0x3C, 0x2B, 0x1A};
    std::copy(id, id + 4, h.begin() + static_cast<std::ptrdiff_t>(signatureAt + 1));
    std::copy(type, type + 8, h.begin() + static_cast<std::ptrdiff_t>(typeAt));
    return h;
}

Header ext() {
    Header h(volumeHeaderBytes, 0);
    h[1024 + 56] = 0x53;
    h[1024 + 57] = 0xEF;
    for (std::size_t i = 0; i < 16; ++i)
        h[1024 + 104 + i] = static_cast<std::uint8_t>(0xA0 + i);
    return h;
}

TEST(VolumeSerial, ReadsWhatTheFileSystemRecordedAtItsMaking) {
    struct Case {
        const char* what;
        Header header;
        std::string serial;
    };
    Header noSignature = fat(38, 54, "FAT16   ");
    noSignature[511] = 0;
    Header noExtendedBoot = fat(38, 54, "FAT16   ");
    noExtendedBoot[38] = 0x28;
    const std::vector<Case> cases = {
        {"FAT16", fat(38, 54, "FAT16   "), "FAT 1A2B-3C4D"},
        {"FAT12", fat(38, 54, "FAT12   "), "FAT 1A2B-3C4D"},
        {"FAT32", fat(66, 82, "FAT32   "), "FAT 1A2B-3C4D"},
        {"ext4", ext(), "ext a0a1a2a3a4a5a6a7a8a9aaabacadaeaf"},
        {"no boot signature", noSignature, ""},
        {"no extended boot record", noExtendedBoot, ""},
        {"zeros", Header(volumeHeaderBytes, 0), ""},
        {"too short for a superblock", Header(600, 0), ""},
        {"nothing", Header{}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(volumeSerial(c.header), c.serial) << c.what;
}

} // namespace
} // namespace velk
