#include "FakeTree.h"

#include "support/DriveLabel.h"
#include "support/MountNamespace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include <sys/mount.h>
#include <sys/statvfs.h>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

TEST_F(FakeTree, AMountedCardAnswersWithItsFileSystemsCounts) {
    const std::string card = folder("usb stick"); // a blank, escaped in mountinfo
    // A 2 GB card: too small a disk to hold a file system the player refuses, whatever the
    // temporary folder's file system measures.
    readerWithOnePartition("3862528");
    mounts(line(40, "8:17", card, "vfat", "/dev/sdb1"));
    const LinuxSystem sys = system();

    const auto space = sys.diskSpace("/dev/sdb");
    ASSERT_TRUE(space.has_value());
    struct statvfs st {};
    ASSERT_EQ(::statvfs(card.c_str(), &st), 0);
    EXPECT_EQ(space->bytesPerSector, 512u);
    EXPECT_EQ(std::uint64_t{space->sectorsPerCluster} * space->bytesPerSector, st.f_frsize);
    EXPECT_EQ(space->totalClusters, std::min<std::uint64_t>(st.f_blocks, UINT32_MAX));

    const RootFolder root = sys.rootFolder("/dev/sdb");
    EXPECT_EQ(root.status, RootFolder::Status::ok);
    EXPECT_EQ(root.path, card);
    const auto drives = sys.drives();
    EXPECT_EQ(labelOf(drives, "/dev/sdb"), withDetail("/dev/sdb", text::driveCardPrefix + card));
    EXPECT_EQ(labelOf(drives, card), "(not listed)")
        << "the card's mount is not a drive of its own";
}

// Needs root and mounts in a namespace of its own. The file system is measured, as the monitor
// measures it, not the disk: a small partition of a large card is a card.
TEST_F(FakeTree, ACardTooLargeForThePlayerSaysWhy) {
    if (const std::string& why = test::whyNoPrivateMounts(); !why.empty())
        GTEST_SKIP() << why;
    readerWithOnePartition("15523840"); // an 8 GB card
    const struct {
        const char* bytes;
        bool tooLarge;
    } cases[] = {{"3000000000", true}, {"2400000000", false}};
    for (const auto& c : cases) {
        const std::string card = folder(std::string("card of ") + c.bytes);
        ASSERT_EQ(
            ::mount("card", card.c_str(), "tmpfs", 0, (std::string("size=") + c.bytes).c_str()), 0)
            << std::strerror(errno);
        mounts(line(40, "8:17", card, "vfat", "/dev/sdb1"));
        EXPECT_EQ(labelOf(system().drives(), "/dev/sdb"),
                  withDetail("/dev/sdb",
                             c.tooLarge ? text::driveCardTooLarge : text::driveCardPrefix + card))
            << c.bytes;
        ::umount2(card.c_str(), MNT_DETACH);
    }
}

TEST_F(FakeTree, PartitionsBelongToTheirOwnDiskOnly) {
    struct Case {
        DiskSpec shorter; ///< its name is a prefix of the other's; a card with nothing mounted
        DiskSpec longer;
        std::string longerPart;
        std::string longerPartDev;
    };
    const Case cases[] = {
        {{"sda", "1", "100", "8:0"}, {"sdaa", "1", "100", "65:160"}, "sdaa1", "65:161"},
        {{"nvme0n1", "1", "100", "259:0"},
         {"nvme0n10", "1", "100", "259:9"},
         "nvme0n10p1",
         "259:10"},
        {{"mmcblk1", "1", "100", "179:32"},
         {"mmcblk10", "1", "100", "179:320"},
         "mmcblk10p1",
         "179:321"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.longer.name);
        fs::remove_all(m_base / "sys");
        m_diskFolders.clear();
        disk(c.shorter);
        disk(c.longer);
        partition(c.longer.name, c.longerPart, 1, c.longerPartDev);
        const std::string byNumber = folder(c.longerPart + "-number");
        const std::string bySource = folder(c.longerPart + "-source");
        const LinuxSystem sys = system();

        mounts(line(40, c.longerPartDev, byNumber, "ext4", "/dev/" + c.longerPart));
        EXPECT_EQ(sys.rootFolder("/dev/" + c.longer.name).path, byNumber);
        EXPECT_EQ(sys.rootFolder("/dev/" + c.shorter.name).status,
                  RootFolder::Status::deviceUnavailable);

        // An anonymous device number: only the source names the partition.
        mounts(line(41, "0:55", bySource, "btrfs", "/dev/" + c.longerPart));
        EXPECT_EQ(sys.rootFolder("/dev/" + c.longer.name).path, bySource);
        EXPECT_EQ(sys.rootFolder("/dev/" + c.shorter.name).status,
                  RootFolder::Status::deviceUnavailable);
    }
}

TEST_F(FakeTree, TheCardRootIsTheWholeDiskOrItsFirstPartition) {
    const std::string whole = folder("whole");
    const std::string first = folder("first");
    const std::string second = folder("second");
    const std::string subfolder = folder("bound");
    readerWithOnePartition("100");
    partition("sdb", "sdb2", 2, "8:18");
    const LinuxSystem sys = system();

    mounts(line(40, "8:18", second, "vfat", "/dev/sdb2") +
           line(41, "8:17", first, "vfat", "/dev/sdb1"));
    EXPECT_EQ(sys.rootFolder("/dev/sdb").path, first);
    mounts(line(40, "8:17", subfolder, "vfat", "/dev/sdb1", "/music") +
           line(41, "8:18", second, "vfat", "/dev/sdb2"));
    EXPECT_EQ(sys.rootFolder("/dev/sdb").path, second) << "a bind mount of a folder is no root";
    mounts(line(40, "8:17", first, "vfat", "/dev/sdb1") +
           line(41, "8:16", whole, "vfat", "/dev/sdb"));
    EXPECT_EQ(sys.rootFolder("/dev/sdb").path, whole);
}

} // namespace
} // namespace velk::test
