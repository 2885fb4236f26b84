#include "platform/linux/MountTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace velk {
namespace {

std::vector<std::string> mountPoints(const std::vector<const MountEntry*>& entries) {
    std::vector<std::string> out;
    for (const MountEntry* e : entries)
        out.push_back(e->mountPoint);
    return out;
}

TEST(MountTableParse, ReadsEveryFieldAndSkipsOptionalOnes) {
    const auto table = MountTable::parse(
        "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 shared:7 - ext3 /dev/root rw,errors=continue\n"
        "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard\n");
    ASSERT_EQ(table.entries().size(), 2u);
    const MountEntry& e = table.entries()[0];
    EXPECT_EQ(e.mountId, 36);
    EXPECT_EQ(e.parentId, 35);
    EXPECT_EQ(e.device, (DeviceNumber{98, 0}));
    EXPECT_EQ(e.root, "/mnt1");
    EXPECT_EQ(e.mountPoint, "/mnt2");
    EXPECT_EQ(e.fsType, "ext3");
    EXPECT_EQ(e.source, "/dev/root");
    EXPECT_EQ(table.entries()[1].device, (DeviceNumber{254, 0}));
    EXPECT_EQ(table.entries()[1].source, "/dev/vda");
}

TEST(MountTableParse, UndoesOctalEscapes) {
    struct Case {
        const char* field;
        const char* expected;
    };
    const Case cases[] = {
        {R"(/media/my\040card)", "/media/my card"},
        {R"(/a\011b\012c)", "/a\tb\nc"},
        {R"(/back\134slash)", "/back\\slash"},
        {R"(\040lead)", " lead"},
        {R"(trail\040)", "trail "},
        {R"(/not\08octal)", R"(/not\08octal)"},
        {R"(/short\04)", R"(/short\04)"},
        {R"(/end\)", R"(/end\)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MountTable::unescape(c.field), c.expected) << c.field;

    const auto table =
        MountTable::parse(R"(40 27 8:17 / /media/usb\040stick rw - vfat /dev/sdb1 rw)"
                          "\n");
    ASSERT_EQ(table.entries().size(), 1u);
    EXPECT_EQ(table.entries()[0].mountPoint, "/media/usb stick");
}

TEST(MountTableParse, LeavesOutLinesOfAnotherShape) {
    const auto table =
        MountTable::parse("\n"
                          "garbage\n"
                          "x 1 8:1 / /a rw - ext4 /dev/sda1 rw\n"     // id not a number
                          "2 1 81 / /b rw - ext4 /dev/sda1 rw\n"      // no colon in the device
                          "3 1 8:x / /c rw - ext4 /dev/sda1 rw\n"     // minor not a number
                          "4 1 8:1 / /d rw shared:1 ext4 /dev/sda1\n" // no separator
                          "5 1 8:1 / /e rw -\n"                       // nothing after the separator
                          "6 1 8:1 / /f rw - ext4 /dev/sda1 rw"); // the last line has no newline
    ASSERT_EQ(table.entries().size(), 1u);
    EXPECT_EQ(table.entries()[0].mountPoint, "/f");
}

TEST(MountTableKind, SortsFileSystemsByWhatTheyHold) {
    struct Case {
        const char* fsType;
        unsigned major;
        const char* source;
        MountKind expected;
    };
    const Case cases[] = {
        {"ext4", 8, "/dev/sda1", MountKind::local},
        {"vfat", 179, "/dev/mmcblk0p1", MountKind::local},
        {"btrfs", 0, "/dev/nvme0n1p2", MountKind::local},
        {"zfs", 0, "rpool/home", MountKind::local},
        {"fuseblk", 0, "/dev/sdb1", MountKind::local},
        {"exfat-unknown", 0, "/dev/sdc1", MountKind::local},
        {"nfs4", 0, "server:/export", MountKind::remote},
        {"cifs", 0, "//server/share", MountKind::remote},
        {"proc", 0, "proc", MountKind::pseudo},
        {"sysfs", 0, "sysfs", MountKind::pseudo},
        {"tmpfs", 0, "tmpfs", MountKind::pseudo},
        {"devtmpfs", 0, "udev", MountKind::pseudo},
        {"cgroup2", 0, "cgroup2", MountKind::pseudo},
        {"overlay", 0, "overlay", MountKind::pseudo},
        {"squashfs", 7, "/dev/loop3", MountKind::pseudo},
        {"fuse.gvfsd-fuse", 0, "gvfsd-fuse", MountKind::pseudo},
        {"fuse.appimage", 0, "/dev/fuse", MountKind::pseudo},
    };
    for (const Case& c : cases) {
        MountEntry e;
        e.fsType = c.fsType;
        e.device = {c.major, 1};
        e.source = c.source;
        EXPECT_EQ(MountTable::kind(e), c.expected) << c.fsType << " from " << c.source;
    }
}

TEST(MountTableHidden, LaterMountsCoverEarlierOnes) {
    const auto table =
        MountTable::parse("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                          "2 1 8:2 / /mnt rw - ext4 /dev/sda2 rw\n"
                          "3 2 8:3 / /mnt/inner rw - ext4 /dev/sda3 rw\n"
                          "4 1 0:40 / /mnt rw - tmpfs tmpfs rw\n" // covers /mnt and /mnt/inner
                          "5 1 8:5 / /data rw - ext4 /dev/sda5 rw\n"
                          "6 5 8:6 / /data/sub rw - ext4 /dev/sda6 rw\n" // a child, not a cover
                          "7 1 8:7 / /srv rw - ext4 /dev/sda7 rw\n"
                          "8 7 8:8 / /srv rw - ext4 /dev/sda8 rw\n"); // stacked on /srv
    std::vector<std::string> visible;
    for (const MountEntry& e : table.entries())
        if (!e.hidden)
            visible.push_back(std::to_string(e.mountId));
    EXPECT_EQ(visible, (std::vector<std::string>{"1", "4", "5", "6", "8"}));
    ASSERT_NE(table.at("/srv"), nullptr);
    EXPECT_EQ(table.at("/srv")->mountId, 8);
    EXPECT_EQ(table.at("/mnt/inner"), nullptr);
}

TEST(MountTableHidden, AMovedParentListedAfterItsChildCoversNothing) {
    const auto table = MountTable::parse("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                         "9 5 8:9 / /media/card/sub rw - ext4 /dev/sdb2 rw\n"
                                         "5 1 8:17 / /media/card rw - vfat /dev/sdb1 rw\n");
    for (const MountEntry& e : table.entries())
        EXPECT_FALSE(e.hidden) << e.mountPoint;
}

TEST(MountTableStorage, OffersRealFileSystemsOnceEach) {
    const auto table =
        MountTable::parse("22 27 0:21 / /proc rw - proc proc rw\n"
                          "23 27 0:22 / /sys rw - sysfs sysfs rw\n"
                          "25 24 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
                          "27 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                          "30 27 8:1 / /boot/efi rw - vfat /dev/sda1 rw\n"
                          "31 27 0:45 /@home /home rw - btrfs /dev/nvme0n1p3 rw\n"
                          "32 27 0:45 /@home /mnt/home-again rw - btrfs /dev/nvme0n1p3 rw\n"
                          "33 27 8:2 /var/lib/docker/hosts /etc/hosts rw - ext4 /dev/sda2 rw\n"
                          "34 27 8:1 / /mnt/efi-again rw - vfat /dev/sda1 rw\n"
                          "35 27 7:3 / /snap/core/1 ro - squashfs /dev/loop3 ro\n"
                          "36 27 0:60 / /net/share rw - nfs4 server:/export rw\n"
                          "37 27 0:61 / /run/user/0 rw - tmpfs tmpfs rw\n");
    EXPECT_EQ(mountPoints(table.storage()),
              (std::vector<std::string>{"/", "/boot/efi", "/home", "/net/share"}));
}

TEST(MountTableStorage, TheRootOfTheTreeIsOfferedWhateverItIs) {
    const auto table = MountTable::parse(
        "100 90 0:50 / / rw - overlay overlay rw,lowerdir=/l\n"
        "101 100 0:51 / /proc rw - proc proc rw\n"
        "102 100 8:1 /var/lib/docker/volumes/v/_data /data rw - ext4 /dev/sda1 rw\n");
    EXPECT_EQ(mountPoints(table.storage()), (std::vector<std::string>{"/"}));
}

TEST(MountTableStorage, ACoveredMountIsNoDrive) {
    const auto table = MountTable::parse("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                         "2 1 8:17 / /media/card rw - vfat /dev/sdb1 rw\n"
                                         "3 1 0:30 / /media rw - tmpfs tmpfs rw\n");
    EXPECT_EQ(mountPoints(table.storage()), (std::vector<std::string>{"/"}));
}

TEST(MountTableContains, MatchesWholePathComponents) {
    struct Case {
        const char* mountPoint;
        const char* path;
        bool expected;
    };
    const Case cases[] = {
        {"/", "/", true},
        {"/", "/home/a", true},
        {"/home", "/home", true},
        {"/home", "/home/a", true},
        {"/home", "/homer", false},
        {"/home", "/", false},
        {"/media/card", "/media/card/x/y", true},
        {"/media/card", "/media/cardx", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MountTable::contains(c.mountPoint, c.path), c.expected)
            << c.mountPoint << " holds " << c.path;
}

} // namespace
} // namespace velk
