// The Windows system port against a real Windows API: run under Wine with E: a removable
// drive on a 64,000,000-byte tmpfs, F: a removable reader with no card and G: a removable
// drive on a tmpfs of 3,000,000,000 bytes, too large for the player.
#include "platform/windows/WindowsSystem.h"
#include "platform/Folders.h"
#include "platform/windows/WindowsError.h"
#include "platform/windows/WindowsText.h"

#include "core/FilePattern.h"
#include "core/Paths.h"
#include "core/PlatformTexts.h"

#include "support/Bytes.h"
#include "support/DriveLabel.h"
#include "support/WineCard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::pattern;

void writeAll(const SystemPort& system, const std::string& path, const std::string& bytes,
              OpenMode mode = OpenMode::createOrTruncate) {
    std::error_code ec;
    auto file = system.openFile(path, mode, ec);
    ASSERT_TRUE(file) << path << ": " << ec.message();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t n = file->write(bytes.data() + done, bytes.size() - done, ec);
        ASSERT_FALSE(ec) << ec.message();
        done += n;
    }
    ASSERT_FALSE(file->flush());
    ASSERT_FALSE(file->close());
}

std::string readAll(const SystemPort& system, const std::string& path, OpenMode mode,
                    std::size_t chunk) {
    std::error_code ec;
    auto file = system.openFile(path, mode, ec);
    EXPECT_TRUE(file) << path << ": " << ec.message();
    if (!file)
        return {};
    std::string bytes;
    std::vector<char> buffer(chunk);
    for (;;) {
        const std::size_t n = file->read(buffer.data(), buffer.size(), ec);
        EXPECT_FALSE(ec) << ec.message();
        if (n == 0 || ec)
            break;
        bytes.append(buffer.data(), n);
    }
    EXPECT_FALSE(file->close());
    return bytes;
}

DWORD attributesOf(const std::string& path) {
    return ::GetFileAttributesW(widen(path).c_str());
}

class WindowsCard : public ::testing::Test {
protected:
    void SetUp() override {
        if (system.driveType("e:") != drive_type::removable)
            GTEST_SKIP() << "E: is no removable drive here; the test runs under Wine with the "
                            "drives that tests/platform/CMakeLists.txt gives it";
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(fs::path(L"E:\\"), ec))
            fs::remove_all(entry.path(), ec);
    }

    WindowsSystem system;
};

TEST_F(WindowsCard, AnswersForEachKindOfDrive) {
    const auto drives = system.drives();
    auto entry = [&](const std::string& designation) {
        const auto it = std::find_if(drives.begin(), drives.end(), [&](const DriveEntry& d) {
            return d.designation == designation;
        });
        return it == drives.end() ? std::optional<DriveEntry>() : *it;
    };
    for (const char* letter : {"c:", "e:", "f:"}) {
        const auto d = entry(letter);
        ASSERT_TRUE(d) << letter;
        EXPECT_EQ(d->label.rfind(letter, 0), 0u) << d->label;
    }
    EXPECT_EQ(entry("e:")->label, "e:") << "a removable drive is not asked for its label";
    EXPECT_EQ(system.currentDrive().size(), 2u);
    EXPECT_TRUE(std::islower(static_cast<unsigned char>(system.currentDrive()[0])));

    EXPECT_EQ(system.driveType("c:"), drive_type::fixed);
    EXPECT_EQ(system.driveType("e:"), drive_type::removable) << "a card that is a volume's root";
    EXPECT_EQ(system.driveType("f:"), drive_type::removable);
    EXPECT_EQ(system.driveType("q:"), drive_type::noRootDir);

    const auto card = system.diskSpace("e:");
    ASSERT_TRUE(card);
    if (const auto bytes = test::wineCardBytes()) {
        EXPECT_EQ(std::uint64_t{card->sectorsPerCluster} * card->bytesPerSector *
                      card->totalClusters,
                  *bytes);
    }
    EXPECT_EQ(system.rootFolder("e:").path, "e:\\");

    EXPECT_FALSE(system.diskSpace("f:")) << "a reader without a card has no space";
    EXPECT_NE(system.rootFolder("f:").status, RootFolder::Status::ok);
    EXPECT_FALSE(system.rootFolder("f:").reason.empty());

    // As a source, asked off this thread: drives that answer do so within the patience.
    const std::optional<RootFolder> source = system.sourceRoot("e:");
    ASSERT_TRUE(source);
    EXPECT_EQ(source->path, "e:\\");
    const std::optional<RootFolder> empty = system.sourceRoot("f:");
    ASSERT_TRUE(empty);
    EXPECT_NE(empty->status, RootFolder::Status::ok);
}

