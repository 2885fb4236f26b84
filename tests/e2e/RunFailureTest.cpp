// A run that fails after it has begun to change the card: a card filled by another program,
// a byte changed on the device, the program ending. It says why, and the card holds no
// short track, no index of a failed run, and still the only copy of a recording.

#include "CardIntegrity.h"

#include "core/Texts.h"
#include "support/LoopCard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using RunFailure = CardIntegrity;

// The tracks fit the card's capacity, but a sub-folder that the wipe keeps holds most of it.
// The room is checked before the wipe; here another program fills the card after that.
TEST_P(RunFailure, ACardThatFillsUpMidCopyFailsWithTheSystemsReasonAndNoShortTrack) {
    MAKE_CARD(card);
    const fs::path root = card->mountPoint();
    fs::create_directory(root / "keep");
    std::uint64_t filler = 0;

    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device())) << w.form.text(Control::Label4);
    // Root may also write into ext4's reserved blocks, some 400 KiB more than it has free.
    const std::vector<std::string> bytes{sourceFile("one.mp3", 1u << 20, 1),
                                         sourceFile("two.mp3", 1536u << 10, 2),
                                         sourceFile("three.mp3", 300u << 10, 3)};
    for (const char* name : {"one.mp3", "two.mp3", "three.mp3"})
        w.add(source.str(), name);
    ASSERT_EQ(w.form.rowCount(Control::lstList1), 3) << w.form.text(Control::txtTEXT1);
    w.operate([&](FakeForm& f) {
        if (filler == 0 && f.text(Control::Label7) == "Deleting Existing Files")
            filler = fillCard(root, 1536u << 10);
    });
    w.run.cmdFinish_Click();

    ASSERT_NE(filler, 0u) << "the run never reached the wipe: "
                          << ::testing::PrintToString(w.form.messages);
    EXPECT_FALSE(w.completed());
    ASSERT_EQ(w.form.messages.size(), 1u);
    const std::string reason = std::strerror(card->fullCardError());
    EXPECT_NE(w.form.messages[0].find(reason), std::string::npos)
        << "no \"" << reason << "\" in: " << w.form.messages[0];
    EXPECT_EQ(w.form.text(Control::txtTEXT1), text::failedCardIncomplete);

    // Whatever stays on the card is a whole track, and there is no index to point at a
    // track that is not there.
    const CardFiles onCard = card->readBack();
    EXPECT_FALSE(onCard.contains("INDEX123.VKM"));
    for (const auto& [name, content] : onCard) {
        const int slot =
            name.size() == 12 && name.starts_with("M00000") ? std::stoi(name.substr(6, 2)) : 0;
        ASSERT_TRUE(slot >= 1 && slot <= 3) << name << " should not be on the card";
        EXPECT_TRUE(content == bytes[static_cast<std::size_t>(slot - 1)])
            << name << " holds " << content.size() << " of its "
            << bytes[static_cast<std::size_t>(slot - 1)].size() << " bytes";
    }
    EXPECT_EQ(fs::file_size(root / "keep" / "filler"), filler);
}

// A byte of a track changes on the device after the track was copied and flushed: only a
// read from the device, not from the cache, sees it.
TEST_P(RunFailure, VerificationReadsTheDeviceAndNamesTheFirstDifference) {
    MAKE_CARD(card);
    sourceFile("a.mp3", 20000, 41);
    const std::string b = sourceFile("b.mp3", 200000, 42);
    constexpr std::uint64_t changedByte = 4660;

    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device())) << w.form.text(Control::Label4);
    w.add(source.str(), "a.mp3");
    w.add(source.str(), "b.mp3");
    bool changed = false;
    w.operate([&](FakeForm& f) {
        if (!changed && f.text(Control::Label7) == "Verifying M0000001.MP3") {
            const std::uint64_t at = card->findOnDevice(b.substr(0, 4096));
            card->writeToDevice(at + changedByte,
                                std::string(1, static_cast<char>(~b[changedByte])));
            changed = true;
        }
    });
    w.run.cmdFinish_Click();

    ASSERT_TRUE(changed) << "the run never reached the verification";
    EXPECT_FALSE(w.completed());
    ASSERT_EQ(w.form.messages.size(), 1u);
    const std::string& message = w.form.messages[0];
    EXPECT_NE(message.find("M0000002.MP3"), std::string::npos) << message;
    // Counted from 0 or from 1, whichever the text says.
    EXPECT_TRUE(message.find(std::to_string(changedByte)) != std::string::npos ||
                message.find(std::to_string(changedByte + 1)) != std::string::npos)
        << message;
    EXPECT_TRUE(w.showedStep("Verifying M0000002.MP3"));
    EXPECT_EQ(w.form.text(Control::txtTEXT1), text::failedCardIncomplete);
    EXPECT_FALSE(card->readBack().contains("INDEX123.VKM"))
        << "a card that failed looks programmed";
}

// A.MP3 in the card's root is the only copy of a recording, listed beside x.mp3. However the
// run stops after the wipe, the recording is still on the card, where the message says.
TEST_P(RunFailure, TheOnlyCopyOfARecordingSurvivesEveryFailureAfterTheWipe) {
    using Fault = std::function<void(LoopCard&, Window&, const std::string& x)>;
    const std::pair<const char*, Fault> faults[] = {
        {"a track changed on the device",
         [](LoopCard& card, Window& w, const std::string& x) {
             w.operate([&card, x, done = false](FakeForm& f) mutable {
                 if (!done && f.text(Control::Label7) == "Verifying M0000001.MP3") {
                     card.writeToDevice(card.findOnDevice(x.substr(0, 4096)) + 10, "!");
                     done = true;
                 }
             });
         }},
        {"a card filled by another program during the wipe",
         [](LoopCard& card, Window& w, const std::string&) {
             w.operate([&card, done = false](FakeForm& f) mutable {
                 if (!done && f.text(Control::Label7) == "Deleting Existing Files") {
                     fillCard(card.mountPoint(), 256u << 10);
                     done = true;
                 }
             });
         }},
        {"the program ending",
         [](LoopCard&, Window& w, const std::string&) {
             w.operate([](FakeForm& f) {
                 if (f.text(Control::Label7).starts_with("Copying "))
                     f.ending = true;
             });
         }},
    };
    for (const auto& [what, fault] : faults) {
        SCOPED_TRACE(what);
        MAKE_CARD(card);
        const fs::path root = card->mountPoint();
        const std::string recording = pattern(300u << 10, 61);
        writeBytes(root / "A.MP3", recording);
        card->remount();
        const std::string x = sourceFile("x.mp3", 1u << 20, 62);

        Window w(system);
        ASSERT_TRUE(w.chooseCard(card->device())) << w.form.text(Control::Label4);
        w.add(source.str(), "x.mp3");
        w.add(root.string(), "A.MP3");
        ASSERT_EQ(w.form.rowCount(Control::lstList1), 2) << w.form.text(Control::txtTEXT1);
        fault(*card, w, x);
        w.run.cmdFinish_Click();

        EXPECT_FALSE(w.completed());
        if (!w.form.ending) {
            ASSERT_EQ(w.form.messages.size(), 1u);
            EXPECT_TRUE(w.form.messages[0].ends_with("kept in " + (root / "VELKKEEP").string()))
                << w.form.messages[0];
        }
        card->remount();
        EXPECT_TRUE(readBytes(root / "VELKKEEP" / "A.MP3") == recording);
        EXPECT_FALSE(card->readBack().contains("INDEX123.VKM"));
    }
}

INSTANTIATE_TEST_SUITE_P(Card, RunFailure, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
