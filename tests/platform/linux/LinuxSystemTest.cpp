#include "platform/linux/LinuxSystem.h"

#include "core/PlatformTexts.h"
#include "support/DriveLabel.h"
#include "support/MountNamespace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::labelOf;

/// Writes `text` to `path`, making the folders above it.
void put(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
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

/// Made-up proc and sys trees in a temporary folder, plus real folders to mount things on.
class FakeTree : public ::testing::Test {
protected:
    void TearDown() override {
        std::error_code ignored;
        fs::current_path(m_startFolder, ignored);
    }

    [[nodiscard]] LinuxSystem system() const {
        return LinuxSystem((m_base / "proc").string(), (m_base / "sys").string(), "/dev");
    }

    /// Lays a disk out as the kernel does: its folder in the device tree under its bus, a link
    /// to that from block/, and links by number from dev/block/ and by name from class/block/.
    void disk(const DiskSpec& d) {
        const fs::path device = m_base / "sys/devices" / (d.bus.empty() ? "virtual" : d.bus);
        const fs::path dir = device / "block" / d.name;
        put(dir / "removable", d.removable + "\n");
        put(dir / "size", d.sectors + "\n");
        put(dir / "dev", d.dev + "\n");
        put(dir / "queue/logical_block_size", "512\n"); // a sub-folder that is no partition
        if (!d.bus.empty()) {
            put(device / "type", d.type + "\n");
            fs::create_directory_symlink(fs::relative(device, dir), dir / "device");
        }
        link(dir, m_base / "sys/block" / d.name);
        link(dir, m_base / "sys/dev/block" / d.dev);
        link(dir, m_base / "sys/class/block" / d.name);
        m_diskFolders[d.name] = dir;
    }
    void partition(const std::string& diskName, const std::string& name, int number,
                   const std::string& dev) {
        const fs::path dir = m_diskFolders.at(diskName) / name;
        put(dir / "partition", std::to_string(number) + "\n");
        put(dir / "dev", dev + "\n");
        link(dir, m_base / "sys/dev/block" / dev);
        link(dir, m_base / "sys/class/block" / name);
    }
    void link(const fs::path& target, const fs::path& at) {
        fs::create_directories(at.parent_path());
        fs::create_directory_symlink(fs::relative(target, at.parent_path()), at);
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
        const fs::path path = m_base / "mnt" / name;
        fs::create_directories(path);
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

    test::TempFolder m_tree;
    const fs::path m_base = m_tree.path();
    std::map<std::string, fs::path> m_diskFolders;
    fs::path m_startFolder = fs::current_path();
};

std::vector<std::string> designations(const std::vector<DriveEntry>& drives) {
    std::vector<std::string> out;
    for (const DriveEntry& d : drives)
        out.push_back(d.designation);
    return out;
}

std::string withDetail(const std::string& drive, const std::string& detail) {
    return drive + text::driveDetailOpen + detail + text::driveDetailClose;
}

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

TEST_F(FakeTree, AMountedCardAnswersWithItsFileSystemsCounts) {
    const std::string card = folder("usb stick"); // a blank, escaped in mountinfo
    // A 2 GB card: too small a disk to hold a file system the player refuses, whatever the
    // temporary folder's file system measures.
    disk({"sdb", "1", "3862528", "8:16"});
    partition("sdb", "sdb1", 1, "8:17");
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
    disk({"sdb", "1", "15523840", "8:16"}); // an 8 GB card
    partition("sdb", "sdb1", 1, "8:17");
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

TEST_F(FakeTree, ACardPulledOrNotMountedAnswersNothing) {
    const std::string card = folder("card");
    disk({"sdb", "1", "15523840", "8:16"});
    partition("sdb", "sdb1", 1, "8:17");
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
    disk({"sdb", "1", "100", "8:16"});
    partition("sdb", "sdb1", 1, "8:17");
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
    disk({"sdb", "1", "100", "8:16"});
    partition("sdb", "sdb1", 1, "8:17");
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
    disk({"mmcblk1", "0", "7626752", "179:32", "platform/mmc_host/mmc1/mmc1:0001", "SD"});
    partition("mmcblk1", "mmcblk1p1", 1, "179:33");
    partition("mmcblk1", "mmcblk1p2", 2, "179:34");
    put(m_base / "sys/devices/virtual/block/dm-0/dev", "253:0\n");
    link(m_base / "sys/devices/virtual/block/dm-0", m_base / "sys/class/block/dm-0");
    link(m_base / "sys/devices/virtual/block/dm-0",
         m_base / "sys/class/block/mmcblk1p2/holders/dm-0");
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
    disk({"mmcblk1", "0", "7626752", "179:32", "platform/mmc_host/mmc1/mmc1:0001", "SD"});
    partition("mmcblk1", "mmcblk1p1", 1, "179:33");
    partition("mmcblk1", "mmcblk1p2", 2, "179:34");
    put(m_base / "sys/devices/virtual/block/dm-0/dev", "253:0\n");
    link(m_base / "sys/devices/virtual/block/dm-0", m_base / "sys/class/block/dm-0");
    link(m_base / "sys/devices/virtual/block/dm-0",
         m_base / "sys/class/block/mmcblk1p2/holders/dm-0");
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

TEST_F(FakeTree, FlushesReportTheSystemsError) {
    const std::string dir = folder("flush");
    const std::string file = dir + "/INDEX123.VKM";
    const LinuxSystem sys = system();
    std::error_code ec;
    const auto written = sys.openFile(file, OpenMode::createOrTruncate, ec);
    ASSERT_TRUE(written) << ec.message();
    EXPECT_EQ(written->write("data", 4, ec), 4u);
    EXPECT_FALSE(written->flush());
    EXPECT_FALSE(written->close());
    EXPECT_FALSE(sys.flushFolder(dir));
    EXPECT_EQ(sys.flushFolder(file), std::error_code(ENOTDIR, std::generic_category()));
}

} // namespace
} // namespace velk