// What Wine can show of ejecting and mounting: the drives refused, a card that Windows has
// mounted, and a refused eject that leaves the card as it was. Wine locks any volume (its lock
// is a stub) and cannot dismount a drive that is a folder, as E: is here, so the eject of a card
// and a refusal for a file held open are for a real Windows machine to show.
TEST_F(WindowsCard, EjectAndMountAnswerForEachKindOfDrive) {
    for (const auto& [drive, reason] :
         {std::pair<const char*, const char*>{"c:", text::notACardReader},
          {"q:", text::notACardReader},
          {"f:", text::readerEmpty}}) {
        SCOPED_TRACE(drive);
        EXPECT_EQ(system.ejectCard(drive), reason);
        EXPECT_EQ(system.mountCard(drive), reason);
    }
    EXPECT_EQ(system.mountCard("e:"), "") << "mounted by Windows already";

    writeAll(system, "e:\\M0000001.MP3", "track");
    const std::string refused = system.ejectCard("e:");
    EXPECT_EQ(refused, windowsError(ERROR_NOT_SUPPORTED).message())
        << "Wine's refusal to dismount a folder";
    EXPECT_EQ(readAll(system, "e:\\M0000001.MP3", OpenMode::readFromDevice, 4096), "track");
    EXPECT_TRUE(system.diskSpace("e:"));
}

