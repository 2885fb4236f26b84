// Sources the card file owes nothing to: a source's mode, and the card's own files.

#include "CardIntegrity.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using CardSources = CardIntegrity;

/// True when the card's file system refuses to change a file's mode, as FUSE FAT does.
bool refusesFchmod(const std::string& root) {
    const std::string probe = root + "/probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool refused = ::fchmod(fd, 0600) != 0;
    ::close(fd);
    ::unlink(probe.c_str());
    return refused;
}

// The card file is a plain file of the card; the source's mode is none of its business.
// Copying the mode fails outright where the card refuses fchmod (FUSE FAT), and elsewhere
// leaves a read-only source's copy read-only.
TEST_P(CardSources, PrivateAndReadOnlySourcesGivePlainCardFilesThatVerify) {
    MAKE_CARD(card);
    const bool refusing = refusesFchmod(card->mountPoint());
    const std::string privateBytes = sourceFile("private.mp3", 300u << 10, 7);
    const std::string readOnlyBytes = sourceFile("readonly.mp3", 20000, 8);
    fs::permissions(source.path() / "private.mp3", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(source.path() / "readonly.mp3", fs::perms::owner_read);

    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device())) << w.form.text(Control::Label4);
    w.add(source.str(), "private.mp3");
    w.add(source.str(), "readonly.mp3");
    w.operate();
    w.run.cmdFinish_Click();

    EXPECT_EQ(w.form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_TRUE(w.showedStep("Verifying M0000001.MP3"));
    EXPECT_TRUE(w.showedStep("Verifying M0000002.MP3"));
    if (!refusing) {
        const fs::perms mode =
            fs::status(fs::path(card->mountPoint()) / "M0000002.MP3").permissions();
        EXPECT_NE(mode & fs::perms::owner_write, fs::perms::none)
            << "the copy of a read-only source is read-only";
    }
    EXPECT_EQ(differences(card->readBack(), {{"M0000001.MP3", privateBytes},
                                             {"M0000002.MP3", readOnlyBytes},
                                             {"INDEX123.VKM", indexFor({0, 0})}}),
              "");
}

// The operator picks the card's own track files as sources, one through a link elsewhere,
// to put them in another order with other modes.
TEST_P(CardSources, ACardReprogrammedFromItsOwnFilesHoldsThemInTheirNewSlots) {
    MAKE_CARD(card);
    const fs::path root = card->mountPoint();
    const std::vector<std::string> old{pattern(120u << 10, 11), pattern(5000, 12),
                                       pattern(64u << 10, 13)};
    for (std::size_t i = 0; i < old.size(); ++i)
        writeBytes(root / ("M000000" + std::to_string(i + 1) + ".MP3"), old[i]);
    writeBytes(root / "INDEX123.VKM", indexFor({0, 0, 0}));
    card->remount();
    fs::create_symlink(root / "M0000002.MP3", source.path() / "linked.mp3");

    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device())) << w.form.text(Control::Label4);
    w.add(root.string(), "M0000003.MP3");
    w.add(root.string(), "M0000001.MP3");
    w.add(source.str(), "linked.mp3");
    ASSERT_EQ(w.form.rowCount(Control::lstList1), 3) << w.form.text(Control::txtTEXT1);
    w.setMode(0, 2);
    w.setMode(1, 1);
    w.operate();
    w.run.cmdFinish_Click();

    EXPECT_EQ(w.form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_EQ(differences(card->readBack(), {{"M0000001.MP3", old[2]},
                                             {"M0000002.MP3", old[0]},
                                             {"M0000003.MP3", old[1]},
                                             {"INDEX123.VKM", indexFor({2, 1, 0})}}),
              "");
}

INSTANTIATE_TEST_SUITE_P(Card, CardSources, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
