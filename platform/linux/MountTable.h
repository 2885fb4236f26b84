#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velk {

/// A device number as the kernel writes it, "major:minor".
struct DeviceNumber {
    unsigned major = 0;
    unsigned minor = 0;

    friend bool operator==(const DeviceNumber&, const DeviceNumber&) = default;
};

/// What a mounted file system holds, as far as the drive lists care.
enum class MountKind {
    pseudo, ///< kernel or memory file systems, images of packages: no place for audio files
    local,  ///< a file system on a block device
    remote, ///< a network share
};

/// One line of a mountinfo table, with its escapes undone.
struct MountEntry {
    int mountId = 0;
    int parentId = 0;
    DeviceNumber device;
    std::string root; ///< the folder of the file system that is mounted, "/" for all of it
    std::string mountPoint;
    std::string fsType;
    std::string source;
    /// The file system's own options ("lowerdir=...,upperdir=..." for an overlay).
    std::string superOptions;
    bool hidden = false; ///< covered by a later mount at or above its mount point
};

/// The mount table of one process, parsed from the text of its mountinfo file.
class MountTable {
public:
    /// Lines that do not have the mountinfo shape are left out.
    [[nodiscard]] static MountTable parse(std::string_view mountinfo);

    /// Undoes the kernel's octal escapes (\040 blank, \011 tab, \012 newline, \134 backslash).
    [[nodiscard]] static std::string unescape(std::string_view field);

    [[nodiscard]] static MountKind kind(const MountEntry& entry);

    /// Every entry, in the kernel's order, hidden ones included.
    [[nodiscard]] const std::vector<MountEntry>& entries() const { return m_entries; }

    /// The file systems worth offering as drives: visible, not pseudo, mounted whole (btrfs
    /// subvolumes count as whole), one mount point for each file system and folder of it, the
    /// shortest; sorted by mount point. The root of the tree is always among them.
    [[nodiscard]] std::vector<const MountEntry*> storage() const;

    /// The visible entry mounted exactly at `mountPoint`, or null.
    [[nodiscard]] const MountEntry* at(std::string_view mountPoint) const;

    /// True when `path` is `mountPoint` or lies inside it.
    [[nodiscard]] static bool contains(std::string_view mountPoint, std::string_view path);

private:
    void markHidden();

    std::vector<MountEntry> m_entries;
};

} // namespace velk
