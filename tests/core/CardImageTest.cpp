#include "RunFixture.h"

#include "core/CardImage.h"
#include "core/TrackTable.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <filesystem>
#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

std::string hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 0xF];
    }
    return out;
}

TEST(CardNames, TwoDigitSlotNumberWhateverTheSlot) {
    const CardNames names = buildCardNames();
    const std::vector<std::pair<int, std::string>> cases = {
        {1, "M0000001.MP3"}, {7, "M0000007.MP3"},  {9, "M0000009.MP3"},
        {10, "M0000010.MP3"}, {20, "M0000020.MP3"},
    };
    for (const auto& [slot, name] : cases)
        EXPECT_EQ(names[slot], name) << "slot " << slot;
    for (int slot = 1; slot <= CardNames::count; ++slot)
        EXPECT_EQ(names[slot].size(), 12u) << "slot " << slot;
    EXPECT_THROW((void)names[0], std::out_of_range);
    EXPECT_THROW((void)names[21], std::out_of_range);
}

TEST(CardNames, CardPathHasOneSeparator) {
    EXPECT_EQ(cardFilePath("/media/card", "M0000003.MP3"), "/media/card/M0000003.MP3");
    EXPECT_EQ(cardFilePath("/media/card/", "M0000003.MP3"), "/media/card/M0000003.MP3");
    EXPECT_EQ(cardFilePath("/", "M0000020.MP3"), "/M0000020.MP3");
}

struct IndexFile : ::testing::Test {
    TempFolder folder;
    TrackTable tracks;
    CardNames names = buildCardNames();
    std::string path = (folder.path() / "INDEX123.VKM").string();

    void fill(int n) {
        for (int i = 1; i <= n; ++i) {
            tracks.slot(i).srcPath = "/src/" + std::to_string(i) + ".mp3";
            tracks.slot(i).trackNo = static_cast<std::int16_t>(i);
            tracks.slot(i).playMode = static_cast<std::uint8_t>(i % 3);
        }
    }
    std::string write(int rows) {
        writeIndexFile(tracks, rows, names, path);
        return readBytes(path);
    }
};

TEST_F(IndexFile, NoTracksIsTwoZeroBytes) {
    EXPECT_EQ(hex(write(0)), "00 00");
    EXPECT_EQ(tracks.trackCount, 0);
}

TEST_F(IndexFile, OneTrackIsFifteenBytes) {
    tracks.slot(1) = {"/src/a.mp3", 1, 0};
    EXPECT_EQ(hex(write(1)), "01 01 00 4D 30 30 30 30 30 30 31 2E 4D 50 33");
}

TEST_F(IndexFile, RecordsFollowEachOtherFromOffsetOne) {
    struct Case {
        int tracks;
        std::size_t size;
    };
    for (const Case c : {Case{2, 29}, Case{3, 43}, Case{16, 225}}) {
        fill(c.tracks);
        const std::string bytes = write(c.tracks);
        ASSERT_EQ(bytes.size(), c.size) << c.tracks << " tracks";
        EXPECT_EQ(static_cast<unsigned char>(bytes[0]), c.tracks);
        for (int i = 1; i <= c.tracks; ++i) {
            const std::size_t p = 1 + 14 * static_cast<std::size_t>(i - 1);
            EXPECT_EQ(static_cast<unsigned char>(bytes[p]), i) << "record " << i;
            EXPECT_EQ(static_cast<unsigned char>(bytes[p + 1]), i % 3) << "record " << i;
            EXPECT_EQ(bytes.substr(p + 2, 12), names[i]) << "record " << i;
        }
    }
    EXPECT_EQ(readBytes(path).substr(225 - 12), "M0000016.MP3");
}

TEST_F(IndexFile, TrackCountComesFromTheListedRows) {
    // A refused add leaves trackCount one past the list; the index follows the rows.
    fill(3);
    tracks.trackCount = 3;
    EXPECT_EQ(write(2).size(), 29u);
    EXPECT_EQ(tracks.trackCount, 2);
}

TEST_F(IndexFile, EmptySourceStillGetsItsRecord) {
    fill(2);
    tracks.slot(2).srcPath.clear();
    const std::string bytes = write(2);
    ASSERT_EQ(bytes.size(), 29u);
    EXPECT_EQ(bytes.substr(17, 12), "M0000002.MP3");
}

TEST_F(IndexFile, TrackNumberIsItsLowByte) {
    tracks.slot(1) = {"/src/a.mp3", 0x0102, 2};
    const std::string bytes = write(1);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0x02);
    EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 2);
}

TEST_F(IndexFile, StaleLongerIndexIsReplacedWhole) {
    writeBytes(path, std::string(5000, '\xAA'));
    tracks.slot(1) = {"/src/a.mp3", 1, 0};
    EXPECT_EQ(write(1).size(), 15u);
    writeBytes(path, std::string(5000, '\xAA'));
    EXPECT_EQ(hex(write(0)), "00 00");
}

