// The Linux answers for files on the card: plain files that never take a source's mode,
// never follow a planted link, and read back from the device rather than the page cache.

#include "platform/linux/LinuxSystem.h"
#include "support/MountNamespace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace velk {
namespace {

namespace fs = std::filesystem;

std::string readAll(OpenFile& file) {
    std::string out;
    char buffer[4096];
    std::error_code ec;
    while (const std::size_t n = file.read(buffer, sizeof buffer, ec))
        out.append(buffer, n);
    EXPECT_FALSE(ec) << ec.message();
    return out;
}

/// Pages of `path` that the page cache holds.
std::size_t residentPages(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    const auto size = static_cast<std::size_t>(fs::file_size(path));
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> inCore((size + page - 1) / page);
    ::mincore(map, size, inCore.data());
    ::munmap(map, size);
    ::close(fd);
    std::size_t resident = 0;
    for (unsigned char c : inCore)
        resident += c & 1;
    return resident;
}

struct CardFile : ::testing::Test {
    test::TempFolder folder;
    LinuxSystem system;

    std::unique_ptr<OpenFile> open(const fs::path& p, OpenMode mode, std::error_code& ec) const {
        return system.openFile(p.string(), mode, ec);
    }
};

TEST_F(CardFile, CreatedFilesHaveDefaultModeAndTakeNothingFromASource) {
    const mode_t mask = ::umask(022);
    std::error_code ec;
    for (const OpenMode mode : {OpenMode::createOrTruncate, OpenMode::createOrKeep}) {
        const fs::path target = folder.path() / (mode == OpenMode::createOrKeep ? "keep" : "trunc");
        auto file = open(target, mode, ec);
        ASSERT_TRUE(file) << ec.message();
        EXPECT_FALSE(file->close());
        struct stat st {};
        ASSERT_EQ(::stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0644u);
    }
    ::umask(mask);
}

TEST_F(CardFile, TruncateEmptiesAndKeepKeeps) {
    std::ofstream(folder.path() / "a") << "old content";
    std::ofstream(folder.path() / "b") << "old content";
    std::error_code ec;
    ASSERT_FALSE(open(folder.path() / "a", OpenMode::createOrKeep, ec)->close());
    ASSERT_FALSE(open(folder.path() / "b", OpenMode::createOrTruncate, ec)->close());
    EXPECT_EQ(fs::file_size(folder.path() / "a"), 11u);
    EXPECT_EQ(fs::file_size(folder.path() / "b"), 0u);
}

// A link planted on the card must not send a write anywhere else.
TEST_F(CardFile, WritingThroughALinkIsRefused) {
    std::ofstream(folder.path() / "elsewhere") << "precious";
    fs::create_symlink(folder.path() / "elsewhere", folder.path() / "fred.vkm");
    for (const OpenMode mode : {OpenMode::createOrTruncate, OpenMode::createOrKeep}) {
        std::error_code ec;
        EXPECT_FALSE(open(folder.path() / "fred.vkm", mode, ec));
        EXPECT_EQ(ec, std::errc::too_many_symbolic_link_levels);
    }
    std::ifstream in(folder.path() / "elsewhere");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "precious");
}

TEST_F(CardFile, WritesReadBackAndErrorsCarryTheSystemsReason) {
    std::error_code ec;
    auto out = open(folder.path() / "f", OpenMode::createOrTruncate, ec);
    ASSERT_TRUE(out);
    const std::string data(100000, 'q');
    EXPECT_EQ(out->write(data.data(), data.size(), ec), data.size());
    EXPECT_FALSE(out->close());
    for (const OpenMode mode : {OpenMode::read, OpenMode::readFromDevice}) {
        auto in = open(folder.path() / "f", mode, ec);
        ASSERT_TRUE(in) << ec.message();
        EXPECT_EQ(readAll(*in), data);
    }
    EXPECT_FALSE(open(folder.path() / "missing", OpenMode::read, ec));
    EXPECT_EQ(ec.message(), "No such file or directory");
}

