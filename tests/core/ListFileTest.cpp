// Saved track lists: the file format, and opening and saving them on the tracks list.
#include "RunFixture.h"
#include "TrackFixture.h"

#include "core/CardReader.h"
#include "core/ListFile.h"
#include "core/SavedList.h"
#include "core/TrackEditor.h"
#include "support/NotFound.h"

#include <gtest/gtest.h>

namespace velk::test {
namespace {

struct ListFileFixture : TrackFixture {
    TrackEditor editor{state, form, tracks};
    ListFile lists{state, form, system, tracks, editor};
    TempFolder folder;
    std::string listPath = (folder.path() / "tracks.txt").string();

    std::string file(const std::string& name, std::uintmax_t size) {
        makeFile(source.path() / name, size);
        return (source.path() / name).string();
    }
    std::vector<std::vector<std::string>> shown() const {
        return {rows(Control::lstList1),
                rows(Control::lstListMode),
                {std::to_string(state.tracks.messageBytes)}};
    }
};

TEST_F(ListFileFixture, SavedListOpensAsTheSameList) {
    const std::string a = file("intro.mp3", 300), b = file("beep.nvr", 5);
    // Relative sources are the list's own folder's.
    const std::string inSource = (source.path() / "tracks.txt").string();
    writeBytes(inSource, "\xEF\xBB\xBF# greeting\r\n2\t" + a + "\r\n\n  \n1\tbeep.nvr\n");
    lists.lstList1_OpenList(inSource);
    EXPECT_TRUE(form.messages.empty()) << form.messages.front();
    EXPECT_EQ(shown(), (std::vector<std::vector<std::string>>{
                           {"intro.mp3", "beep.nvr"}, {"2", "1"}, {"305"}}));

    lists.lstList1_SaveList(listPath);
    EXPECT_EQ(readBytes(listPath),
              "# VELK track list: play mode, tab, source file\n2\t" + a + "\n1\t" + b + "\n");
}

TEST_F(ListFileFixture, RefusedListLeavesTheListAsItWas) {
    add("kept.mp3", 10);
    const std::string small = file("small.mp3", 10), gone = (source.path() / "gone.mp3").string();
    std::string seventeen;
    for (int i = 0; i < 17; ++i)
        seventeen += "0\t" + small + "\n";
    const struct {
        std::string content, guidance, message;
    } cases[] = {
        {seventeen, "Reached Maximum Track Number", ""},
        {"0\t" + small + "\n1\t" + gone + "\n",
         "Cannot read " + gone + " - " + test::fileNotFound(), ""},
        {"0\t" + file("big.mp3", 100'000'001), "Files exceed MMC card capacity", ""},
        {"0\t" + small + "\n3\t" + small, "",
         "Opening the list failed: " + listPath +
             ": line 2 is not a play mode 0, 1 or 2, a tab and a file"},
        {"0 " + small, "",
         "Opening the list failed: " + listPath +
             ": line 1 is not a play mode 0, 1 or 2, a tab and a file"},
        {"0\t" + small + "\n0\t" + file("lobby.txt", 10),
         "Only .mp3 and .nvr files can be added - not added: lobby.txt", ""},
    };
    for (const auto& c : cases) {
        form.messages.clear();
        form.setText(Control::txtTEXT1, "");
        writeBytes(listPath, c.content);
        lists.lstList1_OpenList(listPath);
        EXPECT_EQ(form.text(Control::txtTEXT1), c.guidance);
        EXPECT_EQ(form.messages,
                  c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
        EXPECT_EQ(shown(), (std::vector<std::vector<std::string>>{{"kept.mp3"}, {"0"}, {"10"}}));
    }
    lists.lstList1_OpenList((folder.path() / "missing.txt").string());
    EXPECT_EQ(form.messages.back(),
              "Opening the list failed: " + (folder.path() / "missing.txt").string() + ": " +
                  test::fileNotFound());
}

TEST(SavedList, TrackArgumentsAndReaders) {
    EXPECT_EQ(trackArgument("a.mp3:2"), (SavedTrack{2, "a.mp3"}));
    EXPECT_EQ(trackArgument("C:\\a.mp3"), (SavedTrack{0, "C:\\a.mp3"}));
    EXPECT_EQ(trackArgument("a.mp3:3"), (SavedTrack{0, "a.mp3:3"}));
}

// A drive is named in any case, with or without its root's separator, and no drive is asked
// anything; a card's folder asks the removable drives alone, never a network drive.
TEST(SavedList, CardReaderNamedByDriveOrFolder) {
    FakeSystem system;
    system.addFixed("c:", "/");
    system.addCard("e:", "/media/card");
    system.table["z:"] = {
        drive_type::remote, SpaceCounts{8, 512, 0, 1000}, {RootFolder::Status::ok, "/net/z", {}}};
    system.order.push_back("z:");
    const struct {
        const char* card;
        const char* reader;
        int rootsAsked;
    } cases[] = {
        {"E:", "e:", 0},          {"e:", "e:", 0},         {"E:\\", "e:", 0},
        {"e:\\", "e:", 0},        {"E:/", "e:", 0},        {"/media/card/", "e:", 1},
        {"/media/card", "e:", 1}, {"/media", "/media", 1}, {"/net/z", "/net/z", 1},
    };
    for (const auto& c : cases) {
        system.rootQueries = 0;
        system.spaceQueries = 0;
        EXPECT_EQ(readerFor(system, c.card), c.reader) << c.card;
        EXPECT_EQ(system.rootQueries, c.rootsAsked) << c.card;
        EXPECT_EQ(system.spaceQueries, 0) << c.card;
    }
}

} // namespace
} // namespace velk::test
