// A run reports the card done only when the card holds it: sources that live on the card
// survive the wipe, the index is this run's own, and what was written is read back.

#include "RunFixture.h"

#include "support/CardIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

using RunIntegrity = RunFixture;

/// Lists a file that already lies on the card as a track.
void listCardFile(RunFixture& f, const std::string& name, std::uint8_t mode) {
    const std::string path = f.cardPath(name);
    f.addListed(name, path, mode);
    f.state.tracks.messageBytes += static_cast<std::int32_t>(fs::file_size(path));
}

// Changing one mode means programming the card again from its own files: those in the root
// are moved aside on the card, those in a sub-folder are read where they are.
TEST_F(RunIntegrity, ACardIsProgrammedAgainFromItsOwnFiles) {
    writeBytes(cardPath("M0000001.MP3"), pattern(3000, 1));
    writeBytes(cardPath("M0000002.MP3"), pattern(5000, 2));
    fs::create_directory(cardPath("sub"));
    writeBytes(cardPath("sub/extra.nvr"), pattern(700, 3));
    listCardFile(*this, "M0000002.MP3", 2);
    listCardFile(*this, "M0000001.MP3", 1);
    listCardFile(*this, "sub/extra.nvr", 0);
    const std::string outside = addTrack("new.mp3", pattern(100, 4));
    answer(true);
    run.cmdFinish_Click();

    EXPECT_EQ(form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    const std::vector<std::string> kept(form.label7History.begin(), form.label7History.begin() + 3);
    EXPECT_EQ(kept, (std::vector<std::string>{"Keeping " + cardPath("M0000002.MP3"),
                                              "Keeping " + cardPath("M0000001.MP3"),
                                              "Deleting Existing Files"}));
    EXPECT_EQ(onCard("M0000001.MP3"), pattern(5000, 2));
    EXPECT_EQ(onCard("M0000002.MP3"), pattern(3000, 1));
    EXPECT_EQ(onCard("M0000003.MP3"), pattern(700, 3));
    EXPECT_EQ(onCard("M0000004.MP3"), pattern(100, 4));
    EXPECT_EQ(onCard("sub/extra.nvr"), pattern(700, 3)) << "the wipe keeps sub-folders";
    EXPECT_EQ(cardFiles(), (std::vector<std::string>{"INDEX123.VKM", "M0000001.MP3", "M0000002.MP3",
                                                     "M0000003.MP3", "M0000004.MP3", "sub/"}))
        << "the kept recordings go once the card is verified";
    const std::string index = onCard("INDEX123.VKM");
    ASSERT_EQ(index.size(), 57u);
    EXPECT_EQ(index[2], 2) << "mode of track 1";
    EXPECT_EQ(index[16], 1) << "mode of track 2";
    EXPECT_EQ(state.tracks.copiedBytes, 8800);
    EXPECT_EQ(readBytes(outside), pattern(100, 4));
}

// A.MP3 is the only copy of a recording, listed from the card beside x.mp3: whatever stops the
// run after the wipe, the recording stays on the card, the message says where, and the card
// carries no index.
struct AfterTheWipe {
    const char* name;
    std::function<void(RunFixture&)> fault;
};

class RecordingOnTheCard : public RunFixture, public ::testing::WithParamInterface<AfterTheWipe> {};

TEST_P(RecordingOnTheCard, SurvivesAFailedRun) {
    writeBytes(cardPath("A.MP3"), pattern(3000, 1));
    addTrack("x.mp3", pattern(500, 2));
    listCardFile(*this, "A.MP3", 0);
    answer(true);
    GetParam().fault(*this);
    run.cmdFinish_Click();

    const std::string kept = cardPath("VELKKEEP") + "/A.MP3";
    EXPECT_EQ(readBytes(kept), pattern(3000, 1));
    EXPECT_FALSE(fs::exists(cardPath("INDEX123.VKM")));
    if (!form.ending) {
        EXPECT_EQ(form.text(Control::txtTEXT1),
                  "Programming FAILED - the MMC card is incomplete and NOT ready for use");
        ASSERT_EQ(form.messages.size(), 1u);
        EXPECT_TRUE(form.messages[0].ends_with(
            "\nThe recordings that were in the MMC card's root folder are kept in " +
            cardPath("VELKKEEP")))
            << form.messages[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Run, RecordingOnTheCard,
    ::testing::Values(
        AfterTheWipe{"CardFull", [](RunFixture& f) { f.system.writeFaults.bytesUntilFull = 100; }},
        AfterTheWipe{
            "FlushFails",
            [](RunFixture& f) { f.system.flushError = std::make_error_code(std::errc::io_error); }},
        AfterTheWipe{"TrackDiffers",
                     [](RunFixture& f) {
                         f.system.corruptOnDevice = {{"M0000002.MP3", 7}};
                     }},
        AfterTheWipe{"IndexDiffers",
                     [](RunFixture& f) {
                         f.system.corruptOnDevice = {{"INDEX123.VKM", 3}};
                     }},
        AfterTheWipe{"FileAppearsInTheRoot",
                     [](RunFixture& f) {
                         f.answer(true, [&f](FakeForm& form) {
                             if (form.text(Control::Label7).starts_with("Copying "))
                                 writeBytes(f.cardPath("late.txt"), "late");
                         });
                     }},
        AfterTheWipe{"ProgramEnds",
                     [](RunFixture& f) {
                         f.answer(true, [](FakeForm& form) {
                             if (form.text(Control::Label7).starts_with("Verifying"))
                                 form.ending = true;
                         });
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

// Two tracks of the card swapped: the first run fails after it copied them, the second must
// still put each recording where the operator wanted it, although the names now hold others.
TEST_F(RunIntegrity, ARunAfterAFailedOneCopiesTheSameRecordings) {
    writeBytes(cardPath("M0000001.MP3"), pattern(3000, 1));
    writeBytes(cardPath("M0000002.MP3"), pattern(5000, 2));
    listCardFile(*this, "M0000002.MP3", 0);
    listCardFile(*this, "M0000001.MP3", 0);
    system.corruptOnDevice = {{"INDEX123.VKM", 1}};
    answer(true);
    run.cmdFinish_Click();
    ASSERT_EQ(form.messages.size(), 1u);
    ASSERT_FALSE(fs::exists(cardPath("INDEX123.VKM")));

    system.corruptOnDevice.clear();
    form.messages.clear();
    run.cmdFinish_Click();

    EXPECT_EQ(form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_EQ(onCard("M0000001.MP3"), pattern(5000, 2));
    EXPECT_EQ(onCard("M0000002.MP3"), pattern(3000, 1));
    EXPECT_EQ(state.tracks.slot(1).srcPath, cardPath("M0000001.MP3"))
        << "where its recording now is";
    EXPECT_FALSE(fs::exists(cardPath("VELKKEEP"))) << "released once the card was verified";
}

TEST_F(RunIntegrity, AFileInTheRootThatTheRunDidNotWriteFailsIt) {
    addTrack("a.mp3", pattern(100, 1));
    answer(true, [&](FakeForm& f) {
        if (f.text(Control::Label7).starts_with("Copying "))
            writeBytes(cardPath("late.txt"), "late");
    });
    run.cmdFinish_Click();

    EXPECT_EQ(form.messages,
              std::vector<std::string>{
                  "Checking the MMC card's root folder failed: " + cardPath("late.txt") +
                  ": this file was not written by the programming run"});
    EXPECT_EQ(cardFiles(), (std::vector<std::string>{"M0000001.MP3", "late.txt"}));
}

TEST_F(RunIntegrity, ARootThatCannotBeKeptAsideLeavesTheCardAlone) {
    writeBytes(cardPath("M0000001.MP3"), pattern(3000, 1));
    writeBytes(cardPath("VELKKEEP"), "a file in the way");
    listCardFile(*this, "M0000001.MP3", 0);
    answer(true);
    run.cmdFinish_Click();

    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_TRUE(form.messages[0].starts_with(
        "Keeping the source files that are on the MMC card failed: " + cardPath("VELKKEEP") + ": "))
        << form.messages[0];
    EXPECT_EQ(form.text(Control::txtTEXT1),
              "Programming FAILED - the MMC card has not been changed");
    EXPECT_EQ(cardFiles(), (std::vector<std::string>{"M0000001.MP3", "VELKKEEP"}));
    EXPECT_EQ(onCard("M0000001.MP3"), pattern(3000, 1));
}

// Another window started in the same folder rewrites the staged index while this run waits.
TEST_F(RunIntegrity, TheCardGetsTheIndexThisRunBuilt) {
    addTrack("a.mp3", pattern(100, 1), 2);
    const std::string ownIndex = indexFor({2});
    form.onYield = [&](FakeForm& f) {
        if (f.isVisible(Control::Frame1)) {
            writeBytes(work.path() / "INDEX123.VKM", std::string(2, '\0'));
            run.Command1_Click();
        }
    };
    run.cmdFinish_Click();

    EXPECT_EQ(form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_EQ(onCard("INDEX123.VKM"), ownIndex);
}

struct BadReadBack {
    const char* file;
    std::uint64_t byte;
};

TEST_F(RunIntegrity, ADifferenceOnTheCardFailsTheRun) {
    for (const BadReadBack c :
         {BadReadBack{"M0000002.MP3", 4321}, BadReadBack{"INDEX123.VKM", 16}}) {
        form.messages.clear();
        form.clearRows(Control::lstList1);
        state.tracks.messageBytes = 0;
        addTrack("a.mp3", pattern(100, 1));
        addTrack("b.mp3", pattern(10000, 2), 1);
        system.corruptOnDevice = {{c.file, c.byte}};
        answer(true);
        run.cmdFinish_Click();

        EXPECT_EQ(form.messages,
                  std::vector<std::string>{"Verifying failed: " + cardPath(c.file) +
                                           ": differs from what was written, first at byte " +
                                           std::to_string(c.byte)});
        EXPECT_EQ(form.text(Control::txtTEXT1),
                  "Programming FAILED - the MMC card is incomplete and NOT ready for use");
        EXPECT_EQ(form.text(Control::Label7), "");
        EXPECT_FALSE(fs::exists(cardPath("INDEX123.VKM")));
    }
}

TEST_F(RunIntegrity, EveryCardFileIsReadBackFromTheDevice) {
    addTrack("a.mp3", pattern(100, 1));
    addListed("gone.mp3", "");
    addTrack("c.mp3", pattern(200, 3));
    answer(true);
    run.cmdFinish_Click();

    EXPECT_EQ(form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_EQ(system.deviceReads, 3) << "two tracks and the index";
}

TEST_F(RunIntegrity, TheDestinationIsLockedWhileTheRunWrites) {
    addTrack("a.mp3", pattern(100, 1));
    bool lockedDuringRun = true;
    answer(true, [&](FakeForm& f) {
        lockedDuringRun = lockedDuringRun && !f.isEnabled(Control::Drive1) &&
                          !f.isEnabled(Control::cmdFinish) && !f.isEnabled(Control::newbut);
    });
    run.cmdFinish_Click();

    EXPECT_TRUE(lockedDuringRun);
    EXPECT_TRUE(form.isEnabled(Control::Drive1));
    EXPECT_TRUE(form.isEnabled(Control::cmdFinish));
}

// The frame covers the drive list: it names the card itself, and says which of its files the
// run keeps and copies from rather than deletes.
TEST_F(RunIntegrity, TheQuestionNamesTheCardAndMarksTheFilesTheRunKeeps) {
    writeBytes(cardPath("M0000001.MP3"), pattern(3000, 1));
    writeBytes(cardPath("old.txt"), "old");
    listCardFile(*this, "M0000001.MP3", 0);
    system.volumeLabels[cardRoot] = "VELK01";
    std::vector<std::string> asked;
    std::string card;
    form.onYield = [&](FakeForm& f) {
        if (f.isVisible(Control::Frame1)) {
            asked = f.rows(Control::File2);
            card = f.text(Control::labCard);
            run.Command2_Click();
        }
    };
    run.cmdFinish_Click();

    EXPECT_EQ(asked, (std::vector<std::string>{"M0000001.MP3  (kept for this run)", "old.txt"}));
    EXPECT_EQ(card, "Card e:  \"VELK01\"");
    EXPECT_EQ(run.outcome().result, RunOutcome::Result::cancelled);
    EXPECT_EQ(cardFiles(), (std::vector<std::string>{"M0000001.MP3", "old.txt"}));
}

// One recording named twice, by a second hard link and through a link to the card's folder:
// it is kept once, and every slot gets it.
TEST_F(RunIntegrity, OneFileUnderTwoNamesIsKeptOnceForEverySlot) {
    writeBytes(cardPath("a.mp3"), pattern(3000, 1));
    fs::create_hard_link(cardPath("a.mp3"), cardPath("b.mp3"));
    listCardFile(*this, "a.mp3", 0);
    listCardFile(*this, "b.mp3", 1);
    std::error_code noLinks; // Wine makes none
    fs::create_directory_symlink(cardRoot, source.path() / "card", noLinks);
    if (!noLinks) {
        addListed("a.mp3", (source.path() / "card" / "a.mp3").string(), 2);
        state.tracks.messageBytes += 3000;
    }
    std::vector<std::string> asked;
    answer(true, [&](FakeForm& f) {
        if (f.isVisible(Control::Frame1))
            asked = f.rows(Control::File2);
    });
    run.cmdFinish_Click();

    EXPECT_EQ(run.outcome().result, RunOutcome::Result::verified) << run.outcome().message;
    EXPECT_EQ(
        std::count_if(asked.begin(), asked.end(),
                      [](const std::string& r) { return r.ends_with("(kept for this run)"); }),
        1);
    for (const char* name : {"M0000001.MP3", "M0000002.MP3"})
        EXPECT_EQ(onCard(name), pattern(3000, 1)) << name;
    if (!noLinks) {
        EXPECT_EQ(onCard("M0000003.MP3"), pattern(3000, 1));
    }
    EXPECT_FALSE(fs::exists(cardPath("VELKKEEP")));
}

// Every run ends with an outcome that says how, and whether the card changed.
TEST_F(RunIntegrity, EachWayARunEndsIsItsOutcome) {
    struct Case {
        const char* name;
        std::function<void(RunIntegrity&)> arrange;
        bool ok;
        RunOutcome::Result result;
        bool cardChanged;
        std::string message; ///< found in the outcome's message
    };
    const Case cases[] = {
        {"verified", [](RunIntegrity&) {}, true, RunOutcome::Result::verified, true, ""},
        {"cancelled", [](RunIntegrity&) {}, false, RunOutcome::Result::cancelled, false, ""},
        {"destination not ready",
         [](RunIntegrity& f) { f.form.setBackColour(Control::Label4, colour::red); }, true,
         RunOutcome::Result::refused, false, "ERROR - INCORRECT DESTINATION DRIVE"},
        {"card held by another run", [](RunIntegrity& f) { f.system.busyCards = {f.cardRoot}; },
         true, RunOutcome::Result::refused, false,
         "the MMC card is being programmed by another run"},
        {"a listed file replaced during the question",
         [](RunIntegrity& f) {
             f.answer(true, [&f](FakeForm& form) {
                 if (form.isVisible(Control::Frame1)) {
                     fs::remove(f.cardPath("old.txt"));
                     writeBytes(f.cardPath("old.txt"), "new");
                 }
             });
         },
         true, RunOutcome::Result::refused, false,
         "old.txt: it changed after the card's files were listed"},
        {"a source replaced after the wipe",
         [](RunIntegrity& f) {
             f.answer(true, [&f](FakeForm& form) {
                 const fs::path a = f.source.path() / "a.mp3";
                 if (form.text(Control::Label7) == "Deleting Existing Files" &&
                     readBytes(a) == pattern(100, 1)) {
                     fs::remove(a);
                     writeBytes(a, pattern(100, 9));
                 }
             });
         },
         true, RunOutcome::Result::failed, true, "a.mp3: another file has taken its place"},
        {"the card fails a flush",
         [](RunIntegrity& f) { f.system.flushError = std::make_error_code(std::errc::io_error); },
         true, RunOutcome::Result::failed, true, "Input/output error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(cardRoot);
        fs::create_directory(cardRoot);
        writeBytes(cardPath("old.txt"), "old");
        form.clearRows(Control::lstList1);
        form.setBackColour(Control::Label4, colour::buttonFace);
        state.tracks.messageBytes = 0;
        system.busyCards.clear();
        system.flushError = {};
        addTrack("a.mp3", pattern(100, 1));
        answer(c.ok);
        c.arrange(*this);
        run.cmdFinish_Click();

        const RunOutcome& outcome = run.outcome();
        EXPECT_EQ(outcome.result, c.result) << outcome.message;
        EXPECT_EQ(outcome.cardChanged, c.cardChanged);
        EXPECT_EQ(outcome.bytes, 100);
        EXPECT_NE(outcome.message.find(c.message), std::string::npos) << outcome.message;
        EXPECT_EQ(fs::exists(cardPath("INDEX123.VKM")), c.result == RunOutcome::Result::verified);
        if (!c.cardChanged) {
            EXPECT_EQ(onCard("old.txt"), c.message.starts_with("old.txt") ? "new" : "old");
        }
    }
}

} // namespace
} // namespace velk::test
