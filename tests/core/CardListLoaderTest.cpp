// Reading a card's list back, and files dropped on the tracks list.
#include "RunFixture.h"
#include "TrackFixture.h"

#include "core/CardListLoader.h"
#include "core/TrackEditor.h"
#include "core/TrackList.h"
#include "support/CardIndex.h"
#include "support/NotFound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

struct LoadFixture : RunFixture {
    TrackList tracks{state, form, system};
    TrackEditor editor{state, form, tracks};
    CardListLoader loader{state, form, system, tracks, editor};

    LoadFixture() { state.cardBytes = 100'000'000; }

    void add(const std::string& name, const std::string& content) {
        writeBytes(source.path() / name, content);
        ASSERT_TRUE(tracks.addTrack(source.str(), name)) << form.text(Control::txtTEXT1);
    }

    void setMode(int row, void (TrackEditor::*arm)()) {
        (editor.*arm)();
        form.select(Control::lstList1, row);
        editor.lstList1_Click();
    }

    /// Rows of the three lists and the total, which is what the operator sees of the list.
    [[nodiscard]] std::vector<std::vector<std::string>> shown() const {
        return {form.rows(Control::lstList1),
                form.rows(Control::lstList2),
                form.rows(Control::lstListMode),
                {std::to_string(state.tracks.messageBytes)}};
    }
};

TEST_F(LoadFixture, AProgrammedCardReadsBackIntoTheSameList) {
    add("intro.mp3", pattern(3000, 1));
    add("beep.nvr", pattern(1, 2));
    add("main.mp3", pattern(70000, 3));
    setMode(1, &TrackEditor::cmdMode2_Click);
    setMode(2, &TrackEditor::cmdMode1_Click);
    answer(true);
    run.cmdFinish_Click();
    ASSERT_EQ(form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    const auto modes = form.rows(Control::lstListMode);
    ASSERT_EQ(modes, (std::vector<std::string>{"0", "2", "1"}));

    // A delete left armed must not hit the loaded list.
    editor.cmdDel_Click();
    loader.lstList1_LoadFromCard();

    EXPECT_EQ(form.messages.size(), 1u) << form.messages.back();
    EXPECT_EQ(shown(), (std::vector<std::vector<std::string>>{
                           {"M0000001.MP3", "M0000002.MP3", "M0000003.MP3"},
                           {"1", "2", "3"},
                           modes,
                           {std::to_string(3000 + 1 + 70000)}}));
    for (int s = 1; s <= 3; ++s) {
        EXPECT_EQ(state.tracks.slot(s).srcPath, cardPath("M000000" + std::to_string(s) + ".MP3"));
        EXPECT_EQ(state.tracks.slot(s).trackNo, s);
    }
    EXPECT_EQ(state.tracks.slot(2).playMode, 2);
    EXPECT_EQ(state.edit.deletePending, 0);
    EXPECT_EQ(form.text(Control::Label7), gaugeCaption("0"));
}

TEST_F(LoadFixture, AnEmptyIndexLoadsAnEmptyList) {
    add("old.mp3", pattern(10, 1));
    writeBytes(fs::path(cardRoot) / "INDEX123.VKM", std::string(2, '\0'));
    loader.lstList1_LoadFromCard();
    EXPECT_TRUE(form.messages.empty());
    EXPECT_EQ(form.rowCount(Control::lstList1), 0);
    EXPECT_EQ(state.tracks.messageBytes, 0);
}

struct Refusal {
    const char* what;
    std::string index; ///< bytes of INDEX123.VKM; "-" for none
    std::vector<std::string> trackFiles;
    std::string reason; ///< after "<path>: "; "<missing>" for the system's own message
    std::string path = "INDEX123.VKM";
};

class RefusedLoad : public LoadFixture, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedLoad, ShowsWhyAndChangesNothing) {
    const Refusal& r = GetParam();
    add("kept.mp3", pattern(500, 7));
    setMode(0, &TrackEditor::cmdMode1_Click);
    if (r.index != "-")
        writeBytes(fs::path(cardRoot) / "INDEX123.VKM", r.index);
    for (const std::string& name : r.trackFiles)
        writeBytes(fs::path(cardRoot) / name, "audio");
    const auto before = trackList();
    const std::string guidanceBefore = form.text(Control::txtTEXT1);

    loader.lstList1_LoadFromCard();

