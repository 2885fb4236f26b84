#include "core/FilePattern.h"
#include "platform/Folders.h"
#include "platform/System.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace velk {
namespace {

// A file list shows exactly what a wipe of the folder would delete, links to folders included.
TEST(ListFolder, GivesEachEntrysKindAndAFileListTheWipesFiles) {
    const test::TempFolder folder;
    const fs::path dir = folder.path();
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "a.mp3").put('x');
    fs::create_directory_symlink(dir / "sub", dir / "linked.mp3");
    fs::create_symlink(dir / "a.mp3", dir / "b.mp3");
    fs::create_symlink("/nonexistent/target", dir / "dangling.mp3");
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0600), 0);

    const FolderListing listing = listFolder(dir.string());
    ASSERT_TRUE(listing.listed);
    std::map<std::string, std::pair<bool, bool>> kinds; // folder, link
    for (const FolderEntry& e : listing.entries)
        kinds[e.name] = {e.folder, e.link};
    EXPECT_EQ(kinds, (std::map<std::string, std::pair<bool, bool>>{{"a.mp3", {false, false}},
                                                                   {"b.mp3", {false, true}},
                                                                   {"dangling.mp3", {false, true}},
                                                                   {"linked.mp3", {true, true}},
                                                                   {"pipe.mp3", {false, false}},
                                                                   {"sub", {true, false}}}));
    const std::vector<std::string> shown{"a.mp3", "b.mp3", "dangling.mp3", "linked.mp3",
                                         "pipe.mp3"};
    EXPECT_EQ(filesShown(listing, "*.*"), shown);
    std::error_code ec;
    EXPECT_EQ(matchingFiles(folderFiles(*makeSystem(), dir.string(), ec), "*.*"), shown)
        << "what a wipe deletes";
    EXPECT_FALSE(ec);

    EXPECT_FALSE(listFolder((dir / "missing").string()).listed);
    EXPECT_FALSE(listFolder((dir / "a.mp3").string()).listed);
}

} // namespace
} // namespace velk