TEST_F(IndexFile, UnwritableFolderNamesTheFileAndTheReason) {
    const std::string missing = (folder.path() / "gone" / "INDEX123.VKM").string();
    try {
        writeIndexFile(tracks, 0, names, missing);
        FAIL() << "no error";
    } catch (const CardError& e) {
        EXPECT_EQ(e.path(), missing);
        EXPECT_EQ(e.reason(), "No such file or directory");
    }
}

TEST(StagedIndex, IsInTheCurrentFolder) {
    TempFolder folder;
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    const std::string path = stagedIndexPath();
    const fs::path expected = fs::current_path() / "INDEX123.VKM";
    fs::current_path(before);
    EXPECT_EQ(fs::path(path), expected);
}

struct Wipe : ::testing::Test {
    void placeDummy() {
        bool created = false;
        placeDummyFile(system, root.str(), created);
    }
    void wipe() { wipeRoot(root.str(), rootFiles(root.str())); }

    TempFolder root;
    TempFolder outside;
    FakeSystem system;
};

// A link named like the dummy could otherwise make the program create a file off the card.
TEST_F(Wipe, DummyIsNotCreatedThroughALinkOfItsName) {
    fs::create_symlink(outside.path() / "planted", root.path() / "fred.vkm");
    placeDummy();
    EXPECT_FALSE(fs::exists(outside.path() / "planted"));
    wipe();
    EXPECT_TRUE(listing(root.path()).empty());
}

TEST_F(Wipe, DummyLeavesAFileOfItsNameAsItIs) {
    writeBytes(root.path() / "fred.vkm", "old");
    placeDummy();
    EXPECT_EQ(readBytes(root.path() / "fred.vkm"), "old");
}

TEST_F(Wipe, RemovesEveryFileAndLeavesSubFolders) {
    for (const char* name : {"a.mp3", "M0000001.MP3", "NOEXTENSION", ".hidden", "INDEX123.VKM"})
        writeBytes(root.path() / name, "x");
    fs::create_directory(root.path() / "keep");
    writeBytes(root.path() / "keep" / "inner.mp3", "inner");

    placeDummy();
    EXPECT_EQ(fs::file_size(root.path() / "fred.vkm"), 0u);
    wipe();

    EXPECT_EQ(listing(root.path()), std::vector<std::string>{"keep/"});
    EXPECT_EQ(readBytes(root.path() / "keep" / "inner.mp3"), "inner");
}

TEST_F(Wipe, RemovesLinksNotWhatTheyPointAt) {
    writeBytes(outside.path() / "precious.mp3", "precious");
    fs::create_directory(outside.path() / "folder");
    writeBytes(outside.path() / "folder" / "inside.mp3", "inside");
    fs::create_symlink(outside.path() / "precious.mp3", root.path() / "link.mp3");
    fs::create_directory_symlink(outside.path() / "folder", root.path() / "linkdir");
    fs::create_symlink(outside.path() / "nowhere", root.path() / "dangling");

    wipe();

    EXPECT_TRUE(listing(root.path()).empty());
    EXPECT_EQ(readBytes(outside.path() / "precious.mp3"), "precious");
    EXPECT_EQ(readBytes(outside.path() / "folder" / "inside.mp3"), "inside");
}

// The operator confirms a list, and the wipe deletes exactly that list: nothing that
// appeared since, of whatever type; a name that turned into a folder stays.
TEST_F(Wipe, ListsEveryKindOfFileAndDeletesOnlyWhatWasListed) {
    writeBytes(root.path() / "a.mp3", "a");
    if (::mkfifo((root.path() / "pipe").string().c_str(), 0600) != 0)
        GTEST_SKIP() << "no named pipe: " << std::strerror(errno);
    fs::create_directory(root.path() / "keep");
    std::vector<std::string> listed = rootFiles(root.str());
    std::sort(listed.begin(), listed.end());
    ASSERT_EQ(listed, (std::vector<std::string>{"a.mp3", "pipe"}));

    writeBytes(root.path() / "late.mp3", "late");
    fs::remove(root.path() / "a.mp3");
    fs::create_directory(root.path() / "a.mp3");
    wipeRoot(root.str(), listed);
    EXPECT_EQ(listing(root.path()), (std::vector<std::string>{"a.mp3/", "keep/", "late.mp3"}));
}

// The card counts as changed from the moment the dummy exists, not from its close.
TEST_F(Wipe, DummyFileSaysWhetherItWasCreated) {
    bool created = false;
    EXPECT_THROW(placeDummyFile(system, (root.path() / "gone").string(), created), CardError);
    EXPECT_FALSE(created);
    placeDummyFile(system, root.str(), created);
    EXPECT_TRUE(created);
}

TEST_F(Wipe, MissingRootIsAnError) {
    const std::string gone = (root.path() / "gone").string();
    try {
        (void)rootFiles(gone);
        FAIL() << "no error";
    } catch (const CardError& e) {
        EXPECT_EQ(e.path(), gone);
        EXPECT_EQ(e.reason(), "No such file or directory");
    }
}

} // namespace
} // namespace velk::test
