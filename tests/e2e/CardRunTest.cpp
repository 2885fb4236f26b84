// A whole programming run with the real LinuxSystem on a real removable drive (a loop device
// passing for a card reader), in a mount namespace of this process's own. The card is
// unmounted before it is read back (FAT by mtools, ext by a fresh mount), so what is compared
// is what reached the device.

#include "CardWindowTest.h"

#include "core/CardMonitor.h"
#include "core/Colours.h"
#include "core/Module1.h"
#include "core/ProgrammingRun.h"
#include "core/RunFixture.h"
#include "core/TrackEditor.h"
#include "core/TrackList.h"
#include "platform/linux/LinuxSystem.h"
#include "support/FakeForm.h"
#include "support/LoopCard.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

/// Regular files of a folder, sorted.
std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.symlink_status().type() == fs::file_type::regular)
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class CardRun : public CardWindowTest {
protected:
    ProgrammingRun& run = window.run;
};

TEST_P(CardRun, ThreeTracksReadBackByteForByte) {
    const fs::path onCard = root;
    writeBytes(onCard / "M0000005.MP3", "an older message");
    writeBytes(onCard / "notes", "no extension");
    fs::create_directory(onCard / "sub");
    writeBytes(onCard / "sub" / "keep.txt", "kept");

    const std::string a = pattern(200 * 1024 + 3, 1);
    const std::string b = pattern(1, 2);
    const std::string c = pattern(700 * 1024, 3);
    add("intro.mp3", a);
    add("beep.nvr", b);
    add("main.mp3", c);
    window.editor.cmdMode2_Click();
    form.select(Control::lstList1, 1);
    window.editor.lstList1_Click();
    ASSERT_EQ(form.rowCount(Control::lstList1), 3) << form.text(Control::txtTEXT1);

    run.cmdFinish_Click();
    ASSERT_EQ(form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    const auto total = static_cast<int>(a.size() + b.size() + c.size());
    EXPECT_EQ(form.text(Control::txtTEXT1), "You may now remove the MMC card - capacity used " +
                                                std::to_string(total) + " bytes");

    const std::string index = indexFor({0, 2, 0});
    EXPECT_EQ(differences(card->readBack(), {{"INDEX123.VKM", index},
                                             {"M0000001.MP3", a},
                                             {"M0000002.MP3", b},
                                             {"M0000003.MP3", c}}),
              "");
    EXPECT_EQ(readBytes(onCard / "sub" / "keep.txt"), "kept");
    EXPECT_EQ(readBytes(work.path() / "INDEX123.VKM"), index);
}

TEST_P(CardRun, CardPulledDuringTheCopies) {
    add("intro.mp3", pattern(4096, 1));
    const std::string second = add("main.mp3", pattern(4096, 2));
    onYield = [&](FakeForm& f) {
        if (f.text(Control::Label7) == "Copying " + second && !card->mountPoint().empty())
            card->eject();
    };
    run.cmdFinish_Click();

    EXPECT_EQ(form.messages,
              std::vector<std::string>{"Checking the MMC card failed: " + card->device() +
                                       ": the MMC card no longer answers"});
    EXPECT_EQ(form.text(Control::txtTEXT1),
              "Programming FAILED - the MMC card is incomplete and NOT ready for use");
    EXPECT_EQ(form.rowCount(Control::lstList1), 2);
    EXPECT_FALSE(state.runInProgress);
    // The folder the card was mounted on is a plain folder again; nothing may land there.
    EXPECT_TRUE(filesIn(root).empty());
}

INSTANTIATE_TEST_SUITE_P(Card, CardRun, ::testing::Values("vfat", "ext4"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
