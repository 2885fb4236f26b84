#include "RunFixture.h"

#include "core/TrackEditor.h"
#include "core/TrackList.h"
#include "support/CardIndex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

using ProgrammingRunTest = RunFixture;

const std::string complete = "DOWNLOAD COMPLETE";

std::string completion(int bytes) {
    return "You may now remove the MMC card - capacity used " + std::to_string(bytes) + " bytes";
}

TEST_F(ProgrammingRunTest, TwoTracksAreCopiedWithProgressAndReported) {
    const std::string a = addTrack("a.mp3", pattern(100, 1));
    const std::string b = addTrack("b.nvr", pattern(300, 2), 2);
    writeBytes(fs::path(cardRoot) / "old.mp3", "old");
    writeBytes(fs::path(cardRoot) / ".hidden", "old");
    fs::create_directory(fs::path(cardRoot) / "sub");

    std::vector<std::string> beforeFirstCopy;
    bool flagHeldThroughout = true;
    answer(true, [&](FakeForm& f) {
        flagHeldThroughout = flagHeldThroughout && state.runInProgress && f.runInProgress();
        if (f.text(Control::Label7) == "Copying " + a && beforeFirstCopy.empty())
            beforeFirstCopy = cardFiles();
    });
    run.cmdFinish_Click();

    EXPECT_EQ(form.label7History,
              (std::vector<std::string>{"Deleting Existing Files", "Copying " + a, "Copying " + b,
                                        "Verifying M0000001.MP3", "Verifying M0000002.MP3",
                                        "Copying Index File", "Verifying INDEX123.VKM", ""}));
    EXPECT_EQ(form.progressHistory, (std::vector<float>{0.0f, 25.0f, 100.0f, 0.0f}));
    EXPECT_EQ(form.messages, std::vector<std::string>{complete});
    EXPECT_EQ(form.text(Control::txtTEXT1), completion(400));
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::yellow);
    EXPECT_EQ(form.setTextLog, std::vector<std::string>{"File2=" + cardRoot});
    EXPECT_EQ(form.beeps, 1);
    EXPECT_FALSE(form.isVisible(Control::Frame1));
    EXPECT_EQ(state.edit.editState, 1);

    EXPECT_EQ(beforeFirstCopy, std::vector<std::string>{"sub/"});
    EXPECT_EQ(cardFiles(),
              (std::vector<std::string>{"INDEX123.VKM", "M0000001.MP3", "M0000002.MP3", "sub/"}));
    EXPECT_EQ(onCard("M0000001.MP3"), pattern(100, 1));
    EXPECT_EQ(onCard("M0000002.MP3"), pattern(300, 2));
    EXPECT_EQ(onCard("INDEX123.VKM"), staged());
    EXPECT_EQ(staged().size(), 29u);
    EXPECT_EQ(staged()[16], 2) << "play mode of track 2";

    EXPECT_TRUE(flagHeldThroughout);
    EXPECT_FALSE(state.runInProgress);
    EXPECT_FALSE(form.runInProgress());
    EXPECT_EQ(state.tracks.copiedBytes, 400);
    // The wipe reaches the card before the first copy.
    EXPECT_EQ(system.flushed, (std::vector<std::string>{cardRoot + "/", cardPath("M0000001.MP3"),
                                                        cardPath("M0000002.MP3"), cardRoot + "/",
                                                        cardPath("INDEX123.VKM"), cardRoot + "/"}));
}

TEST_F(ProgrammingRunTest, NoTracksLeavesOnlyTheIndex) {
    writeBytes(fs::path(cardRoot) / "M0000001.MP3", "old");
    answer(true);
    run.cmdFinish_Click();

    EXPECT_EQ(cardFiles(), std::vector<std::string>{"INDEX123.VKM"});
    EXPECT_EQ(onCard("INDEX123.VKM"), std::string(2, '\0'));
    EXPECT_EQ(form.progressHistory, (std::vector<float>{0.0f, 0.0f}));
    EXPECT_EQ(form.messages, std::vector<std::string>{complete});
    EXPECT_EQ(form.text(Control::txtTEXT1), completion(0));
}

