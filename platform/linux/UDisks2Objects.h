#pragma once

#include <set>
#include <string>
#include <vector>

#include <systemd/sd-bus.h>

// UDisks2's object tree as the mounter needs it: its block devices, which hold a file system,
// and which drives can be powered off.
namespace velk::udisks2 {

inline constexpr const char* service = "org.freedesktop.UDisks2";
inline constexpr const char* root = "/org/freedesktop/UDisks2";
inline constexpr const char* blockInterface = "org.freedesktop.UDisks2.Block";
inline constexpr const char* filesystemInterface = "org.freedesktop.UDisks2.Filesystem";
inline constexpr const char* driveInterface = "org.freedesktop.UDisks2.Drive";

/// A block device as the object tree describes it.
struct BlockObject {
    std::string path;
    std::string device;
    std::string drive; ///< the object of the drive that holds it
    bool hasFilesystem = false;
};

/// The block devices and the drives that UDisks2 knows.
struct ObjectTree {
    std::vector<BlockObject> blocks;
    std::set<std::string> drivesThatPowerOff;

    /// The block object of `device` that holds a file system, or null.
    [[nodiscard]] const BlockObject* filesystemOf(const std::string& device) const {
        for (const BlockObject& block : blocks)
            if (block.device == device && block.hasFilesystem)
                return &block;
        return nullptr;
    }
};

/// Reads the answer of GetManagedObjects into `tree`. Negative on failure.
int readTree(sd_bus_message* m, ObjectTree& tree);

/// Asks for the whole object tree and waits for it. Negative on failure, with `error` set
/// where something on the bus answered with one.
int askTree(sd_bus* bus, ObjectTree& tree, sd_bus_error* error);

} // namespace velk::udisks2
