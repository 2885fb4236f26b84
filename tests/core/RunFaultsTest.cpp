// Programming runs that meet real faults: a full card, a read-only card, an unwritable
// current folder, a source file that vanishes, a card that stops being one.

#include "RunFixture.h"

#include "support/MountNamespace.h"
#include "support/NotFound.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

const std::string cardUnchanged = "Programming FAILED - the MMC card has not been changed";
const std::string cardIncomplete =
    "Programming FAILED - the MMC card is incomplete and NOT ready for use";

struct Faults : RunFixture {
    std::vector<std::string> mounted;

    ~Faults() override {
        for (auto it = mounted.rbegin(); it != mounted.rend(); ++it)
            ::umount2(it->c_str(), MNT_DETACH);
    }

    /// Empty on success, else the reason, for GTEST_SKIP.
    std::string mountTmpfs(const fs::path& at, const std::string& options) {
        if (const std::string& why = whyNoPrivateMounts(); !why.empty())
            return why;
        if (::mount("velk-test", at.c_str(), "tmpfs", 0, options.c_str()) != 0)
            return "mount -t tmpfs: " + std::string(std::strerror(errno));
        mounted.push_back(at.string());
        return {};
    }

    std::string bindReadOnly(const fs::path& folder) {
        if (const std::string& why = whyNoPrivateMounts(); !why.empty())
            return why;
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return "bind mount: " + std::string(std::strerror(errno));
        mounted.push_back(folder.string());
        if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
            0)
            return "read-only remount: " + std::string(std::strerror(errno));
        return {};
    }

    /// The run failed with `message`, told the card's state, came back, kept the track list
    /// and stands ready.
    void expectFailed(const std::string& message, const std::vector<std::string>& listBefore,
                      const std::string& cardState) {
        EXPECT_EQ(form.messages, std::vector<std::string>{message});
        EXPECT_EQ(form.text(Control::txtTEXT1), cardState);
        EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::red);
        EXPECT_EQ(trackList(), listBefore);
        EXPECT_FALSE(state.runInProgress);
        EXPECT_FALSE(form.runInProgress());
    }
};

TEST_F(Faults, CardThatFillsUp) {
    if (const std::string why = mountTmpfs(card.path(), "size=256k"); !why.empty())
        GTEST_SKIP() << "no size-limited tmpfs: " << why;
    addTrack("a.mp3", pattern(100 * 1024, 1));
    const std::string b = addTrack("b.mp3", pattern(200 * 1024, 2));
    const std::vector<std::string> before = trackList();
    answer(true);
    run.cmdFinish_Click();

    expectFailed("Copying failed: " + b + " -> " + cardPath("M0000002.MP3") +
                     ": No space left on device",
                 before, cardIncomplete);
    EXPECT_EQ(onCard("M0000001.MP3"), pattern(100 * 1024, 1));
    EXPECT_FALSE(fs::exists(cardPath("M0000002.MP3"))) << "a truncated track was left";
    EXPECT_FALSE(fs::exists(cardPath("INDEX123.VKM")));
    EXPECT_EQ(form.text(Control::Label7), "");
}

TEST_F(Faults, ReadOnlyCard) {
    writeBytes(card.path() / "old.mp3", "old");
    if (const std::string why = bindReadOnly(card.path()); !why.empty())
        GTEST_SKIP() << "no read-only mount: " << why;
    addTrack("a.mp3", pattern(100, 1));
    const std::vector<std::string> before = trackList();
    answer(true);
    run.cmdFinish_Click();

    expectFailed("Creating the dummy file failed: " + cardPath("fred.vkm") +
                     ": Read-only file system",
                 before, cardUnchanged);
    EXPECT_EQ(cardFiles(), std::vector<std::string>{"old.mp3"});
}

TEST_F(Faults, UnwritableCurrentFolder) {
    writeBytes(card.path() / "old.mp3", "old");
    if (const std::string why = bindReadOnly(work.path()); !why.empty())
        GTEST_SKIP() << "no read-only mount: " << why;
    fs::current_path(work.path()); // into the mount, not the folder under it
    addTrack("a.mp3", pattern(100, 1));
    const std::vector<std::string> before = trackList();
    answer(true);
    run.cmdFinish_Click();

    expectFailed("Writing the INDEX file failed: " +
                     (fs::current_path() / "INDEX123.VKM").string() + ": Read-only file system",
                 before, cardUnchanged);
    EXPECT_EQ(cardFiles(), std::vector<std::string>{"old.mp3"});
    EXPECT_EQ(form.beeps, 0) << "the question must not be asked";
}