TEST_F(ProgrammingRunTest, CancelLeavesTheCardButRewritesTheStagedIndex) {
    addTrack("a.mp3", pattern(100, 1));
    writeBytes(work.path() / "INDEX123.VKM", indexFor({0, 1, 2}));
    writeBytes(fs::path(cardRoot) / "old.mp3", "old");
    form.label7History.clear();
    answer(false);
    run.cmdFinish_Click();

    EXPECT_EQ(cardFiles(), std::vector<std::string>{"old.mp3"});
    EXPECT_EQ(onCard("old.mp3"), "old");
    EXPECT_EQ(staged().size(), 15u);
    EXPECT_EQ(state.edit.editState, 0);
    EXPECT_EQ(form.text(Control::txtTEXT1), "Downloading Please WAIT");
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::yellow);
    EXPECT_TRUE(form.label7History.empty());
    EXPECT_TRUE(form.progressHistory.empty());
    EXPECT_TRUE(form.messages.empty());
    EXPECT_FALSE(state.runInProgress);
}

TEST_F(ProgrammingRunTest, ConfirmationClearsAnArmedModeChange) {
    state.edit.editState = 2;
    form.onYield = [this](FakeForm& f) {
        if (f.isVisible(Control::Frame1)) {
            EXPECT_EQ(state.edit.editState, 0);
            run.Command2_Click();
        }
    };
    run.cmdFinish_Click();
    EXPECT_EQ(state.edit.editState, 0);
}

TEST_F(ProgrammingRunTest, EmptySlotGetsARecordButNoCopy) {
    const std::string a = addTrack("a.mp3", pattern(100, 1));
    addListed("gone.mp3", "");
    const std::string c = addTrack("c.mp3", pattern(100, 3));
    answer(true);
    run.cmdFinish_Click();

    EXPECT_EQ(form.label7History,
              (std::vector<std::string>{"Deleting Existing Files", "Copying " + a, "Copying " + c,
                                        "Verifying M0000001.MP3", "Verifying M0000003.MP3",
                                        "Copying Index File", "Verifying INDEX123.VKM", ""}));
    EXPECT_EQ(form.progressHistory, (std::vector<float>{0.0f, 50.0f, 50.0f, 100.0f, 0.0f}));
    EXPECT_EQ(cardFiles(),
              (std::vector<std::string>{"INDEX123.VKM", "M0000001.MP3", "M0000003.MP3"}));
    ASSERT_EQ(staged().size(), 43u);
    EXPECT_EQ(staged().substr(17, 12), "M0000002.MP3");
}

TEST_F(ProgrammingRunTest, EmptyFilesMoveTheBarBySlots) {
    addTrack("a.mp3", "");
    addTrack("b.mp3", "");
    answer(true);
    run.cmdFinish_Click();

    EXPECT_EQ(form.progressHistory, (std::vector<float>{0.0f, 50.0f, 100.0f, 0.0f}));
    EXPECT_EQ(cardFiles(),
              (std::vector<std::string>{"INDEX123.VKM", "M0000001.MP3", "M0000002.MP3"}));
    EXPECT_EQ(form.messages, std::vector<std::string>{complete});
}

TEST_F(ProgrammingRunTest, ProgressIsNotRoundedToWholeNumbers) {
    addTrack("a.mp3", pattern(1, 1));
    addTrack("b.mp3", pattern(2, 2));
    answer(true);
    run.cmdFinish_Click();
    ASSERT_EQ(form.progressHistory.size(), 4u);
    EXPECT_NEAR(form.progressHistory[1], 33.3333f, 0.0001f) << "one byte of three";
}