    const std::string reason = r.reason == "<missing>" ? test::fileNotFound() : r.reason;
    EXPECT_EQ(form.messages,
              std::vector<std::string>{"Loading the list from the MMC card failed: " +
                                       cardPath(r.path) + ": " + reason});
    EXPECT_EQ(trackList(), before);
    EXPECT_EQ(form.rows(Control::lstListMode), std::vector<std::string>{"1"});
    EXPECT_EQ(form.text(Control::txtTEXT1), guidanceBefore);
    // The armed mode change survives, as nothing was cleared.
    EXPECT_EQ(state.edit.editState, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cards, RefusedLoad,
    ::testing::Values(
        Refusal{"no index", "-", {}, "<missing>"},
        Refusal{"wrong length",
                "\x01" + indexRecord(1, 0, "M0000001.MP3") + "x",
                {"M0000001.MP3"},
                "the INDEX file is 16 bytes long, not 1 byte and 14 for each track"},
        Refusal{"count mismatch",
                "\x03" + indexRecord(1, 0, "M0000001.MP3") + indexRecord(2, 0, "M0000002.MP3"),
                {"M0000001.MP3", "M0000002.MP3"},
                "the INDEX file's count byte says 3 tracks, but it holds records for 2"},
        Refusal{"bad name",
                "\x01" + indexRecord(1, 0, "INDEX123.VKM"),
                {},
                "track 1 names \"INDEX123.VKM\", not a card file M00000nn.MP3"},
        Refusal{"missing track file",
                "\x02" + indexRecord(1, 0, "M0000001.MP3") + indexRecord(2, 2, "M0000002.MP3"),
                {"M0000001.MP3"},
                "<missing>",
                "M0000002.MP3"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST_F(LoadFixture, TheListAndCapacityLimitsOfTheAddApply) {
    add("kept.mp3", pattern(500, 7));
    const auto before = trackList();

    std::string seventeen = "\x11";
    for (int s = 1; s <= 17; ++s) {
        const std::string name =
            "M00000" + std::string(s < 10 ? "0" : "") + std::to_string(s) + ".MP3";
        seventeen += indexRecord(s, 0, name);
        writeBytes(fs::path(cardRoot) / name, "a");
    }
    writeBytes(fs::path(cardRoot) / "INDEX123.VKM", seventeen);
    loader.lstList1_LoadFromCard();
    EXPECT_EQ(form.text(Control::txtTEXT1), "Reached Maximum Track Number");
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::red);
    EXPECT_EQ(trackList(), before);

    writeBytes(fs::path(cardRoot) / "INDEX123.VKM", "\x01" + indexRecord(1, 0, "M0000001.MP3"));
    makeFile(fs::path(cardRoot) / "M0000001.MP3", 5000);
    state.cardBytes = 4999;
    loader.lstList1_LoadFromCard();
    EXPECT_EQ(form.text(Control::txtTEXT1), "Files exceed MMC card capacity");
    EXPECT_EQ(trackList(), before);

    state.cardBytes = 5000;
    loader.lstList1_LoadFromCard();
    EXPECT_EQ(form.rows(Control::lstList1), std::vector<std::string>{"M0000001.MP3"});
    EXPECT_TRUE(form.messages.empty());
}

TEST_F(LoadFixture, NeedsAReadyCard) {
    writeBytes(fs::path(cardRoot) / "INDEX123.VKM", std::string(2, '\0'));
    add("kept.mp3", pattern(500, 7));
    form.setBackColour(Control::Label4, colour::red);
    loader.lstList1_LoadFromCard();
    EXPECT_EQ(form.messages,
              std::vector<std::string>{
                  "Loading the list from the MMC card failed: e:: no MMC card is ready "
                  "in the destination drive"});
    EXPECT_EQ(form.rowCount(Control::lstList1), 1);

    form.messages.clear();
    form.setBackColour(Control::Label4, colour::buttonFace);
    system.table["e:"].root = {
        RootFolder::Status::deviceUnavailable, {}, "the card is not mounted"};
    loader.lstList1_LoadFromCard();
    EXPECT_EQ(form.messages,
              std::vector<std::string>{
                  "Loading the list from the MMC card failed: e:: the card is not mounted"});
    EXPECT_EQ(form.rowCount(Control::lstList1), 1);
}

using DropFixture = TrackFixture;

TEST_F(DropFixture, AudioFilesAreAddedInOrderAndOthersNamed) {
    for (const char* name : {"b.mp3", "notes.txt", "A.NVR", "c.mp3.bak"})
        makeFile(source.path() / name, 100);
    tracks.lstList1_DropFiles(
        {(source.path() / "b.mp3").string(), (source.path() / "notes.txt").string(),
         (source.path() / "A.NVR").string(), (source.path() / "c.mp3.bak").string()});
    EXPECT_EQ(rows(Control::lstList1), (std::vector<std::string>{"b.mp3", "A.NVR"}));
    EXPECT_EQ(rows(Control::lstList2), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(state.tracks.slot(2).srcPath, (source.path() / "A.NVR").string());
    EXPECT_EQ(state.tracks.messageBytes, 200);
    EXPECT_EQ(guidance(),
              "Only .mp3 and .nvr files can be added - not added: notes.txt, c.mp3.bak");
    EXPECT_EQ(guidanceColour(), colour::red);

    tracks.lstList1_DropFiles({(source.path() / "b.mp3").string()});
    EXPECT_EQ(guidance(), "Select a Source File by double clicking on it");
    EXPECT_EQ(guidanceColour(), colour::yellow);
}

TEST_F(DropFixture, StopsAtTheFirstFileTheAddRefuses) {
    state.cardBytes = 1000;
    makeFile(source.path() / "big.mp3", 1001);
    makeFile(source.path() / "small.mp3", 10);
    tracks.lstList1_DropFiles({(source.path() / "big.mp3").string(),
                               (source.path() / "small.mp3").string(),
                               (source.path() / "x.txt").string()});
    EXPECT_EQ(form.rowCount(Control::lstList1), 0);
    EXPECT_EQ(guidance(), "Files exceed MMC card capacity");

    for (int i = 0; i < 15; ++i)
        add("t" + std::to_string(i) + ".mp3", 1);
    tracks.lstList1_DropFiles(
        {(source.path() / "small.mp3").string(), (source.path() / "t0.mp3").string()});
    EXPECT_EQ(form.rowCount(Control::lstList1), 16);
    EXPECT_EQ(guidance(), "Reached Maximum Track Number");

    state.runInProgress = true;
    tracks.lstList1_DropFiles({(source.path() / "small.mp3").string()});
    EXPECT_EQ(form.rowCount(Control::lstList1), 16);
}

} // namespace
} // namespace velk::test
