#include "RunFixture.h"

#include "core/CardFiles.h"
#include "core/CardImage.h"

#include "core/ContentHash.h"
#include "core/Texts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

struct CardFiles : ::testing::Test {
    TempFolder from;
    TempFolder card;
    FakeSystem system;

    std::string source(const std::string& name, const std::string& content) {
        writeBytes(from.path() / name, content);
        return (from.path() / name).string();
    }
    [[nodiscard]] std::string target() const { return (card.path() / "M0000004.MP3").string(); }
};

struct WriteCase {
    const char* what;
    std::size_t size;
    FakeSystem::WriteFaults faults;
};

// Whatever the device does to each write, the whole file arrives or the run hears why.
TEST_F(CardFiles, CopyWritesEveryByteHoweverTheWritesGo) {
    const std::vector<WriteCase> cases = {
        {"empty file", 0, {}},
        {"one byte", 1, {}},
        {"several chunks and a tail", 3 * 1024 * 1024 + 7, {}},
        {"writes cut to 4093 bytes", 100000, {4093, 0, {}}},
        {"interrupted writes", 70000, {SIZE_MAX, 3, {}}},
        {"exactly the space left", 5000, {SIZE_MAX, 0, 5000}},
    };
    for (const WriteCase& c : cases) {
        const std::string content = pattern(c.size, static_cast<unsigned>(c.size));
        const std::string from = source("a.nvr", content);
        writeBytes(target(), std::string(4 * 1024 * 1024, 'z'));
        system.writeFaults = c.faults;
        WrittenFile written = copyFile(system, from, target());
        flushToCard(system, written);
        EXPECT_EQ(readBytes(target()), content) << c.what;
        EXPECT_NO_THROW(verifyFile(system, target(), from, written.content)) << c.what;
    }
}

TEST_F(CardFiles, AFullCardLeavesNoPartialFileAndSaysWhy) {
    const std::string from = source("big.mp3", pattern(500000, 7));
    system.writeFaults.bytesUntilFull = 172032;
    try {
        copyFile(system, from, target());
        FAIL() << "a short copy was reported as done";
    } catch (const CardError& e) {
        EXPECT_EQ(e.path(), from);
        EXPECT_EQ(e.target(), target());
        EXPECT_EQ(e.reason(), "No space left on device");
    }
    EXPECT_FALSE(fs::exists(target()));
}

// A recorder that shares the source writes it on while it is copied: the card would verify
// as what was written, half of one recording and half of the other.
TEST_F(CardFiles, ASourceWrittenDuringTheCopyLeavesNoCardFile) {
    const std::string from = source("live.mp3", pattern(3 * 512 * 1024, 5));
    const std::optional<EntryStamp> pinned = system.fileStamp(from);
    ASSERT_TRUE(pinned);
    bool written = false;
    try {
        copyFile(system, from, target(), pinned, [&](std::uint64_t) {
            if (!std::exchange(written, true))
                std::ofstream(from, std::ios::app | std::ios::binary) << "more";
        });
        FAIL() << "a source that changed during its copy was taken";
    } catch (const CardError& e) {
        EXPECT_EQ(e.path(), from);
        EXPECT_EQ(e.reason(), text::changedWhileCopied);
    }
    EXPECT_FALSE(fs::exists(target()));
}

TEST_F(CardFiles, MissingSourceNamesBothFilesAndCreatesNothing) {
    const std::string gone = (from.path() / "gone.mp3").string();
    try {
        copyFile(system, gone, target());
        FAIL() << "no error";
    } catch (const CardError& e) {
        EXPECT_EQ(e.path(), gone);
        // The system's own words: the C library's on Linux, the Windows API's there.
        EXPECT_TRUE(e.reason() == "No such file or directory" || e.reason() == "File not found")
            << e.reason();
    }
    EXPECT_FALSE(fs::exists(target()));
}

TEST_F(CardFiles, WrittenBytesAreWholeAndFullCardRemovesThem) {
    const std::vector<std::uint8_t> index = {1,   1,   0,   'M', '0', '0', '0', '0',
                                             '0', '0', '1', '.', 'M', 'P', '3'};
    writeFile(system, index, target());
    EXPECT_EQ(readBytes(target()), std::string(index.begin(), index.end()));
    EXPECT_NO_THROW(verifyBytes(system, target(), index));

    system.writeFaults.bytesUntilFull = 3;
    try {
        writeFile(system, index, target());
        FAIL() << "no error";
    } catch (const CardError& e) {
        EXPECT_EQ(e.path(), target());
        EXPECT_TRUE(e.target().empty());
        EXPECT_EQ(e.reason(), "No space left on device");
    }
    EXPECT_FALSE(fs::exists(target()));
}