TEST_F(ProgrammingRunTest, DestinationNotReadyWritesOnlyTheStagedIndex) {
    addTrack("a.mp3", pattern(100, 1));
    writeBytes(fs::path(cardRoot) / "old.mp3", "old");
    form.setBackColour(Control::Label4, colour::red);
    bool frameShown = false;
    form.onYield = [&](FakeForm& f) { frameShown = frameShown || f.isVisible(Control::Frame1); };
    run.cmdFinish_Click();

    EXPECT_EQ(form.messages, std::vector<std::string>{"ERROR - INCORRECT DESTINATION DRIVE"});
    EXPECT_EQ(staged().size(), 15u);
    EXPECT_FALSE(frameShown);
    EXPECT_TRUE(form.setTextLog.empty());
    EXPECT_EQ(form.beeps, 0);
    EXPECT_EQ(cardFiles(), std::vector<std::string>{"old.mp3"});
    EXPECT_EQ(form.text(Control::txtTEXT1), "Downloading Please WAIT");
    EXPECT_FALSE(state.runInProgress);
}

TEST_F(ProgrammingRunTest, UnreachableRootIsReportedBeforeTheQuestion) {
    system.table["e:"].root = {RootFolder::Status::deviceUnavailable, {}, "no medium"};
    run.cmdFinish_Click();

    EXPECT_EQ(form.messages,
              std::vector<std::string>{"Opening the destination drive failed: e:: no medium"});
    EXPECT_EQ(form.text(Control::txtTEXT1),
              "Programming FAILED - the MMC card has not been changed");
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::red);
    EXPECT_FALSE(form.isVisible(Control::Frame1));
}

