#include "FakeTree.h"

#include "support/DriveLabel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

TEST_F(FakeTree, TellsCardReadersFromOtherDisks) {
    struct Case {
        DiskSpec disk;
        bool eMmc;
        std::uint32_t expected;
    };
    const std::string usbBus = "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
    const std::string mmcBus = "platform/fe320000.mmc/mmc_host/mmc1/mmc1:aaaa";
    const Case cases[] = {
        {{"sdb", "1", "0", "8:16"}, false, drive_type::removable},
        {{"sdc", "0", "0", "8:32", usbBus}, false, drive_type::removable},
        {{"mmcblk1", "0", "0", "179:32", mmcBus, "SD"}, false, drive_type::removable},
        {{"mmcblk2", "0", "0", "179:64", mmcBus + "2", "MMC"}, false, drive_type::removable},
        {{"mmcblk0", "0", "0", "179:0", "platform/emmc/mmc_host/mmc0/mmc0:0001", "MMC"},
         true,
         drive_type::noRootDir},
        {{"sda", "0", "0", "8:0"}, false, drive_type::noRootDir},
        {{"sr0", "1", "0", "11:0", "pci0000:00/ata2/host1/target1:0:0/1:0:0:0", "5"},
         false,
         drive_type::noRootDir},
        {{"nvme0n1", "0", "0", "259:0", ""}, false, drive_type::noRootDir},
    };
    for (const Case& c : cases) {
        disk(c.disk);
        if (c.eMmc) {
            DiskSpec boot = c.disk;
            boot.name += "boot0";
            boot.dev = "179:8";
            disk(boot);
        }
    }
    mounts("");
    const LinuxSystem sys = system();
    const auto drives = sys.drives();
    for (const Case& c : cases) {
        const std::string designation = "/dev/" + c.disk.name;
        EXPECT_EQ(sys.driveType(designation), c.expected) << designation;
        const bool listed = labelOf(drives, designation) != "(not listed)";
        EXPECT_EQ(listed, c.expected == drive_type::removable) << designation;
    }
    EXPECT_EQ(sys.driveType("/dev/mmcblk0boot0"), drive_type::noRootDir);
    EXPECT_EQ(labelOf(drives, "/dev/mmcblk0boot0"), "(not listed)");
}

TEST_F(FakeTree, AReaderWithoutACardHasNoSpaceAndNoRoot) {
    disk({"sdb", "1", "0", "8:16"});
    mounts("");
    const LinuxSystem sys = system();
    EXPECT_EQ(sys.driveType("/dev/sdb"), drive_type::removable);
    EXPECT_FALSE(sys.diskSpace("/dev/sdb").has_value());
    const RootFolder root = sys.rootFolder("/dev/sdb");
    EXPECT_EQ(root.status, RootFolder::Status::deviceUnavailable);
    EXPECT_FALSE(root.reason.empty());
    EXPECT_EQ(labelOf(sys.drives(), "/dev/sdb"), withDetail("/dev/sdb", text::driveNoCard));
}

TEST_F(FakeTree, ACardPulledOrNotMountedAnswersNothing) {
    const std::string card = folder("card");
    readerWithOnePartition("15523840");
    mounts("");
    const LinuxSystem sys = system();
    EXPECT_FALSE(sys.diskSpace("/dev/sdb").has_value());
    EXPECT_EQ(sys.rootFolder("/dev/sdb").status, RootFolder::Status::deviceUnavailable);
    EXPECT_EQ(sys.rootFolder("/dev/sdb").reason, text::cardNotMounted);
    EXPECT_EQ(labelOf(sys.drives(), "/dev/sdb"), withDetail("/dev/sdb", text::driveCardNotMounted));

    mounts(line(40, "8:17", card, "vfat", "/dev/sdb1"));
    EXPECT_TRUE(sys.diskSpace("/dev/sdb").has_value());
    // The kernel keeps a stale mount for a moment after the card is pulled; the size says it is
    // gone.
    setSectors("sdb", "0");
    EXPECT_FALSE(sys.diskSpace("/dev/sdb").has_value());
    EXPECT_EQ(sys.rootFolder("/dev/sdb").status, RootFolder::Status::deviceUnavailable);
    EXPECT_EQ(sys.driveType("/dev/sdb"), drive_type::removable);
}

// A clone made with dd has the same file system serial; the reader numbers each medium it
// sees, and an SD card carries its own serial in its CID.
TEST_F(FakeTree, AnotherMediumIsAnotherCardEvenWithTheSameFileSystem) {
    disk({"mmcblk1", "0", "7626752", "179:32", "platform/mmc_host/mmc1/mmc1:0001", "SD"});
    const fs::path sd = m_diskFolders.at("mmcblk1");
    put(sd / "diskseq", "7\n");
    put(sd / "device/cid", "035344534430324780aa1b2c3d00e100\n");
    const std::string at = folder("card");
    mounts(line(30, "179:32", at, "vfat", "/dev/mmcblk1"));
    const LinuxSystem sys = system();
    const auto first = sys.cardIdentity(at);
    ASSERT_TRUE(first);
    EXPECT_EQ(sys.cardIdentity(at), first);

    put(sd / "diskseq", "8\n");
    EXPECT_NE(sys.cardIdentity(at), first) << "the same card put in again is a new medium";
    put(sd / "diskseq", "7\n");
    put(sd / "device/cid", "035344534430324780ffeeddcc00e100\n");
    EXPECT_NE(sys.cardIdentity(at), first) << "another SD card";
}

} // namespace
} // namespace velk::test
