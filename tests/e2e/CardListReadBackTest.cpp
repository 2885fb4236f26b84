// A card programmed by the program is read back into the list, changed and programmed again,
// on a real removable loop device in a mount namespace of this process's own. Every check of
// the card is made after a remount, so it sees what reached the device.
#include "CardWindowTest.h"

#include "core/CardListLoader.h"
#include "core/CardMonitor.h"
#include "core/Colours.h"
#include "core/Module1.h"
#include "core/ProgrammingRun.h"
#include "core/RunFixture.h"
#include "core/TrackEditor.h"
#include "core/TrackList.h"
#include "platform/linux/LinuxSystem.h"
#include "support/CardIndex.h"
#include "support/FakeForm.h"
#include "support/LoopCard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

class CardListReadBack : public CardWindowTest {
protected:
    void armAndSelect(void (TrackEditor::*arm)(), int row) {
        (editor.*arm)();
        form.select(Control::lstList1, row);
        editor.lstList1_Click();
    }

    void programme() {
        form.messages.clear();
        window.run.cmdFinish_Click();
        ASSERT_EQ(form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    }

    void remount() {
        card->remount();
        ASSERT_EQ(card->mountPoint(), root);
        window.monitor.Timer1_Timer();
        ASSERT_EQ(form.backColour(Control::Label4), colour::buttonFace);
    }

    /// The list as the operator sees it: names, numbers, modes.
    [[nodiscard]] std::vector<std::vector<std::string>> shown() const {
        return {form.rows(Control::lstList1), form.rows(Control::lstList2),
                form.rows(Control::lstListMode)};
    }

    TrackEditor& editor = window.editor;
    CardListLoader loader{state, form, system, window.tracks, editor};
};

TEST_P(CardListReadBack, ReadBackEditedAndProgrammedAgain) {
    const std::string a = pattern(40 * 1024 + 1, 1);
    const std::string b = pattern(3, 2);
    const std::string c = pattern(90 * 1024, 3);
    add("intro.mp3", a);
    add("beep.nvr", b);
    add("main.mp3", c);
    armAndSelect(&TrackEditor::cmdMode2_Click, 1);
    armAndSelect(&TrackEditor::cmdMode1_Click, 2);
    programme();
    remount();

    editor.newbut_Click();
    loader.lstList1_LoadFromCard();
    ASSERT_EQ(form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_EQ(
        shown(),
        (std::vector<std::vector<std::string>>{
            {"M0000001.MP3", "M0000002.MP3", "M0000003.MP3"}, {"1", "2", "3"}, {"0", "2", "1"}}));
    EXPECT_EQ(state.tracks.messageBytes, static_cast<std::int32_t>(a.size() + b.size() + c.size()));
    EXPECT_EQ(state.tracks.slot(3).srcPath, (fs::path(root) / "M0000003.MP3").string());

    // The operator drops the first track, sets the old second to mode 0 and adds a new one:
    // every card file moves to another name, so the run must keep them before the wipe.
    armAndSelect(&TrackEditor::cmdDel_Click, 0);
    armAndSelect(&TrackEditor::cmdMode0_Click, 0);
    const std::string d = pattern(10 * 1024, 4);
    add("news.mp3", d);
    ASSERT_EQ(shown(),
              (std::vector<std::vector<std::string>>{
                  {"M0000002.MP3", "M0000003.MP3", "news.mp3"}, {"1", "2", "3"}, {"0", "1", "0"}}));
    programme();
    remount();

    // Read with the card unmounted (FAT through mtools), not through the file system that wrote it.
    EXPECT_EQ(card->readBack(),
              (std::map<std::string, std::string>{{"INDEX123.VKM", indexFor({0, 1, 0})},
                                                  {"M0000001.MP3", b},
                                                  {"M0000002.MP3", c},
                                                  {"M0000003.MP3", d}}));

    editor.newbut_Click();
    loader.lstList1_LoadFromCard();
    EXPECT_EQ(
        shown(),
        (std::vector<std::vector<std::string>>{
            {"M0000001.MP3", "M0000002.MP3", "M0000003.MP3"}, {"1", "2", "3"}, {"0", "1", "0"}}));
}

TEST_P(CardListReadBack, ACorruptedIndexOnTheCardChangesNothing) {
    add("intro.mp3", pattern(1000, 1));
    add("main.mp3", pattern(2000, 2));
    programme();
    // One byte lost at the end, as a card pulled while writing might leave it.
    const fs::path indexPath = fs::path(root) / "INDEX123.VKM";
    fs::resize_file(indexPath, fs::file_size(indexPath) - 1);
    remount();

    const auto before = shown();
    form.messages.clear();
    loader.lstList1_LoadFromCard();
    EXPECT_EQ(form.messages,
              std::vector<std::string>{
                  "Loading the list from the MMC card failed: " + indexPath.string() +
                  ": the INDEX file is 28 bytes long, not 1 byte and 14 for each track"});
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(state.tracks.slot(1).srcPath, (source.path() / "intro.mp3").string());
}

INSTANTIATE_TEST_SUITE_P(Card, CardListReadBack, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
