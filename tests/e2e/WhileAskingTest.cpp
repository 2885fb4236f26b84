// What others may do while a run waits at its wipe question: swap the card, or start a run
// of their own in the same folder.

#include "CardIntegrity.h"

#include "core/Texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using WhileAsking = CardIntegrity;

// Another card in the same reader, mounted at the same place, while the wipe question is
// open: the run must not touch it, nor anything else.
TEST_P(WhileAsking, ACardSwappedDuringTheQuestionIsRefusedAndLeftAsItWas) {
    MAKE_CARD(card);
    MAKE_CARD(other);
    const CardFiles first{{"M0000001.MP3", pattern(40000, 21)}, {"INDEX123.VKM", indexFor({1})}};
    const CardFiles second{{"M0000001.MP3", pattern(50000, 22)}, {"NOTES.TXT", "another card"}};
    for (const auto& [name, bytes] : first)
        writeBytes(fs::path(card->mountPoint()) / name, bytes);
    for (const auto& [name, bytes] : second)
        writeBytes(fs::path(other->mountPoint()) / name, bytes);
    card->remount();
    other->remount();
    const std::string mountPoint = card->mountPoint();

    sourceFile("new.mp3", 30000, 23);
    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device())) << w.form.text(Control::Label4);
    w.add(source.str(), "new.mp3");
    bool swapped = false;
    w.operate([&](FakeForm& f) {
        if (f.isVisible(Control::Frame1) && !swapped) {
            card->swapCardWith(*other);
            swapped = true;
        }
    });
    w.run.cmdFinish_Click();

    ASSERT_TRUE(swapped) << "no question was asked: " << ::testing::PrintToString(w.form.messages);
    ASSERT_EQ(card->mountPoint(), mountPoint);
    EXPECT_FALSE(w.completed());
    EXPECT_EQ(w.form.messages.size(), 1u);
    EXPECT_EQ(w.form.text(Control::txtTEXT1), text::failedCardUnchanged);
    EXPECT_EQ(differences(card->readBack(), second), "") << "the card put in during the question";
    EXPECT_EQ(differences(other->readBack(), first), "") << "the card taken out";
}

// Two windows started in one folder: the second stages its index there while the first
// waits at its question.
TEST_P(WhileAsking, TwoRunsSharingOneFolderGiveEachCardItsOwnIndex) {
    MAKE_CARD(firstCard);
    MAKE_CARD(secondCard);
    const std::string x = sourceFile("x.mp3", 70000, 31);
    const std::string y = sourceFile("y.mp3", 9000, 32);
    const std::string z = sourceFile("z.nvr", 33333, 33);

    Window first(system);
    Window second(system);
    ASSERT_TRUE(first.chooseCard(firstCard->device()));
    ASSERT_TRUE(second.chooseCard(secondCard->device()));
    first.add(source.str(), "x.mp3");
    first.add(source.str(), "y.mp3");
    first.setMode(1, 1);
    second.add(source.str(), "z.nvr");
    second.setMode(0, 2);
    second.operate();
    bool secondRan = false;
    first.operate([&](FakeForm& f) {
        if (f.isVisible(Control::Frame1) && !secondRan) {
            secondRan = true;
            second.run.cmdFinish_Click();
        }
    });
    first.run.cmdFinish_Click();

    ASSERT_TRUE(secondRan);
    EXPECT_EQ(second.form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_EQ(first.form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_EQ(
        differences(firstCard->readBack(),
                    {{"M0000001.MP3", x}, {"M0000002.MP3", y}, {"INDEX123.VKM", indexFor({0, 1})}}),
        "");
    EXPECT_EQ(
        differences(secondCard->readBack(), {{"M0000001.MP3", z}, {"INDEX123.VKM", indexFor({2})}}),
        "");
    // The index is still staged in the current folder, the later run's last.
    EXPECT_EQ(readBytes(work.path() / "INDEX123.VKM"), indexFor({2}));
}

INSTANTIATE_TEST_SUITE_P(Card, WhileAsking, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