TEST_F(ProgrammingRunTest, EditsDuringTheRunAreIgnored) {
    TrackList tracks(state, form, system);
    TrackEditor editor(state, form, tracks);
    addTrack("a.mp3", pattern(100, 1));
    addTrack("b.mp3", pattern(300, 2));
    state.cardBytes = 100'000'000;
    writeBytes(source.path() / "c.mp3", "c");
    form.setText(Control::File1, source.str());
    form.addRow(Control::File1, "c.mp3");
    form.select(Control::File1, 0);
    const std::vector<std::string> before = trackList();

    answer(true, [&](FakeForm& f) {
        editor.cmdDel_Click();
        f.select(Control::lstList1, 0);
        editor.lstList1_Click();
        editor.cmdMode2_Click();
        editor.lstList1_Click();
        editor.newbut_Click();
        tracks.File1_DblClick();
    });
    run.cmdFinish_Click();

    EXPECT_EQ(trackList(), before);
    EXPECT_EQ(form.rows(Control::lstListMode), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(state.edit.editState, 1);
    EXPECT_EQ(cardFiles(),
              (std::vector<std::string>{"INDEX123.VKM", "M0000001.MP3", "M0000002.MP3"}));
    EXPECT_EQ(form.messages, std::vector<std::string>{complete});
}

TEST_F(ProgrammingRunTest, SecondRunDuringAYieldDoesNothing) {
    addTrack("a.mp3", pattern(100, 1));
    int nested = 0;
    answer(true, [&](FakeForm&) {
        ++nested;
        run.cmdFinish_Click();
    });
    run.cmdFinish_Click();

    EXPECT_GT(nested, 5);
    EXPECT_EQ(form.beeps, 1);
    EXPECT_EQ(form.messages, std::vector<std::string>{complete});
    EXPECT_EQ(form.progressHistory, (std::vector<float>{0.0f, 100.0f, 0.0f}));
    EXPECT_EQ(form.setTextLog.size(), 1u);
}

// The program ends during the yield where `when` first holds; nothing after it happens.
struct EndCase {
    const char* name;
    std::function<bool(const FakeForm&)> when;
    std::vector<std::string> card;
};

class RunEnding : public RunFixture, public ::testing::WithParamInterface<EndCase> {};

TEST_P(RunEnding, StopsAtOnce) {
    writeBytes(fs::path(cardRoot) / "old.mp3", "old");
    addTrack("a.mp3", pattern(100, 1));
    addTrack("b.mp3", pattern(100, 2));
    const auto& when = GetParam().when;
    // Once ending, the question is never answered.
    form.onYield = [this, when](FakeForm& f) {
        if (!f.ending && when(f))
            f.ending = true;
        else if (!f.ending && f.isVisible(Control::Frame1))
            run.Command1_Click();
    };
    run.cmdFinish_Click();

    EXPECT_EQ(cardFiles(), GetParam().card);
    EXPECT_TRUE(form.messages.empty());
    EXPECT_FALSE(state.runInProgress);
    EXPECT_FALSE(form.runInProgress());
}

INSTANTIATE_TEST_SUITE_P(
    Program, RunEnding,
    ::testing::Values(
        EndCase{
            "AfterTheIndexIsStaged", [](const FakeForm& f) { return f.yields == 1; }, {"old.mp3"}},
        EndCase{"DuringTheQuestion",
                [](const FakeForm& f) { return f.isVisible(Control::Frame1); },
                {"old.mp3"}},
        EndCase{
            "BeforeTheWipe",
            [](const FakeForm& f) { return f.text(Control::Label7) == "Deleting Existing Files"; },
            {"old.mp3"}},
        EndCase{"BeforeTheSecondCopy",
                [](const FakeForm& f) {
                    return f.text(Control::Label7).find("b.mp3") != std::string::npos;
                },
                {"M0000001.MP3"}},
        EndCase{"BeforeTheIndexCopy",
                [](const FakeForm& f) { return f.text(Control::Label7) == "Copying Index File"; },
                {"M0000001.MP3", "M0000002.MP3"}},
        EndCase{
            "DuringTheTrackVerification",
            [](const FakeForm& f) { return f.text(Control::Label7) == "Verifying M0000001.MP3"; },
            {"M0000001.MP3", "M0000002.MP3"}},
        EndCase{
            "DuringTheIndexVerification",
            [](const FakeForm& f) { return f.text(Control::Label7) == "Verifying INDEX123.VKM"; },
            {"M0000001.MP3", "M0000002.MP3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgrammingRunTest, FlushFailureFailsTheRun) {
    addTrack("a.mp3", pattern(100, 1));
    const std::vector<std::string> before = trackList();
    system.flushError = std::make_error_code(std::errc::io_error);
    answer(true);
    run.cmdFinish_Click();

    // The first flush is the wipe's.
    EXPECT_EQ(form.messages, std::vector<std::string>{"Writing to the MMC card failed: " +
                                                      cardRoot + ": Input/output error"});
    EXPECT_EQ(form.text(Control::txtTEXT1),
              "Programming FAILED - the MMC card is incomplete and NOT ready for use");
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::red);
    EXPECT_EQ(form.text(Control::Label7), "");
    EXPECT_EQ(form.progress(), 0.0f);
    EXPECT_TRUE(cardFiles().empty()) << "a copy that did not reach the card, or an index, was left";
    EXPECT_EQ(trackList(), before);
    EXPECT_FALSE(state.runInProgress);
    EXPECT_FALSE(form.runInProgress());
}

TEST_F(ProgrammingRunTest, FailureBeforeTheWipeLeavesTheGauge) {
    form.setText(Control::Label7, "Message Size vs Card Size  1%");
    form.setProgress(1.5f);
    system.table["e:"].root.status = RootFolder::Status::failed;
    run.cmdFinish_Click();

    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(form.text(Control::Label7), "Message Size vs Card Size  1%");
    EXPECT_EQ(form.progress(), 1.5f);
}

TEST_F(ProgrammingRunTest, TooManyRowsIsReportedNotThrown) {
    for (int i = 0; i < TrackTable::slotCount + 1; ++i)
        form.addRow(Control::lstList1, "x.mp3");
    EXPECT_NO_THROW(run.cmdFinish_Click());
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(form.messages[0].rfind("Writing the INDEX file failed: ", 0), 0u) << form.messages[0];
    EXPECT_FALSE(state.runInProgress);
}

TEST_F(ProgrammingRunTest, ARunAfterAFailureStartsAgain) {
    addTrack("a.mp3", pattern(100, 1));
    system.flushError = std::make_error_code(std::errc::io_error);
    answer(true);
    run.cmdFinish_Click();
    system.flushError = {};
    form.messages.clear();
    run.cmdFinish_Click();

    EXPECT_EQ(form.messages, std::vector<std::string>{complete});
    EXPECT_EQ(cardFiles(), (std::vector<std::string>{"INDEX123.VKM", "M0000001.MP3"}));
}

} // namespace
} // namespace velk::test
