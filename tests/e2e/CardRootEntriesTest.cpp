#include "CardIntegrity.h"

#include "core/FilePattern.h"
#include "platform/Folders.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using CardRootEntries = CardIntegrity;

// Entries of the card's root that are no plain files, left there by anyone: the question
// lists every entry the wipe deletes, and a link named like the dummy file is not followed,
// which would make a file outside the card.
TEST_P(CardRootEntries, PipesAndLinksAreListedAndWipedAndNoLinkIsFollowedOffTheCard) {
    MAKE_CARD(card);
    const fs::path root = card->mountPoint();
    const fs::path outside = source.path() / "outside.txt";
    std::vector<std::string> made;
    std::string unsupported;
    if (::mkfifo((root / "pipe").c_str(), 0600) == 0)
        made.push_back("pipe");
    else
        unsupported += std::string("no named pipes: ") + std::strerror(errno) + "; ";
    std::error_code linkError;
    fs::create_symlink(outside, root / "fred.vkm", linkError);
    if (!linkError)
        made.push_back("fred.vkm");
    else
        unsupported += "no links: " + linkError.message();
    if (made.empty())
        GTEST_SKIP() << "this card's file system holds " << unsupported;
    const std::string bytes = sourceFile("one.mp3", 10000, 81);

    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device())) << w.form.text(Control::Label4);
    w.add(source.str(), "one.mp3");
    std::vector<std::string> shown;
    w.operate([&](FakeForm& f) {
        if (f.isVisible(Control::Frame1) && shown.empty())
            shown = filesShown(listFolder(f.text(Control::File2)), "*.*");
    });
    w.run.cmdFinish_Click();

    std::sort(made.begin(), made.end());
    EXPECT_EQ(shown, made);
    EXPECT_EQ(w.form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_FALSE(fs::exists(fs::symlink_status(outside)));
    EXPECT_EQ(
        differences(card->readBack(), {{"M0000001.MP3", bytes}, {"INDEX123.VKM", indexFor({0})}}),
        "");
    for (const std::string& entry : made)
        EXPECT_FALSE(fs::exists(fs::symlink_status(root / entry))) << entry;
}

INSTANTIATE_TEST_SUITE_P(Card, CardRootEntries, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
