#include "RunFixture.h"

#include "core/CardImage.h"
#include "core/CardWipe.h"
#include "support/NotFound.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

struct Wipe : ::testing::Test {
    Wipe() { system.addCard("e:", root.str()); }

    RootEntry placeDummy() {
        bool created = false;
        return placeDummyFile(system, root.str(), created);
    }
    void wipe() { wipeRoot(system, root.str(), rootEntries(system, root.str())); }
    std::vector<std::string> names(const std::vector<RootEntry>& entries) {
        std::vector<std::string> out;
        for (const RootEntry& e : entries)
            out.push_back(e.name);
        std::sort(out.begin(), out.end());
        return out;
    }

    TempFolder root;
    TempFolder outside;
    FakeSystem system;
};

// A link named like the dummy could otherwise make the program create a file off the card.
TEST_F(Wipe, DummyIsNotCreatedThroughALinkOfItsName) {
    fs::create_symlink(outside.path() / "planted", root.path() / "fred.vkm");
    const RootEntry dummy = placeDummy();
    EXPECT_TRUE(dummy.link);
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

    std::vector<RootEntry> entries = rootEntries(system, root.str());
    entries.push_back(placeDummy());
    EXPECT_EQ(fs::file_size(root.path() / "fred.vkm"), 0u);
    wipeRoot(system, root.str(), entries);

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

TEST_F(Wipe, ListsEveryKindOfFileButFolders) {
    writeBytes(root.path() / "a.mp3", "a");
    if (::mkfifo((root.path() / "pipe").string().c_str(), 0600) != 0)
        GTEST_SKIP() << "no named pipe: " << std::strerror(errno);
    fs::create_directory(root.path() / "keep");
    EXPECT_EQ(names(rootEntries(system, root.str())), (std::vector<std::string>{"a.mp3", "pipe"}));
}

// The operator confirmed a list: an entry that is not what was listed any more stops the
// wipe there, and is left as it is; one that is gone is passed over; one that appeared since
// is never deleted.
TEST_F(Wipe, DeletesOnlyEntriesThatAreStillWhatWasListed) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> change;
        bool stops;
    };
    const Case cases[] = {
        {"unchanged", [](const fs::path&) {}, false},
        {"gone", [](const fs::path& p) { fs::remove(p); }, false},
        {"replaced by another file",
         [](const fs::path& p) {
             fs::remove(p);
             writeBytes(p, "b");
         },
         true},
        {"rewritten longer", [](const fs::path& p) { writeBytes(p, "bbbb"); }, true},
        {"written again, same length, another time",
         [](const fs::path& p) {
             fs::last_write_time(p, fs::last_write_time(p) - std::chrono::hours(24));
         },
         true},
        {"turned into a folder",
         [](const fs::path& p) {
             fs::remove(p);
             fs::create_directory(p);
         },
         true},
    };
    for (const Case& c : cases) {
        fs::remove_all(root.path());
        fs::create_directory(root.path());
        writeBytes(root.path() / "1.mp3", "a");
        writeBytes(root.path() / "2.mp3", "a");
        const std::vector<RootEntry> listed = rootEntries(system, root.str());
        const fs::path changed = root.path() / listed.front().name;
        c.change(changed);
        writeBytes(root.path() / "late.mp3", "late");

        EXPECT_EQ(changedSinceListed(system, root.str(), listed).empty(), false) << c.what;
        if (c.stops) {
            EXPECT_THROW(wipeRoot(system, root.str(), listed), CardError) << c.what;
            EXPECT_TRUE(fs::exists(root.path() / listed.back().name))
                << c.what << ": went on after it";
            EXPECT_TRUE(fs::exists(changed)) << c.what;
        } else {
            EXPECT_NO_THROW(wipeRoot(system, root.str(), listed)) << c.what;
            EXPECT_FALSE(fs::exists(root.path() / listed.back().name)) << c.what;
        }
        EXPECT_EQ(readBytes(root.path() / "late.mp3"), "late") << c.what;
    }
}

TEST_F(Wipe, NothingChangedSinceTheListingReadsEmpty) {
    writeBytes(root.path() / "a.mp3", "a");
    const std::vector<RootEntry> listed = rootEntries(system, root.str());
    EXPECT_EQ(changedSinceListed(system, root.str(), listed), "");
    writeBytes(root.path() / "new.mp3", "n");
    EXPECT_EQ(changedSinceListed(system, root.str(), listed), "new.mp3");
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
        (void)rootEntries(system, gone);
        FAIL() << "no error";
    } catch (const CardError& e) {
        EXPECT_EQ(e.path(), gone);
        EXPECT_EQ(e.reason(), test::folderNotFound());
    }
}

TEST(RoomAfterWipe, CountsWholeClustersAndLinksFreeNothing) {
    const std::vector<RootEntry> deleted = {{"a", {{}, 1, 0}, false},
                                            {"b", {{}, 4096, 0}, false},
                                            {"c", {{}, 4097, 0}, false},
                                            {"link", {{}, 30, 0}, true},
                                            {"empty", {{}, 0, 0}, false}};
    const std::vector<std::uint64_t> sizes = {0, 1, 4096, 5000};
    struct Case {
        const char* name;
        SpaceCounts space;
        std::uint64_t needed;
        std::uint64_t free;
    };
    const Case cases[] = {
        // 8 sectors of 512: a, b, c take 1, 1 and 2 clusters; the sizes 0, 1, 1 and 2.
        {"4 KiB clusters", {8, 512, 10, 100}, 4 * 4096, 10 * 4096 + 4 * 4096},
        {"no cluster size", {0, 0, 7, 100}, 1 + 4096 + 5000, 7 + 1 + 4096 + 4097},
        {"a full card", {8, 512, 0, 100}, 4 * 4096, 4 * 4096},
    };
    for (const Case& c : cases) {
        const Room room = roomAfterWipe(c.space, deleted, sizes);
        EXPECT_EQ(room.needed, c.needed) << c.name;
        EXPECT_EQ(room.free, c.free) << c.name;
    }
}

} // namespace
} // namespace velk::test
