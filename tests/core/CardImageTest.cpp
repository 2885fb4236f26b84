#include "RunFixture.h"

#include "core/CardImage.h"
#include "core/TrackTable.h"
#include "support/NotFound.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <filesystem>
#include <functional>
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
        {1, "M0000001.MP3"},  {7, "M0000007.MP3"},  {9, "M0000009.MP3"},
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
    FakeSystem system;
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
        writeIndexFile(system, tracks, rows, names, path);
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
    fill(16);
    ASSERT_EQ(write(16).size(), 225u);
    tracks.slot(1) = {"/src/a.mp3", 1, 0};
    EXPECT_EQ(write(1).size(), 15u);
    EXPECT_EQ(hex(write(0)), "00 00");
}

// The staged copy may land where the operator keeps other things: only an index is replaced.
TEST_F(IndexFile, AnythingButAnIndexIsLeftAsItIs) {
    TempFolder outside;
    const fs::path target = outside.path() / "elsewhere.txt";
    writeBytes(target, "not an index");
    struct Case {
        const char* what;
        std::function<void()> make;
    };
    std::error_code noLinks; // Wine makes none
    const Case cases[] = {
        {"a file that is no index", [&] { writeBytes(path, std::string(5000, '\xAA')); }},
        {"a link to another file", [&] { fs::create_symlink(target, path, noLinks); }},
        {"a folder", [&] { fs::create_directory(path); }},
    };
    for (const Case& c : cases) {
        fs::remove_all(path);
        c.make();
        if (!fs::exists(fs::symlink_status(path)))
            continue;
        const auto before = fs::symlink_status(path).type();
        EXPECT_THROW(write(0), CardError) << c.what;
        EXPECT_EQ(fs::symlink_status(path).type(), before) << c.what;
    }
    EXPECT_EQ(readBytes(target), "not an index");
}

TEST_F(IndexFile, UnwritableFolderNamesTheFileAndTheReason) {
    const std::string missing = (folder.path() / "gone" / "INDEX123.VKM").string();
    try {
        writeIndexFile(system, tracks, 0, names, missing);
        FAIL() << "no error";
    } catch (const CardError& e) {
        EXPECT_EQ(e.path(), missing);
        EXPECT_EQ(e.reason(), test::folderNotFound());
    }
}

// Staged in the current folder, unless that folder is on a card, which no run has taken yet.
TEST(StagedIndex, IsInTheCurrentFolderUnlessThatIsOnARemovableDisk) {
    TempFolder fixed;
    TempFolder card;
    TempFolder data;
    FakeSystem system;
    system.addFixed("/", fixed.str());
    system.addCard("e:", card.str());
    system.data = (data.path() / "velk-assembler").string();
    const fs::path before = fs::current_path();

    fs::current_path(fixed.path());
    EXPECT_EQ(fs::path(stagedIndexPath(system)), fs::current_path() / "INDEX123.VKM");
    fs::current_path(card.path());
    EXPECT_EQ(fs::path(stagedIndexPath(system)), data.path() / "velk-assembler" / "INDEX123.VKM");
    EXPECT_TRUE(fs::is_directory(data.path() / "velk-assembler"));
    system.data.clear();
    EXPECT_THROW((void)stagedIndexPath(system), CardError);
    fs::current_path(before);
}

} // namespace
} // namespace velk::test
