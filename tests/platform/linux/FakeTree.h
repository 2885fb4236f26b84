#pragma once

#include "core/PlatformTexts.h"
#include "platform/linux/LinuxSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace velk::test {

/// Writes `text` to `path`, making the folders above it.
inline void put(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

/// How a made-up disk looks in the sys tree.
struct DiskSpec {
    std::string name;
    std::string removable = "0";
    std::string sectors = "15523840";
    std::string dev = "8:0";
    /// The bus path under devices/ that its `device` link resolves to; empty for none.
    std::string bus = "pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0";
    /// What device/type reads ("0" a SCSI disk, "5" an optical drive, "SD", "MMC").
    std::string type = "0";
};

inline std::string withDetail(const std::string& drive, const std::string& detail) {
    return drive + text::driveDetailOpen + detail + text::driveDetailClose;
}

/// Made-up proc and sys trees in a temporary folder, plus real folders to mount things on.
class FakeTree : public ::testing::Test {
protected:
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::current_path(m_startFolder, ignored);
    }

    [[nodiscard]] LinuxSystem system() const {
        return LinuxSystem((m_base / "proc").string(), (m_base / "sys").string(), "/dev");
    }

    /// Lays a disk out as the kernel does: its folder in the device tree under its bus, a link
    /// to that from block/, and links by number from dev/block/ and by name from class/block/.
    void disk(const DiskSpec& d) {
        const std::filesystem::path device =
            m_base / "sys/devices" / (d.bus.empty() ? "virtual" : d.bus);
        const std::filesystem::path dir = device / "block" / d.name;
        put(dir / "removable", d.removable + "\n");
        put(dir / "size", d.sectors + "\n");
        put(dir / "dev", d.dev + "\n");
        put(dir / "queue/logical_block_size", "512\n"); // a sub-folder that is no partition
        if (!d.bus.empty()) {
            put(device / "type", d.type + "\n");
            std::filesystem::create_directory_symlink(std::filesystem::relative(device, dir),
                                                      dir / "device");
        }
        link(dir, m_base / "sys/block" / d.name);
        link(dir, m_base / "sys/dev/block" / d.dev);
        link(dir, m_base / "sys/class/block" / d.name);
        m_diskFolders[d.name] = dir;
    }
    /// A card reader, sdb (8:16), whose card of `sectors` has one partition, sdb1 (8:17).
    void readerWithOnePartition(const std::string& sectors) {
        disk({"sdb", "1", sectors, "8:16"});
        partition("sdb", "sdb1", 1, "8:17");
    }
    /// An SD card, mmcblk1 (179:32), of two partitions; an encrypted volume, dm-0, holds the
    /// second.
    void sdCardOfTwoPartitions() {
        disk({"mmcblk1", "0", "7626752", "179:32", "platform/mmc_host/mmc1/mmc1:0001", "SD"});
        partition("mmcblk1", "mmcblk1p1", 1, "179:33");
        partition("mmcblk1", "mmcblk1p2", 2, "179:34");
        put(m_base / "sys/devices/virtual/block/dm-0/dev", "253:0\n");
        link(m_base / "sys/devices/virtual/block/dm-0", m_base / "sys/class/block/dm-0");
        link(m_base / "sys/devices/virtual/block/dm-0",
             m_base / "sys/class/block/mmcblk1p2/holders/dm-0");
    }
    void partition(const std::string& diskName, const std::string& name, int number,
                   const std::string& dev) {
        const std::filesystem::path dir = m_diskFolders.at(diskName) / name;
        put(dir / "partition", std::to_string(number) + "\n");
        put(dir / "dev", dev + "\n");
        link(dir, m_base / "sys/dev/block" / dev);
        link(dir, m_base / "sys/class/block" / name);
    }
    void link(const std::filesystem::path& target, const std::filesystem::path& at) {
        std::filesystem::create_directories(at.parent_path());
        std::filesystem::create_directory_symlink(
            std::filesystem::relative(target, at.parent_path()), at);
    }
    void setSectors(const std::string& diskName, const std::string& sectors) {
        put(m_base / "sys/block" / diskName / "size", sectors + "\n");
    }
    /// The mountinfo lines after the root line "1 0 8:2 / / ... /dev/sda2".
    void mounts(const std::string& lines) {
        put(m_base / "proc/self/mountinfo", "1 0 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                                            "20 1 0:21 / /proc rw - proc proc rw\n"
                                            "21 1 0:22 / /sys rw - sysfs sysfs rw\n" +
                                                lines);
    }
    /// A real folder to mount things on; `name` may hold blanks.
    [[nodiscard]] std::string folder(const std::string& name) const {
        const std::filesystem::path path = m_base / "mnt" / name;
        std::filesystem::create_directories(path);
        return path.string();
    }
    static std::string escaped(std::string path) {
        for (std::size_t at; (at = path.find(' ')) != std::string::npos;)
            path.replace(at, 1, "\\040");
        return path;
    }
    static std::string line(int id, const std::string& dev, const std::string& mountPoint,
                            const std::string& fsType, const std::string& source,
                            const std::string& root = "/") {
        return std::to_string(id) + " 1 " + dev + " " + root + " " + escaped(mountPoint) +
               " rw - " + fsType + " " + source + " rw\n";
    }

    TempFolder m_tree;
    const std::filesystem::path m_base = m_tree.path();
    std::map<std::string, std::filesystem::path> m_diskFolders;
    std::filesystem::path m_startFolder = std::filesystem::current_path();
};

} // namespace velk::test
