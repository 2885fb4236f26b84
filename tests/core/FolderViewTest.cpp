#include "core/FolderView.h"
#include "core/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace velk {

void PrintTo(const FolderRow& row, std::ostream* out) {
    *out << "{" << row.name << ", " << row.path << ", " << row.depth << "}";
}

namespace {

#ifdef _WIN32
constexpr const char* music = "C:\\music\\voice";
const std::vector<FolderRow> musicRows = {{"C:\\", "C:\\", 0},
                                          {"music", "C:\\music", 1},
                                          {"voice", "C:\\music\\voice", 2},
                                          {"b\u00fcro", "C:\\music\\voice\\b\u00fcro", 3},
                                          {"Intro", "C:\\music\\voice\\Intro", 3}};
#else
constexpr const char* music = "/music/voice";
const std::vector<FolderRow> musicRows = {{"/", "/", 0},
                                          {"music", "/music", 1},
                                          {"voice", "/music/voice", 2},
                                          {"b\u00fcro", "/music/voice/b\u00fcro", 3},
                                          {"Intro", "/music/voice/Intro", 3}};
#endif

TEST(FolderRows, TheChainFromTheRootEachAStepInThenTheSubFoldersAStepFurther) {
    EXPECT_EQ(folderRows(music, {"b\u00fcro", "Intro"}), musicRows);
#ifdef _WIN32
    EXPECT_EQ(folderRows("C:\\", {"music"}),
              (std::vector<FolderRow>{{"C:\\", "C:\\", 0}, {"music", "C:\\music", 1}}));
#else
    EXPECT_EQ(folderRows("/", {"music"}),
              (std::vector<FolderRow>{{"/", "/", 0}, {"music", "/music", 1}}));
#endif
}

TEST(FolderRows, APathIsCleanedToOneSpellingOfTheFolder) {
    const struct {
        const char* given;
        const char* clean;
    } cases[] = {
#ifdef _WIN32
        {"C:\\music\\voice\\", "C:\\music\\voice"}, {"C:\\music\\.\\voice", "C:\\music\\voice"},
        {"C:\\music\\voice\\..", "C:\\music"},      {"C:\\", "C:\\"},
        {"C:/music/voice", "C:\\music\\voice"},
#else
        {"/music/voice/", "/music/voice"}, {"/music/./voice", "/music/voice"},
        {"/music/voice/..", "/music"},     {"/", "/"},
        {"/music//voice", "/music/voice"},
#endif
    };
    for (const auto& c : cases)
        EXPECT_EQ(cleanFolderPath(c.given), c.clean) << c.given;
    // A relative path is taken from the current folder.
    EXPECT_EQ(fsPath(cleanFolderPath("voice")), std::filesystem::current_path() / "voice");
}

// A file system of folders in memory: each known path lists its sub-folders; others cannot be
// listed.
class FolderViewTest : public testing::Test {
protected:
    FolderViewTest() {
        m_folders[cleanFolderPath(music)] = {
            true, {{"Intro", true}, {"b\u00fcro", true}, {"a.mp3", false}}};
        m_folders[cleanFolderPath(musicRows[1].path)] = {true, {{"voice", true}}};
    }
    std::map<std::string, FolderListing> m_folders;
    int m_reads = 0;
    FolderView m_view{[this](const std::string& utf8) {
        ++m_reads;
        const auto at = m_folders.find(cleanFolderPath(utf8));
        return at == m_folders.end() ? FolderListing{} : at->second;
    }};
};

TEST_F(FolderViewTest, OpensAListableFolderOnceAndKeepsItForOneThatIsNot) {
    using O = FolderView::Opened;
    EXPECT_EQ(m_view.currentRow(), -1);
    EXPECT_EQ(m_view.open(std::string(music) + "/"), O::changed);
    EXPECT_EQ(m_view.path(), cleanFolderPath(music));
    EXPECT_EQ(m_view.rows(), musicRows);
    EXPECT_EQ(m_view.currentRow(), 2);
    EXPECT_EQ(m_view.open(music), O::unchanged) << "the open folder by another spelling";
    EXPECT_EQ(m_view.open(musicRows[4].path), O::refused) << "Intro cannot be listed";
    EXPECT_EQ(m_view.path(), cleanFolderPath(music));
    EXPECT_EQ(m_view.rows(), musicRows);
}

TEST_F(FolderViewTest, ARowOpensItsOwnFolder) {
    using O = FolderView::Opened;
    ASSERT_EQ(m_view.open(music), O::changed);
    EXPECT_EQ(m_view.openRow(1), O::changed);
    EXPECT_EQ(m_view.path(), musicRows[1].path);
    EXPECT_EQ(m_view.rows().back().name, "voice");
    EXPECT_EQ(m_view.rows().back().depth, 2);
    EXPECT_EQ(m_view.currentRow(), 1);
    EXPECT_EQ(m_view.openRow(-1), O::refused);
    EXPECT_EQ(m_view.openRow(3), O::refused);
    EXPECT_EQ(m_view.path(), musicRows[1].path);
}

TEST_F(FolderViewTest, TheFirstListingAskedForIsTheOneReadAtOpenAfterThatItIsReadAgain) {
    ASSERT_EQ(m_view.open(music), FolderView::Opened::changed);
    EXPECT_EQ(m_reads, 1);
    EXPECT_EQ(m_view.takeListing().entries.size(), 3u);
    EXPECT_EQ(m_reads, 1);
    m_folders[cleanFolderPath(music)].entries.push_back({"new", true});
    EXPECT_EQ(m_view.takeListing().entries.size(), 4u);
    EXPECT_EQ(m_reads, 2);
}

} // namespace
} // namespace velk
