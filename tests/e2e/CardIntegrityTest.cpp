// Whole programming runs on real removable loop cards (ext4 by the kernel, FAT16 by the
// kernel or fusefat) in a mount namespace of this process's own, each card read back with
// it unmounted: a run may only report "DOWNLOAD COMPLETE" for what the card really holds.

#include "CardWindow.h"
#include "RealCardTest.h"

#include "core/FilePattern.h"
#include "core/RunFixture.h"
#include "core/Texts.h"
#include "platform/Folders.h"
#include "platform/linux/LinuxSystem.h"
#include "support/LoopCard.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

class CardIntegrity : public RealCardsTest {
protected:
    /// Writes a source file and returns its content.
    std::string sourceFile(const std::string& name, std::size_t size, unsigned seed) {
        std::string bytes = pattern(size, seed);
        writeBytes(source.path() / name, bytes);
        return bytes;
    }

    const LinuxSystem system;
};

#define MAKE_CARD(var)                                                                             \
    const std::unique_ptr<LoopCard> var = makeCard();                                              \
    if (!var)                                                                                      \
    GTEST_SKIP() << skipReason

std::uint64_t freeBytes(const std::string& folder) {
    struct statvfs st {};
    if (::statvfs(folder.c_str(), &st) != 0)
        return 0;
    return std::uint64_t{st.f_bavail} * st.f_frsize;
}

// The tracks fit the card's capacity, but a sub-folder that the wipe keeps holds most of it.
// The room is checked before the wipe; here another program fills the card after that.
TEST_P(CardIntegrity, ACardThatFillsUpMidCopyFailsWithTheSystemsReasonAndNoShortTrack) {
    MAKE_CARD(card);
    const fs::path root = card->mountPoint();
    fs::create_directory(root / "keep");
    std::uint64_t filler = 0;
    auto fill = [&] {
        filler = freeBytes(root) - (1536u << 10);
        writeBytes(root / "keep" / "filler", std::string(filler, 'f'));
    };

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
            fill();
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
TEST_P(CardIntegrity, PrivateAndReadOnlySourcesGivePlainCardFilesThatVerify) {
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
TEST_P(CardIntegrity, ACardReprogrammedFromItsOwnFilesHoldsThemInTheirNewSlots) {
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

// Another card in the same reader, mounted at the same place, while the wipe question is
// open: the run must not touch it, nor anything else.
TEST_P(CardIntegrity, ACardSwappedDuringTheQuestionIsRefusedAndLeftAsItWas) {
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
TEST_P(CardIntegrity, TwoRunsSharingOneFolderGiveEachCardItsOwnIndex) {
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

// A byte of a track changes on the device after the track was copied and flushed: only a
// read from the device, not from the cache, sees it.
TEST_P(CardIntegrity, VerificationReadsTheDeviceAndNamesTheFirstDifference) {
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
TEST_P(CardIntegrity, TheOnlyCopyOfARecordingSurvivesEveryFailureAfterTheWipe) {
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
                     fs::create_directory(fs::path(card.mountPoint()) / "keep");
                     writeBytes(fs::path(card.mountPoint()) / "keep" / "filler",
                                std::string(freeBytes(card.mountPoint()) - (256u << 10), 'f'));
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

// A board that boots from its card, or a program run from the card itself: the card is the
// system's, never a destination, and nothing on it changes.
TEST_P(CardIntegrity, ACardTheSystemStandsOnIsNeverReady) {
    if (::mount("velk-test", "/boot", "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no tmpfs over /boot: " << std::strerror(errno);
    struct Unmount {
        ~Unmount() { ::umount2("/boot", MNT_DETACH); }
    } unmountBoot;
    fs::create_directory("/boot/firmware");
    for (const bool bootedFromIt : {true, false}) {
        LoopCard::Options options;
        if (bootedFromIt)
            options.mountPoint = "/boot/firmware";
        const std::unique_ptr<LoopCard> card = makeCard(options);
        if (!card)
            GTEST_SKIP() << skipReason;
        const fs::path root = card->mountPoint();
        writeBytes(root / "config.txt", "kernel=yes");
        if (!bootedFromIt)
            fs::current_path(root);
        const std::string use = bootedFromIt ? "/boot/firmware" : root.string();
        sourceFile("one.mp3", 1000, 71);

        Window w(system);
        EXPECT_EQ(system.driveType(card->device()), drive_type::fixed) << use;
        bool listed = false;
        for (const DriveEntry& d : system.drives())
            listed = listed || d.label == card->device() + "  (system disk: " + use + ")";
        EXPECT_TRUE(listed) << use;
        EXPECT_FALSE(w.chooseCard(card->device()));
        EXPECT_EQ(w.form.text(Control::Label4), text::notFlashCard);
        w.add(source.str(), "one.mp3");
        w.operate();
        w.run.cmdFinish_Click();
        fs::current_path(work.path());

        EXPECT_EQ(w.form.messages, std::vector<std::string>{text::incorrectDestination});
        EXPECT_EQ(fs::exists(data.path() / "velk-assembler" / "INDEX123.VKM"), !bootedFromIt)
            << use;
        // Not even the staged index lands on a removable disk: it goes to the program's folder.
        EXPECT_EQ(differences(card->readBack(), {{"config.txt", "kernel=yes"}}), "");
    }
}

// The question lists every entry the wipe deletes, a named pipe among them.
TEST_P(CardIntegrity, APipeInTheRootIsListedAndWiped) {
    MAKE_CARD(card);
    const fs::path root = card->mountPoint();
    if (::mkfifo((root / "pipe").c_str(), 0600) != 0)
        GTEST_SKIP() << "this card's file system holds no named pipes: " << std::strerror(errno);
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

    EXPECT_EQ(shown, std::vector<std::string>{"pipe"});
    EXPECT_EQ(w.form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_FALSE(fs::exists(fs::symlink_status(root / "pipe")));
}

// A link named like the dummy file, left on the card by anyone: creating the dummy through
// it would make a file outside the card.
TEST_P(CardIntegrity, ADummyFileLinkIsNotFollowedOffTheCard) {
    MAKE_CARD(card);
    const fs::path root = card->mountPoint();
    const fs::path outside = source.path() / "outside.txt";
    std::error_code linkError;
    fs::create_symlink(outside, root / "fred.vkm", linkError);
    if (linkError)
        GTEST_SKIP() << "this card's file system holds no links: " << linkError.message();
    const std::string bytes = sourceFile("one.mp3", 10000, 51);

    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device())) << w.form.text(Control::Label4);
    w.add(source.str(), "one.mp3");
    w.operate();
    w.run.cmdFinish_Click();

    EXPECT_EQ(w.form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    EXPECT_FALSE(fs::exists(fs::symlink_status(outside)));
    EXPECT_EQ(
        differences(card->readBack(), {{"M0000001.MP3", bytes}, {"INDEX123.VKM", indexFor({0})}}),
        "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(root / "fred.vkm")));
}

INSTANTIATE_TEST_SUITE_P(Card, CardIntegrity, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
