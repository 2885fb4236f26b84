#pragma once

// Whole programming runs on real removable loop cards (ext4 by the kernel, FAT16 by the
// kernel or fusefat) in a mount namespace of this process's own, each card read back with
// it unmounted: a run may only report "DOWNLOAD COMPLETE" for what the card really holds.

#include "CardWindow.h"
#include "RealCardTest.h"

#include "platform/linux/LinuxSystem.h"
#include "support/Bytes.h"

#include <sys/statvfs.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace velk::test {

class CardIntegrity : public RealCardsTest {
protected:
    const LinuxSystem system;
};

inline std::uint64_t freeBytes(const std::string& folder) {
    struct statvfs st {};
    if (::statvfs(folder.c_str(), &st) != 0)
        return 0;
    return std::uint64_t{st.f_bavail} * st.f_frsize;
}

/// Fills the card at `root` as another program would, in a sub-folder "keep" that the wipe
/// keeps, until `leave` bytes are free; the filler's size.
inline std::uint64_t fillCard(const std::filesystem::path& root, std::uint64_t leave) {
    std::filesystem::create_directories(root / "keep");
    const std::uint64_t filler = freeBytes(root.string()) - leave;
    writeBytes(root / "keep" / "filler", std::string(filler, 'f'));
    return filler;
}

} // namespace velk::test
