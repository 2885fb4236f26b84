// The real LinuxSystem against real loop devices that pass for card readers. Runs in a mount
// namespace of its own, so nothing it mounts is seen outside this process.
#include "platform/linux/DriveWatch.h"
#include "platform/linux/LinuxSystem.h"
#include "platform/linux/MountWatch.h"
#include "support/DriveLabel.h"
#include "support/LoopCard.h"
#include "support/TempFolder.h"

#include "core/PlatformTexts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <poll.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace velk {
namespace {

using test::labelOf;
using test::LoopCard;

class LoopDevice : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (const std::string why = LoopCard::prepare(GetParam()); !why.empty())
            GTEST_SKIP() << why;
    }

    /// Null when the kernel cannot mount the file system, with the reason in m_skip.
    std::unique_ptr<LoopCard> makeCard(bool withCard) {
        LoopCard::Options options;
        options.fsType = GetParam();
        options.withCard = withCard;
        return LoopCard::make(options, m_skip);
    }

    std::string m_skip;

    const LinuxSystem m_system; // the default roots: the machine's own proc, sys and dev
};

// The window's cue to read its drive lists again: the kernel reports the reader's new medium
// as a block device event, and its mount as a change of the mount table.
TEST_P(LoopDevice, AReaderAndItsCardAreHeardAsTheyCome) {
    const DriveWatch watch;
    ASSERT_GE(watch.deviceEvents(), 0);
    ASSERT_GE(watch.mountEvents(), 0);
    const auto card = makeCard(true);
    if (!card)
        GTEST_SKIP() << m_skip;
    pollfd events[] = {{watch.deviceEvents(), POLLIN, 0}, {watch.mountEvents(), POLLPRI, 0}};
    ASSERT_GT(::poll(events, 2, 5000), 0);
    EXPECT_TRUE(events[0].revents & POLLIN);
    EXPECT_TRUE(events[1].revents & POLLPRI);
    EXPECT_TRUE(watch.blockDeviceEvent());
    EXPECT_FALSE(watch.blockDeviceEvent()) << "every event was read";
}

TEST_P(LoopDevice, AMountedCardIsARemovableDriveWithItsCapacity) {
    const auto card = makeCard(true);
    if (!card)
        GTEST_SKIP() << m_skip;
    const std::string drive = card->device();
    EXPECT_EQ(m_system.driveType(drive), drive_type::removable);
    EXPECT_EQ(labelOf(m_system, drive), drive + text::driveDetailOpen + text::driveCardPrefix +
                                            card->mountPoint() + text::driveDetailClose);

    const auto space = m_system.diskSpace(drive);
    ASSERT_TRUE(space.has_value());
    struct statvfs st {};
    ASSERT_EQ(::statvfs(card->mountPoint().c_str(), &st), 0);
    const std::uint64_t bytes =
        std::uint64_t{space->sectorsPerCluster} * space->bytesPerSector * space->totalClusters;
    EXPECT_EQ(bytes, std::uint64_t{st.f_blocks} * st.f_frsize);
    EXPECT_EQ(space->freeClusters, st.f_bavail);
    // The file system takes some of the 8 MiB image for itself, never more than half.
    EXPECT_LE(bytes, 8u << 20);
    EXPECT_GT(bytes, 4u << 20);

    const RootFolder root = m_system.rootFolder(drive);
    EXPECT_EQ(root.status, RootFolder::Status::ok);
    EXPECT_EQ(root.path, card->mountPoint());
}

TEST_P(LoopDevice, AnEjectedCardLeavesAnEmptyReader) {
    const auto card = makeCard(true);
    if (!card)
        GTEST_SKIP() << m_skip;
    const std::string drive = card->device();
    ASSERT_TRUE(m_system.diskSpace(drive).has_value());
    card->eject();
    EXPECT_EQ(m_system.driveType(drive), drive_type::removable);
    EXPECT_FALSE(m_system.diskSpace(drive).has_value());
    EXPECT_EQ(m_system.rootFolder(drive).status, RootFolder::Status::deviceUnavailable);
    EXPECT_EQ(labelOf(m_system, drive),
              drive + text::driveDetailOpen + text::driveNoCard + text::driveDetailClose);
}

TEST_P(LoopDevice, AReaderThatNeverHadACardAnswersNothing) {
    const auto reader = makeCard(false);
    if (!reader)
        GTEST_SKIP() << m_skip;
    const std::string drive = reader->device();
    EXPECT_EQ(m_system.driveType(drive), drive_type::removable);
    EXPECT_FALSE(m_system.diskSpace(drive).has_value());
    const RootFolder root = m_system.rootFolder(drive);
    EXPECT_EQ(root.status, RootFolder::Status::deviceUnavailable);
    EXPECT_FALSE(root.reason.empty());
}

TEST_P(LoopDevice, FilesOnTheCardFlushAndTheCardIsTheCurrentDriveInside) {
    const auto card = makeCard(true);
    if (!card)
        GTEST_SKIP() << m_skip;
    const std::string file = card->mountPoint() + "/INDEX123.VKM";
    std::error_code ec;
    const auto written = m_system.openFile(file, OpenMode::createOrTruncate, ec);
    ASSERT_TRUE(written) << ec.message();
    EXPECT_EQ(written->write("\x01\x01\x00", 3, ec), 3u);
    EXPECT_FALSE(written->flush());
    EXPECT_FALSE(written->close());
    EXPECT_FALSE(m_system.flushFolder(card->mountPoint()));

    const auto start = std::filesystem::current_path();
    std::filesystem::current_path(card->mountPoint());
    const std::string current = m_system.currentDrive();
    std::filesystem::current_path(start);
    EXPECT_EQ(current, card->device());
}

TEST_P(LoopDevice, TheCardsOwnMountIsNoFixedDrive) {
    const auto card = makeCard(true);
    if (!card)
        GTEST_SKIP() << m_skip;
    EXPECT_EQ(labelOf(m_system, card->mountPoint()), "(not listed)");
    EXPECT_EQ(m_system.driveType(card->mountPoint()), drive_type::noRootDir);
}

// The table is parsed again only when the kernel reports a change; a change must never be missed.
TEST(MountWatchTest, FollowsMountsAndUnmounts) {
    if (const std::string why = LoopCard::prepare("ext4"); !why.empty())
        GTEST_SKIP() << why;
    const test::TempFolder folder;
    const std::string at = folder.str();
    MountWatch watch("/proc");
    const auto before = watch.table();
    EXPECT_EQ(watch.table(), before) << "nothing changed, nothing parsed again";
    ASSERT_FALSE(before->at(at));

    ASSERT_EQ(::mount("velk-test", at.c_str(), "tmpfs", 0, nullptr), 0);
    EXPECT_TRUE(watch.table()->at(at));
    EXPECT_FALSE(before->at(at)) << "a table once handed out stays as it was";
    ASSERT_EQ(::umount2(at.c_str(), 0), 0);
    EXPECT_FALSE(watch.table()->at(at));
}

INSTANTIATE_TEST_SUITE_P(FileSystems, LoopDevice, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk
