#include "FakeTree.h"

#include "support/DriveLabel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

// A card reader whose card the running system uses is listed with the reason and is no card.
TEST_F(FakeTree, ACardTheSystemUsesIsNoCard) {
    struct Case {
        const char* mountPoint;
        const char* swap; ///< the line of /proc/swaps after its heading
        const char* use;  ///< what the label names; empty for a card
    };
    const Case cases[] = {
        {"/boot/firmware", "", "/boot/firmware"},
        {"/", "", "/"},
        {"/home", "", "/home"},
        {"/usr/local", "", "/usr/local"},
        {"/media/pi/CARD", "", ""},
        {"/home/pi/card", "", ""},
        {"/media/pi/CARD", "/dev/mmcblk1p2 partition 1048572 0 -2", "/dev/mmcblk1p2"},
        {"/media/pi/CARD", "/media/pi/CARD/swap\\040file file 1048572 0 -2",
         "/media/pi/CARD/swap file"},
        {"/media/pi/CARD", "/dev/dm-0 partition 1048572 0 -2", "/dev/dm-0"}, // encrypted swap on p2
    };
    sdCardOfTwoPartitions();
    for (const Case& c : cases) {
        mounts(line(30, "179:33", c.mountPoint, "vfat", "/dev/mmcblk1p1"));
        put(m_base / "proc/swaps",
            std::string("Filename Type Size Used Priority\n") + c.swap + "\n");
        const LinuxSystem sys = system();
        const std::string use = c.use;
        EXPECT_EQ(labelOf(sys.drives(), "/dev/mmcblk1"),
                  use.empty() ? "/dev/mmcblk1  (card: " + std::string(c.mountPoint) + ")"
                              : "/dev/mmcblk1  (system disk: " + use + ")")
            << c.mountPoint << " " << c.swap;
        EXPECT_EQ(sys.driveType("/dev/mmcblk1"),
                  use.empty() ? drive_type::removable : drive_type::fixed)
            << c.mountPoint << " " << c.swap;
    }
}

// The system may reach a card by other ways than a mount at one of its own folders: a folder
// of the card bound elsewhere, a second file system on it, an encrypted volume on it that
// btrfs names by a link, an overlay or a loop image whose files lie on it, a ZFS pool.
TEST_F(FakeTree, ACardTheSystemReachesOtherwiseIsNoCard) {
    const fs::path dev = m_base / "dev";
    const std::string card = "/media/pi/CARD";
    const std::string cardLine =
        "30 1 179:33 / " + card + " rw - vfat " + (dev / "mmcblk1p1").string() + " rw\n";
    struct Case {
        std::string mounts; ///< after the card's own mount
        const char* use;    ///< what the label names; empty for a card
    };
    const Case cases[] = {
        {"", ""},
        {"31 1 179:33 /music /home/pi/music rw - vfat /dev/mmcblk1p1 rw\n", "/home/pi/music"},
        {"31 1 179:33 /srv /srv rw - vfat /dev/mmcblk1p1 rw\n", "/srv"},
        {"31 1 179:34 / /media/pi/OTHER rw - ext4 /dev/mmcblk1p2 rw\n", ""},
        {"31 1 179:34 / /mnt/data rw - ext4 /dev/mmcblk1p2 rw\n", "/mnt/data"},
        {"31 1 0:40 / / rw - btrfs /dev/mapper/luks-1 rw,subvol=/\n", "/"},
        {"31 1 0:41 / / rw - overlay overlay rw,lowerdir=" + card +
             "/lower,upperdir=/tmp/up,workdir=/tmp/work\n",
         "/"},
        {"31 1 7:7 / /usr rw - ext4 /dev/loop7 rw\n", "/usr"},
        {"31 1 0:42 / / rw - zfs rpool/ROOT/debian rw\n", "/"},
    };
    sdCardOfTwoPartitions();
    put(m_base / "sys/block/loop7/loop/backing_file", card + "/rootfs.img\n");
    for (const char* node : {"dm-0", "mmcblk1p2"})
        put(dev / node, "");
    fs::create_directories(dev / "mapper");
    fs::create_symlink("../dm-0", dev / "mapper/luks-1");
    fs::create_directories(dev / "disk/by-label");
    fs::create_symlink("../../mmcblk1p2", dev / "disk/by-label/rpool");
    put(m_base / "proc/swaps", "Filename Type Size Used Priority\n");
    const LinuxSystem sys((m_base / "proc").string(), (m_base / "sys").string(), dev.string());
    const std::string reader = (dev / "mmcblk1").string();
    for (const Case& c : cases) {
        // A file system at "/" is mounted first: a later one would cover the card's.
        std::string lines =
            c.mounts.find(" / / ") != std::string::npos ? c.mounts + cardLine : cardLine + c.mounts;
        for (std::size_t at; (at = lines.find(" /dev/")) != std::string::npos;)
            lines.replace(at, 5, " " + dev.string());
        mounts(lines);
        const std::string use = c.use;
        EXPECT_EQ(labelOf(sys.drives(), reader),
                  reader +
                      (use.empty() ? "  (card: " + card + ")" : "  (system disk: " + use + ")"))
            << c.mounts;
    }
}

} // namespace
} // namespace velk::test