// The list asks no removable drive; the reason comes from the destination's last measure.
TEST_F(WindowsCard, ACardTooLargeForThePlayerIsListedWithTheReason) {
    EXPECT_EQ(test::labelOf(system, "g:"), "g:");
    // As another user E: and G: are plain folders on a disk of any size.
    if (const std::string why = test::whyNoWineCard(); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_TRUE(system.diskSpace("g:")) << "G: has no card";
    ASSERT_TRUE(system.diskSpace("e:"));
    const auto drives = system.drives();
    EXPECT_EQ(test::labelOf(drives, "g:"), std::string("g:  (") + text::driveCardTooLarge + ")");
    EXPECT_EQ(test::labelOf(drives, "e:"), "e:");
}

// Odd chunk sizes and a file larger than the uncached reader's buffer: every byte must come
// back in its place, through the cache and around it.
TEST_F(WindowsCard, ReadsBackWhatWasWrittenWithAndWithoutTheCache) {
    const std::string path = "E:\\M0000001.MP3";
    const std::string bytes = pattern((3u << 20) + 517);
    writeAll(system, path, bytes);
    for (std::size_t chunk : {std::size_t{1000}, std::size_t{4096}, std::size_t{5u << 20}}) {
        EXPECT_EQ(readAll(system, path, OpenMode::read, chunk), bytes) << chunk;
        EXPECT_EQ(readAll(system, path, OpenMode::readFromDevice, chunk), bytes) << chunk;
    }
    EXPECT_EQ(readAll(system, path, OpenMode::readFromDevice, 7), bytes);
}

TEST_F(WindowsCard, ACardFileIsPlainWhateverWasThereBefore) {
    const std::string path = "E:\\INDEX123.VKM";
    writeAll(system, path, "old contents, longer than the new");
    ASSERT_TRUE(
        ::SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    writeAll(system, path, "new");
    EXPECT_EQ(readAll(system, path, OpenMode::read, 64), "new");
    EXPECT_EQ(attributesOf(path) &
                  (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY),
              0u);

    // A read-only source gives no read-only copy: nothing is taken from it.
    const std::string source = "E:\\source.mp3";
    writeAll(system, source, "audio");
    ASSERT_TRUE(::SetFileAttributesW(widen(source).c_str(), FILE_ATTRIBUTE_READONLY));
    writeAll(system, "E:\\M0000002.MP3", readAll(system, source, OpenMode::read, 64));
    EXPECT_EQ(attributesOf("E:\\M0000002.MP3") & FILE_ATTRIBUTE_READONLY, 0u);
    ::SetFileAttributesW(widen(source).c_str(), FILE_ATTRIBUTE_NORMAL);

    // Kept, not emptied: the file is written over from its start.
    writeAll(system, "E:\\fred.vkm", "abcdef");
    writeAll(system, "E:\\fred.vkm", "XY", OpenMode::createOrKeep);
    EXPECT_EQ(readAll(system, "E:\\fred.vkm", OpenMode::read, 64), "XYcdef");
}

TEST_F(WindowsCard, FailuresCarryTheSystemsOwnCode) {
    std::error_code ec;
    EXPECT_FALSE(system.openFile("E:\\missing.mp3", OpenMode::read, ec));
    EXPECT_EQ(ec, windowsError(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(system.openFile("E:\\no folder\\a.mp3", OpenMode::createOrTruncate, ec));
    EXPECT_EQ(ec, windowsError(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(system.openFile("F:\\a.mp3", OpenMode::createOrTruncate, ec));
    EXPECT_TRUE(ec);
    // The system's text, in one line for a message box.
    EXPECT_FALSE(ec.message().empty());
    EXPECT_EQ(ec.message().find_first_of("\r\n"), std::string::npos) << ec.message();
    EXPECT_NE(ec.message().back(), '.') << ec.message();
    EXPECT_EQ(system.rootFolder("f:").reason.find_first_of("\r\n"), std::string::npos);

    EXPECT_FALSE(system.flushFolder("E:\\"));
    EXPECT_EQ(system.flushFolder("E:\\missing"), windowsError(ERROR_FILE_NOT_FOUND));
}

TEST_F(WindowsCard, ALinkOnTheCardIsNotWrittenThrough) {
    writeAll(system, "E:\\target.mp3", "keep me");
    const bool made = ::CreateSymbolicLinkW(L"E:\\link.mp3", L"E:\\target.mp3", 0);
    const DWORD attributes = attributesOf("E:\\link.mp3");
    if (!made || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "this Windows makes no symbolic links (Wine 8 has no reparse points)";
    std::error_code ec;
    EXPECT_FALSE(system.openFile("E:\\link.mp3", OpenMode::createOrTruncate, ec));
    EXPECT_TRUE(ec);
    EXPECT_EQ(readAll(system, "E:\\target.mp3", OpenMode::read, 64), "keep me");
}

TEST_F(WindowsCard, TellsTheCardFromOtherVolumes) {
    const auto card = system.cardIdentity("E:\\");
    ASSERT_TRUE(card);
    EXPECT_EQ(card->root, "E:\\");
    EXPECT_NE(card->volume.find("serial "), std::string::npos) << card->volume;
    EXPECT_EQ(system.cardIdentity("E:\\"), card) << "asked twice, the same card";
    const auto fixed = system.cardIdentity("C:\\");
    ASSERT_TRUE(fixed);
    EXPECT_NE(fixed->volume, card->volume);
    EXPECT_FALSE(system.cardIdentity("F:\\")) << "no card in the reader";
}

TEST_F(WindowsCard, KnowsWhichFilesLieOnTheCard) {
    writeAll(system, "E:\\M0000001.MP3", "audio");
    std::string viaUnixPath;
    if (const char* unix = std::getenv("VELK_WINE_DRIVE_E")) {
        // Wine's Z: drive reaches every Unix path: another way to the same card file.
        viaUnixPath = std::string("Z:") + unix + "/M0000001.MP3";
        std::replace(viaUnixPath.begin(), viaUnixPath.end(), '/', '\\');
    }
    const struct {
        std::string path;
        bool onCard;
    } cases[] = {
        {"E:\\M0000001.MP3", true},
        {"e:\\.\\M0000001.MP3", true},
        {"C:\\windows\\win.ini", false},
        {"E:\\missing.mp3", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(system.onSameVolume(c.path, "E:\\"), c.onCard) << c.path;
    if (!viaUnixPath.empty()) {
        EXPECT_TRUE(system.onSameVolume(viaUnixPath, "E:\\")) << viaUnixPath;
        EXPECT_TRUE(system.sameFile(viaUnixPath, "E:\\M0000001.MP3"))
            << "one file by the handle's volume and index";
    }
    EXPECT_TRUE(system.sameFile("e:\\m0000001.mp3", "E:\\M0000001.MP3"));
    EXPECT_FALSE(system.sameFile("E:\\M0000001.MP3", "C:\\windows\\win.ini"));
    EXPECT_FALSE(system.onSameVolume("E:\\M0000001.MP3", "F:\\"));
}

// The names of a source folder are UTF-8 in the program; the ANSI code page has no "日".
TEST_F(WindowsCard, ASourceFolderWithAnyLettersListsAndCopies) {
    const std::string folder = joinPath("E:\\", "Ansagen B\xC3\xBCro \xE6\x97\xA5\xE6\x9C\xAC");
    ASSERT_TRUE(::CreateDirectoryW(widen(folder).c_str(), nullptr));
    const std::string name = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE6\x97\xA5.mp3";
    writeAll(system, joinPath(folder, name), "audio");
    writeAll(system, joinPath(folder, "notes.txt"), "text");

    EXPECT_EQ(filesShown(listFolder(folder), "*.mp3;*.nvr"), std::vector<std::string>{name});
    EXPECT_TRUE(measureFile(system, joinPath(folder, name)).ok());
    writeAll(system, "E:\\M0000001.MP3",
             readAll(system, joinPath(folder, name), OpenMode::read, 64));
    EXPECT_EQ(readAll(system, "E:\\M0000001.MP3", OpenMode::readFromDevice, 64), "audio");
}

// Over MAX_PATH characters: listed, measured and copied like any other folder.
TEST_F(WindowsCard, ASourceFolderDeeperThanMaxPathListsAndCopies) {
    std::string folder = "E:\\";
    while (folder.size() <= 300) {
        folder = joinPath(folder, "a folder with a long name to pass the limit");
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + widen(folder)).c_str(), nullptr))
            << ::GetLastError();
    }
    const std::string track = joinPath(folder, "track.mp3");
    writeAll(system, track, "deep audio");

    // std::filesystem's folder reading would list the current folder here instead.
    const FolderListing listing = listFolder(folder);
    ASSERT_TRUE(listing.listed);
    const std::vector<FolderEntry>& entries = listing.entries;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "track.mp3");
    EXPECT_FALSE(entries[0].folder);
    EXPECT_EQ(measureFile(system, track).bytes, 10);
    writeAll(system, "E:\\M0000001.MP3", readAll(system, track, OpenMode::read, 64));
    EXPECT_EQ(readAll(system, "E:\\M0000001.MP3", OpenMode::readFromDevice, 64), "deep audio");
    EXPECT_TRUE(system.onSameVolume(track, "E:\\"));
}

} // namespace
} // namespace velk