TEST_F(Faults, SourceDeletedAfterItWasListed) {
    addTrack("a.mp3", pattern(100, 1));
    const std::string b = addTrack("b.mp3", pattern(100, 2));
    const std::vector<std::string> before = trackList();
    answer(true, [&](FakeForm& f) {
        if (f.text(Control::Label7) == "Copying " + b)
            fs::remove(b);
    });
    run.cmdFinish_Click();

    expectFailed("Reading the file size failed: " + b + ": " + test::fileNotFound(), before,
                 cardIncomplete);
    EXPECT_EQ(cardFiles(), std::vector<std::string>{"M0000001.MP3"});
}

// Copies that cannot fit, whatever the capacity said, are refused before anything is moved.
TEST_F(Faults, TracksLargerThanTheRoomLeaveTheCardAlone) {
    writeBytes(card.path() / "old.mp3", std::string(4096, 'o'));
    fs::create_directory(card.path() / "sub");
    addTrack("a.mp3", pattern(6000, 1));
    const std::vector<std::string> before = trackList();
    // 2048-byte clusters, one free: the old file frees two more, the track and the index need four.
    system.table["e:"].space = SpaceCounts{4, 512, 1, 31000};
    answer(true);
    run.cmdFinish_Click();

    expectFailed(
        "Checking the room on the MMC card failed: e:: 8192 bytes are needed, 6144 bytes will be "
        "free after the wipe",
        before, cardUnchanged);
    EXPECT_EQ(cardFiles(), (std::vector<std::string>{"old.mp3", "sub/"}));
}

// Every source is opened before the wipe: a card is never wiped for a copy that cannot happen.
TEST_F(Faults, SourceDeletedDuringTheQuestionLeavesTheCardAlone) {
    writeBytes(card.path() / "old.mp3", "old");
    addTrack("a.mp3", pattern(100, 1));
    const std::string b = addTrack("b.mp3", pattern(100, 2));
    const std::vector<std::string> before = trackList();
    form.onYield = [&](FakeForm& f) {
        if (f.isVisible(Control::Frame1)) {
            fs::remove(b);
            run.Command1_Click();
        }
    };
    run.cmdFinish_Click();

    ASSERT_EQ(form.messages.size(), 1u);
    const std::string reason = form.messages[0].substr(form.messages[0].rfind(": ") + 2);
    EXPECT_TRUE(reason == "No such file or directory" || reason == "File not found") << reason;
    expectFailed("Opening the source file failed: " + b + ": " + reason, before, cardUnchanged);
    EXPECT_EQ(cardFiles(), std::vector<std::string>{"old.mp3"});
}

TEST_F(Faults, CopiedBytesPastTheSignedRange) {
    system.table["e:"].space = SpaceCounts{8, 512, 600000, 600000}; // room for it all
    addTrack("a.mp3", pattern(100, 1));
    const std::string big = (source.path() / "big.mp3").string();
    makeFile(big, std::uintmax_t{1} << 31);
    addListed("big.mp3", big);
    const std::vector<std::string> before = trackList();
    answer(true);
    run.cmdFinish_Click();

    expectFailed("Adding up the bytes copied failed: " + big +
                     ": the total passes 2147483647 bytes",
                 before, cardIncomplete);
    EXPECT_EQ(cardFiles(), std::vector<std::string>{"M0000001.MP3"});
    EXPECT_EQ(state.tracks.copiedBytes, 100);
}

TEST_F(Faults, CardPulledBetweenCopies) {
    addTrack("a.mp3", pattern(100, 1));
    const std::string b = addTrack("b.mp3", pattern(100, 2));
    const std::vector<std::string> before = trackList();
    // The folder the card was mounted on stays behind as a plain folder, still writable.
    answer(true, [&](FakeForm& f) {
        if (f.text(Control::Label7) == "Copying " + b) {
            system.table["e:"].space.reset();
            system.table["e:"].root = {RootFolder::Status::deviceUnavailable, {}, "no medium"};
        }
    });
    run.cmdFinish_Click();

    expectFailed("Checking the MMC card failed: e:: the MMC card no longer answers", before,
                 cardIncomplete);
    EXPECT_EQ(cardFiles(), std::vector<std::string>{"M0000001.MP3"});
}

