// A run reports the card done only when the card holds it: sources that live on the card
// survive the wipe, the index is this run's own, and what was written is read back.

#include "RunFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
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

// Changing one mode means programming the card again from its own files.
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
    const std::vector<std::string> kept(form.label7History.begin(), form.label7History.begin() + 4);
    EXPECT_EQ(kept, (std::vector<std::string>{"Keeping " + cardPath("M0000002.MP3"),
                                              "Keeping " + cardPath("M0000001.MP3"),
                                              "Keeping " + cardPath("sub/extra.nvr"),
                                              "Deleting Existing Files"}));
    EXPECT_EQ(onCard("M0000001.MP3"), pattern(5000, 2));
    EXPECT_EQ(onCard("M0000002.MP3"), pattern(3000, 1));
    EXPECT_EQ(onCard("M0000003.MP3"), pattern(700, 3));
    EXPECT_EQ(onCard("M0000004.MP3"), pattern(100, 4));
    EXPECT_EQ(onCard("sub/extra.nvr"), pattern(700, 3)) << "the wipe keeps sub-folders";
    const std::string index = onCard("INDEX123.VKM");
    ASSERT_EQ(index.size(), 57u);
    EXPECT_EQ(index[2], 2) << "mode of track 1";
    EXPECT_EQ(index[16], 1) << "mode of track 2";
    EXPECT_EQ(state.tracks.copiedBytes, 8800);
    EXPECT_EQ(readBytes(outside), pattern(100, 4));
}

TEST_F(RunIntegrity, SourcesOnTheCardThatCannotBeKeptLeaveTheCardAlone) {
    writeBytes(cardPath("M0000001.MP3"), pattern(3000, 1));
    writeBytes(cardPath("old.txt"), "old");
    listCardFile(*this, "M0000001.MP3", 0);
    system.writeFaults.bytesUntilFull = 0;
    answer(true);
    run.cmdFinish_Click();

    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_TRUE(form.messages[0].starts_with("Keeping the source files that are on the MMC card failed: " +
                                             cardPath("M0000001.MP3") + " -> "))
        << form.messages[0];
    EXPECT_TRUE(form.messages[0].ends_with(": No space left on device")) << form.messages[0];
    EXPECT_EQ(form.text(Control::txtTEXT1), "Programming FAILED - the MMC card has not been changed");
    EXPECT_EQ(cardFiles(), (std::vector<std::string>{"M0000001.MP3", "old.txt"}));
    EXPECT_EQ(onCard("M0000001.MP3"), pattern(3000, 1));
}

// Another window started in the same folder rewrites the staged index while this run waits.
TEST_F(RunIntegrity, TheCardGetsTheIndexThisRunBuilt) {
    addTrack("a.mp3", pattern(100, 1), 2);
    const std::string ownIndex = [&] {
        std::string bytes(1, '\1');
        bytes += std::string{'\1', '\2'} + "M0000001.MP3";
        return bytes;
    }();
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
    for (const BadReadBack c : {BadReadBack{"M0000002.MP3", 4321}, BadReadBack{"INDEX123.VKM", 16}}) {
        form.messages.clear();
        form.clearRows(Control::lstList1);
        state.tracks.messageBytes = 0;
        addTrack("a.mp3", pattern(100, 1));
        addTrack("b.mp3", pattern(10000, 2), 1);
        system.corruptOnDevice = {{c.file, c.byte}};
        answer(true);
        run.cmdFinish_Click();

        EXPECT_EQ(form.messages, std::vector<std::string>{"Verifying failed: " + cardPath(c.file) +
                                                          ": differs from what was written, first at byte " +
                                                          std::to_string(c.byte)});
        EXPECT_EQ(form.text(Control::txtTEXT1),
                  "Programming FAILED - the MMC card is incomplete and NOT ready for use");
        EXPECT_EQ(form.text(Control::Label7), "");
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
        lockedDuringRun = lockedDuringRun && !f.isEnabled(Control::Drive1) && !f.isEnabled(Control::cmdFinish) &&
                          !f.isEnabled(Control::newbut);
    });
    run.cmdFinish_Click();

    EXPECT_TRUE(lockedDuringRun);
    EXPECT_TRUE(form.isEnabled(Control::Drive1));
    EXPECT_TRUE(form.isEnabled(Control::cmdFinish));
}

} // namespace
} // namespace velk::test
