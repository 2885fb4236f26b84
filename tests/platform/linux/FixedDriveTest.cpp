#include "FakeTree.h"

#include "support/DriveLabel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/statvfs.h>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> designations(const std::vector<DriveEntry>& drives) {
    std::vector<std::string> out;
    for (const DriveEntry& d : drives)
        out.push_back(d.designation);
    return out;
}

TEST_F(FakeTree, ListsCardReadersFirstThenFixedDrivesByMountPoint) {
    const std::string home = folder("home");
    const std::string boot = folder("boot");
    const std::string share = folder("share");
    const std::string card = folder("card");
    disk({"sda", "0", "500000000", "8:0"});
    partition("sda", "sda1", 1, "8:1");
    partition("sda", "sda2", 2, "8:2");
    disk({"sdaa", "1", "0", "65:160"});
    disk({"sdc", "1", "100", "8:32"});
    partition("sdc", "sdc1", 1, "8:33");
    disk({"sdb", "1", "0", "8:16"});
    mounts(line(30, "8:3", home, "ext4", "/dev/sda3") + line(31, "8:1", boot, "vfat", "/dev/sda1") +
           line(32, "0:60", share, "nfs4", "server:/export") +
           line(33, "0:40", "/run", "tmpfs", "tmpfs") +
           line(34, "8:33", card, "vfat", "/dev/sdc1"));
    const LinuxSystem sys = system();
    const auto drives = sys.drives();

    std::vector<std::string> fixed{"/", home, boot, share};
    std::sort(fixed.begin(), fixed.end());
    std::vector<std::string> expected{"/dev/sdb", "/dev/sdc", "/dev/sdaa"};
    expected.insert(expected.end(), fixed.begin(), fixed.end());
    EXPECT_EQ(designations(drives), expected);
    EXPECT_EQ(labelOf(drives, "/"), withDetail("/", "/dev/sda2"));
    EXPECT_EQ(labelOf(drives, share), withDetail(share, "server:/export"));

    EXPECT_EQ(sys.driveType("/"), drive_type::fixed);
    EXPECT_EQ(sys.driveType(home), drive_type::fixed);
    EXPECT_EQ(sys.driveType(share), drive_type::remote);
    EXPECT_EQ(sys.driveType("/run"), drive_type::noRootDir);
    EXPECT_EQ(sys.driveType(card), drive_type::noRootDir) << "the card is named by its reader";
}

TEST_F(FakeTree, FixedDrivesAnswerForTheirMountPoint) {
    const std::string home = folder("home");
    mounts(line(30, "8:3", home, "ext4", "/dev/sda3"));
    const LinuxSystem sys = system();

    const auto space = sys.diskSpace(home);
    ASSERT_TRUE(space.has_value());
    struct statvfs st {};
    ASSERT_EQ(::statvfs(home.c_str(), &st), 0);
    EXPECT_EQ(std::uint64_t{space->sectorsPerCluster} * space->bytesPerSector, st.f_frsize);
    EXPECT_EQ(sys.rootFolder(home).status, RootFolder::Status::ok);
    EXPECT_EQ(sys.rootFolder(home).path, home);
    EXPECT_EQ(sys.rootFolder("/").path, "/");

    for (const std::string unknown : {"/nowhere", "/dev/sdq", "/dev/../etc", "E:", ""}) {
        EXPECT_EQ(sys.driveType(unknown), drive_type::noRootDir) << unknown;
        EXPECT_FALSE(sys.diskSpace(unknown).has_value()) << unknown;
        const RootFolder root = sys.rootFolder(unknown);
        EXPECT_EQ(root.status, RootFolder::Status::failed) << unknown;
        EXPECT_FALSE(root.reason.empty()) << unknown;
    }
}

TEST_F(FakeTree, TheCurrentDriveHoldsTheCurrentFolder) {
    const std::string card = folder("card");
    const std::string home = folder("home");
    const std::string scratch = folder("home/scratch");
    const std::string other = folder("other");
    readerWithOnePartition("100");
    mounts(line(30, "8:17", card, "vfat", "/dev/sdb1") +
           line(31, "8:3", home, "ext4", "/dev/sda3") +
           line(32, "0:41", scratch, "tmpfs", "tmpfs"));
    const LinuxSystem sys = system();
    struct Case {
        std::string folder;
        std::string expected;
    };
    fs::create_directories(card + "/music/album");
    const Case cases[] = {
        {card, "/dev/sdb"}, {card + "/music/album", "/dev/sdb"}, {home, home}, {scratch, home},
        {other, "/"},
    };
    for (const Case& c : cases) {
        fs::current_path(c.folder);
        EXPECT_EQ(sys.currentDrive(), c.expected) << c.folder;
    }
}

TEST(SpaceCounts, MapsFragmentsToSectorsAndClampsTo32Bits) {
    struct Case {
        std::uint64_t fragment, blocks, available;
        SpaceCounts expected; // sectorsPerCluster, bytesPerSector, free, total
    };
    const Case cases[] = {
        {4096, 1'000'000, 250'000, {8, 512, 250'000, 1'000'000}},
        {512, 15'523'840, 0, {1, 512, 0, 15'523'840}},
        {32768, 1953, 1900, {64, 512, 1900, 1953}},
        {4096, 1ull << 33, 1ull << 32, {8, 512, UINT32_MAX, UINT32_MAX}},
        {1000, 10, 5, {1, 1000, 5, 10}},
    };
    for (const Case& c : cases) {
        const SpaceCounts got = LinuxSystem::spaceCounts(c.fragment, c.blocks, c.available);
        EXPECT_EQ(got.sectorsPerCluster, c.expected.sectorsPerCluster) << c.fragment;
        EXPECT_EQ(got.bytesPerSector, c.expected.bytesPerSector) << c.fragment;
        EXPECT_EQ(got.freeClusters, c.expected.freeClusters) << c.fragment;
        EXPECT_EQ(got.totalClusters, c.expected.totalClusters) << c.fragment;
    }
}

} // namespace
} // namespace velk::test