TEST_F(CardFile, FlushesReportTheSystemsError) {
    const fs::path file = folder.path() / "INDEX123.VKM";
    std::error_code ec;
    const auto written = open(file, OpenMode::createOrTruncate, ec);
    ASSERT_TRUE(written) << ec.message();
    EXPECT_EQ(written->write("data", 4, ec), 4u);
    EXPECT_FALSE(written->flush());
    EXPECT_FALSE(written->close());
    EXPECT_FALSE(system.flushFolder(folder.str()));
    EXPECT_EQ(system.flushFolder(file.string()), std::error_code(ENOTDIR, std::generic_category()));
}

// Where the file system reads directly, the bytes come from the device and no cached copy is
// made or used; elsewhere the cached pages are dropped first.
TEST_F(CardFile, ReadingFromTheDeviceBypassesTheCache) {
    struct statfs fsInfo {};
    ASSERT_EQ(::statfs(folder.path().c_str(), &fsInfo), 0);
    if (fsInfo.f_type == 0x01021994) // tmpfs has no device behind its pages
        GTEST_SKIP() << "the temporary folder is a tmpfs";
    const fs::path file = folder.path() / "cached";
    std::ofstream(file) << std::string(1 << 20, 'c');
    {
        std::ifstream warm(file);
        std::string ignored(std::istreambuf_iterator<char>(warm), {});
    }
    ASSERT_GT(residentPages(file), 0u) << "the file was never in the cache";
    {
        const int fd = ::open(file.c_str(), O_RDONLY);
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    ASSERT_EQ(residentPages(file), 0u);
    std::error_code ec;
    auto in = open(file, OpenMode::readFromDevice, ec);
    ASSERT_TRUE(in) << ec.message();
    EXPECT_EQ(readAll(*in), std::string(1 << 20, 'c'));
    EXPECT_EQ(residentPages(file), 0u) << "the read went through the page cache";
}

TEST_F(CardFile, SameVolumeFollowsLinksAndTellsFileSystemsApart) {
    fs::create_directory(folder.path() / "card");
    std::ofstream(folder.path() / "card" / "M0000001.MP3") << "x";
    fs::create_symlink(folder.path() / "card" / "M0000001.MP3", folder.path() / "link.mp3");
    const std::string card = (folder.path() / "card").string();
    EXPECT_TRUE(system.onSameVolume((folder.path() / "link.mp3").string(), card));
    EXPECT_TRUE(system.onSameVolume((folder.path() / "card" / "M0000001.MP3").string(), card));
    EXPECT_FALSE(system.onSameVolume("/proc/self/status", card));
    EXPECT_FALSE(system.onSameVolume((folder.path() / "missing").string(), card));
}

// Needs root and mounts in a namespace of its own; mounts made there vanish with the process.
TEST_F(CardFile, AnotherFileSystemAtTheSameRootIsAnotherCard) {
    if (const std::string& why = test::whyNoPrivateMounts(); !why.empty())
        GTEST_SKIP() << why;
    const fs::path at = folder.path() / "mnt";
    fs::create_directory(at);
    ASSERT_EQ(::mount("first", at.c_str(), "tmpfs", 0, "size=1m"), 0) << std::strerror(errno);
    const auto first = system.cardIdentity(at.string());
    ASSERT_EQ(::umount2(at.c_str(), MNT_DETACH), 0);
    ASSERT_EQ(::mount("second", at.c_str(), "tmpfs", 0, "size=1m"), 0) << std::strerror(errno);
    const auto second = system.cardIdentity(at.string());
    const auto again = system.cardIdentity(at.string());
    ::umount2(at.c_str(), MNT_DETACH);

    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(*second, *again);
    EXPECT_FALSE(system.cardIdentity((folder.path() / "missing").string()));
}

} // namespace
} // namespace velk