struct Difference {
    const char* what;
    std::string card;
    std::uint64_t corruptAt; ///< UINT64_MAX for none
    std::uint64_t firstDifference;
};

// The first differing byte is what an operator or a technician needs to judge the card.
TEST_F(CardFiles, VerifyNamesTheFirstDifferingByte) {
    const std::string content = pattern(2 * 1024 * 1024 + 3, 11);
    const std::vector<Difference> cases = {
        {"a byte the device gives back changed", content, 1500000, 1500000},
        {"the first byte", content, 0, 0},
        {"the last byte", content, content.size() - 1, content.size() - 1},
        {"a card file cut short", content.substr(0, 1048576), UINT64_MAX, 1048576},
        {"a card file with more bytes", content + "x", UINT64_MAX, content.size()},
        {"an empty card file", "", UINT64_MAX, 0},
    };
    const std::string from = source("a.mp3", content);
    ContentHasher hasher;
    hasher.update(content.data(), content.size());
    const ContentHash written = hasher.result();
    for (const Difference& c : cases) {
        writeBytes(target(), c.card);
        system.corruptOnDevice.clear();
        if (c.corruptAt != UINT64_MAX)
            system.corruptOnDevice["M0000004.MP3"] = c.corruptAt;
        try {
            verifyFile(system, target(), from, written);
            ADD_FAILURE() << c.what << ": no difference found";
        } catch (const CardError& e) {
            EXPECT_EQ(e.path(), target()) << c.what;
            EXPECT_EQ(e.reason(), "differs from what was written, first at byte " +
                                      std::to_string(c.firstDifference))
                << c.what;
        }
    }
}

TEST_F(CardFiles, VerifyReadsTheCardFromTheDeviceAndTheSourceOnlyOnADifference) {
    const std::string from = source("a.mp3", "abc");
    WrittenFile written = copyFile(system, from, target());
    flushToCard(system, written);
    system.deviceReads = 0;
    fs::remove(from);
    EXPECT_NO_THROW(verifyFile(system, target(), from, written.content));
    EXPECT_EQ(system.deviceReads, 1);

    // The card holds the source as it is now, but not what the copy wrote.
    writeBytes(from, "abd");
    writeBytes(target(), "abd");
    try {
        verifyFile(system, target(), from, written.content);
        FAIL() << "no difference found";
    } catch (const CardError& e) {
        EXPECT_EQ(e.reason(), "its source file changed while it was copied");
    }
}

TEST_F(CardFiles, VerifyOfAMissingCardFileFails) {
    const std::string from = source("a.mp3", "abc");
    EXPECT_THROW(verifyFile(system, target(), from, ContentHash{}), CardError);
    EXPECT_THROW(verifyBytes(system, target(), {0, 0}), CardError);
}

// However the bytes arrive, the same bytes hash alike; a changed bit or length does not.
TEST(ContentHashTest, DependsOnTheBytesNotOnHowTheyArrive) {
    const std::string bytes = pattern(100003, 5);
    auto hashOf = [](const std::string& b, std::size_t piece) {
        ContentHasher h;
        for (std::size_t at = 0; at < b.size(); at += piece)
            h.update(b.data() + at, std::min(piece, b.size() - at));
        return h.result();
    };
    const ContentHash whole = hashOf(bytes, bytes.size());
    for (const std::size_t piece : {1u, 7u, 31u, 32u, 33u, 4096u})
        EXPECT_TRUE(hashOf(bytes, piece) == whole) << piece;
    for (const std::size_t at :
         {std::size_t{0}, std::size_t{31}, std::size_t{32}, std::size_t{50000}, bytes.size() - 1}) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 0x10);
        EXPECT_FALSE(hashOf(changed, 4096) == whole) << at;
    }
    EXPECT_FALSE(hashOf(bytes + std::string(1, '\0'), 4096) == whole);
    EXPECT_FALSE(hashOf(std::string(64, '\0'), 64) == hashOf(std::string(65, '\0'), 64));
}

} // namespace
} // namespace velk::test
