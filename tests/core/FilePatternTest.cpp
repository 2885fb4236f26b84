#include "core/FilePattern.h"
#include "TrackFixture.h"
#include "platform/Folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace velk {
namespace {

namespace fs = std::filesystem;

TEST(FilePattern, MatchesLikeADriveLetterFileSystem) {
    const struct {
        const char* name;
        const char* patterns;
        bool matches;
    } cases[] = {
        {"a.mp3", "*.mp3;*.nvr", true},
        {"A.MP3", "*.mp3;*.nvr", true},
        {"b.Nvr", "*.mp3;*.nvr", true},
        {"c.txt", "*.mp3;*.nvr", false},
        {"mp3", "*.mp3;*.nvr", false},
        {"x.mp3.txt", "*.mp3;*.nvr", false},
        {"README", "*.*", true},
        {".hidden", "*.*", true},
        {"INDEX123.VKM", "index123.vkm", true},
        {"a.mp3", ";;", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchesPattern(c.name, c.patterns), c.matches) << c.name << " / " << c.patterns;
}

// What may become a track, wherever a file is taken, by the name at the end of its path.
TEST(FilePattern, OnlyAudioFilesBecomeTracks) {
    for (const char* audio : {"a.mp3", "B.MP3", "/music/c.Nvr", "d:\\x\\e.mp3", ".mp3"})
        EXPECT_TRUE(isAudioFile(audio)) << audio;
    for (const char* other : {"lobby.txt", "a.mp3.txt", "mp3", "/music.mp3/list", "tune.mp4", ""})
        EXPECT_FALSE(isAudioFile(other)) << other;
}

// Lowered ASCII first, then byte by byte as plain chars: a name that starts with a byte of a
// non-ASCII letter comes first, "[" and "_" before letters.
TEST(FilePattern, SortsAsPlainCharsAfterLoweringAscii) {
    EXPECT_EQ(matchingFiles({"b.mp3", "_a.mp3", "Zed.mp3", "\xc3\x84rger.mp3", "[c.mp3", "A1.mp3",
                             "notes.txt"},
                            "*.mp3"),
              (std::vector<std::string>{"\xc3\x84rger.mp3", "[c.mp3", "_a.mp3", "A1.mp3", "b.mp3",
                                        "Zed.mp3"}));
}

TEST(FilePattern, ListsOnlyMatchingFilesSortedIgnoringCase) {
    const test::TempFolder folder;
    const fs::path dir = folder.path();
    fs::create_directories(dir / "folder.mp3");
    for (const char* name : {"b.nvr", "A.MP3", "c.txt", "a2.mp3"})
        std::ofstream(dir / name).put('x');
    fs::create_symlink("/nonexistent/target", dir / "dangling.mp3");

    EXPECT_EQ(filesShown(listFolder(dir.string()), "*.mp3;*.nvr"),
              (std::vector<std::string>{"A.MP3", "a2.mp3", "b.nvr", "dangling.mp3"}));
    EXPECT_EQ(filesShown(listFolder(dir.string()), "*.*").size(), 5u)
        << "every file and link, no folder";
    EXPECT_TRUE(filesShown(listFolder((dir / "missing").string()), "*.*").empty());
}

} // namespace
} // namespace velk