// Steps that fail on their own, each with what the operator reads and what the card holds.
struct StepFault {
    const char* name;
    std::function<void(Faults&)> arrange;
    const char* message; ///< with "<card>" for the card's root, "<index>" for the index on it
    bool cardChanged;
    std::vector<std::string> card;
};

class FailingStep : public Faults, public ::testing::WithParamInterface<StepFault> {};

TEST_P(FailingStep, IsReportedAndLeavesNoIndex) {
    writeBytes(card.path() / "old.mp3", "old");
    addTrack("a.mp3", pattern(100, 1));
    const std::vector<std::string> before = trackList();
    answer(true);
    GetParam().arrange(*this);
    run.cmdFinish_Click();

    std::string message = GetParam().message;
    for (const auto& [mark, path] : {std::pair{std::string("<index>"), cardPath("INDEX123.VKM")},
                                     std::pair{std::string("<card>"), cardRoot}})
        if (const std::size_t at = message.find(mark); at != std::string::npos)
            message.replace(at, mark.size(), path);
    expectFailed(message, before, GetParam().cardChanged ? cardIncomplete : cardUnchanged);
    EXPECT_EQ(cardFiles(), GetParam().card);
}

INSTANTIATE_TEST_SUITE_P(
    Run, FailingStep,
    ::testing::Values(
        StepFault{"NoIdentityAtTheStart",
                  [](Faults& f) { f.system.unidentified = {f.cardRoot}; },
                  "Opening the destination drive failed: e:: the MMC card no longer answers",
                  false,
                  {"old.mp3"}},
        // The staged index (15 bytes) and the 100-byte track fit; the index on the card does not.
        StepFault{"IndexDoesNotFit",
                  [](Faults& f) { f.system.writeFaults.bytesUntilFull = 115; },
                  "Copying the INDEX file failed: <index>: No space left on device",
                  true,
                  {"M0000001.MP3"}},
        StepFault{"RootFolderFlush",
                  [](Faults& f) {
                      f.system.folderFlushError = std::make_error_code(std::errc::io_error);
                  },
                  "Writing to the MMC card failed: <card>: Input/output error",
                  true,
                  {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct LostCard {
    const char* name;
    void (*change)(FakeSystem&, const std::string& elsewhere);
    const char* reason;
};

class CardLostDuringQuestion : public Faults, public ::testing::WithParamInterface<LostCard> {};

TEST_P(CardLostDuringQuestion, NothingIsDeleted) {
    TempFolder elsewhere;
    writeBytes(card.path() / "old.mp3", "old");
    fs::create_directory(card.path() / "sub");
    addTrack("a.mp3", pattern(100, 1));
    const std::vector<std::string> before = trackList();
    form.onYield = [&](FakeForm& f) {
        if (f.isVisible(Control::Frame1)) {
            GetParam().change(system, elsewhere.str());
            run.Command1_Click();
        }
    };
    run.cmdFinish_Click();

    expectFailed(std::string("Checking the MMC card failed: e:: ") + GetParam().reason, before,
                 cardUnchanged);
    EXPECT_EQ(cardFiles(), (std::vector<std::string>{"old.mp3", "sub/"}));
    EXPECT_TRUE(listing(elsewhere.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Destination, CardLostDuringQuestion,
    ::testing::Values(
        LostCard{"NoLongerRemovable",
                 [](FakeSystem& s, const std::string&) { s.table["e:"].type = drive_type::fixed; },
                 "the drive is no longer a removable drive"},
        LostCard{"CardPulled",
                 [](FakeSystem& s, const std::string&) { s.table["e:"].space.reset(); },
                 "the MMC card no longer answers"},
        LostCard{"OtherRoot",
                 [](FakeSystem& s, const std::string& other) { s.table["e:"].root.path = other; },
                 "the card's root folder has changed"},
        LostCard{"OtherCardAtTheSameRoot",
                 [](FakeSystem& s, const std::string&) {
                     s.volumes[s.table["e:"].root.path] = "a card with another serial number";
                 },
                 "another card is in its place"},
        LostCard{"RootGone",
                 [](FakeSystem& s, const std::string&) {
                     s.table["e:"].root = {RootFolder::Status::deviceUnavailable, {}, "no medium"};
                 },
                 "no medium"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace velk::test
