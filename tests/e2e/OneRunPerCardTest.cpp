// One card, one run, on real removable loop cards: several cards in one call, two runs at once
// on one card, a run started from another card, a failure after the first change, a card
// pulled at any moment while it is programmed again, and a card that writes slowly.

#include "CardWindow.h"
#include "RealCardTest.h"
#include "VelkCard.h"

#include "core/CommandLineTexts.h"
#include "core/KeptSources.h"
#include "core/Texts.h"
#include "platform/linux/LinuxSystem.h"
#include "support/Spawn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class OneRunPerCard : public RealCardsTest {
protected:
    Output velkCard(const std::string& arguments, const fs::path& from = {}) {
        return velkCardIn(from.empty() ? work.path() : from, arguments, work.path());
    }

    const LinuxSystem system;
};

/// Why a card's device cannot show when its writes arrive, or empty when it can.
std::string devicePaceHidden(const LoopCard& card) {
    return card.byFuse()
               ? "fusefat keeps a card's writes in the system's cache until it is unmounted, "
                 "whatever is flushed: its device shows neither the order nor the pace of them"
               : "";
}

// A later card of a call must never be given what an earlier card's run moved or replaced.
TEST_P(OneRunPerCard, ACallRefusesSourcesThatAnotherCardOfItChanges) {
    MAKE_CARD(a);
    MAKE_CARD(b);
    const fs::path rootA = a->mountPoint();
    writeBytes(rootA / "a.mp3", pattern(3000, 1));
    writeBytes(rootA / "b.mp3", pattern(4000, 2));
    writeBytes(fs::path(b->mountPoint()) / "old.txt", "old");
    const std::string announcement = sourcePath("new.mp3", 2000, 3);
    const Output first = velkCard("programme --quiet --yes --card " + a->device() + " " +
                                  (rootA / "a.mp3").string() + " " + (rootA / "b.mp3").string());
    ASSERT_EQ(first.status, 0) << first.err;
    const CardFiles programmed = {{"INDEX123.VKM", indexFor({0, 0})},
                                  {"M0000001.MP3", pattern(3000, 1)},
                                  {"M0000002.MP3", pattern(4000, 2)}};
    ASSERT_EQ(differences(a->readBack(), programmed), "");

    const std::string fromA = announcement + " " + (rootA / "M0000001.MP3").string() + " " +
                              (rootA / "M0000002.MP3").string();
    const Output both = velkCard("programme --quiet --yes --card " + a->device() + " --card " +
                                 b->device() + " " + fromA);
    EXPECT_EQ(both.status, 1);
    EXPECT_NE(both.err.find((rootA / "M0000001.MP3").string() + text::cliSourceOnCard),
              std::string::npos)
        << both.err;
    const Output twice = velkCard("programme --quiet --yes --card " + a->device() + " --card " +
                                  a->mountPoint() + " " + announcement);
    EXPECT_EQ(twice.status, 2);
    EXPECT_NE(twice.err.find(text::cliSameCard), std::string::npos) << twice.err;
    EXPECT_EQ(differences(a->readBack(), programmed), "");
    EXPECT_EQ(differences(b->readBack(), {{"old.txt", "old"}}), "");

    // The card the tracks come from is not written: any number of others take them.
    const Output copy = velkCard("programme --quiet --yes --card " + b->device() + " " + fromA);
    EXPECT_EQ(copy.status, 0) << copy.err;
    EXPECT_EQ(differences(b->readBack(), {{"INDEX123.VKM", indexFor({0, 0, 0})},
                                          {"M0000001.MP3", pattern(2000, 3)},
                                          {"M0000002.MP3", pattern(3000, 1)},
                                          {"M0000003.MP3", pattern(4000, 2)}}),
              "");
    EXPECT_EQ(velkCard("verify --card " + b->device() + " " + fromA).status, 0);
}

// The operator of the second run is told at once; the first run's recording is safe.
TEST_P(OneRunPerCard, ASecondRunOnACardInUseIsRefusedAndChangesNothing) {
    MAKE_CARD(card);
    const fs::path root = card->mountPoint();
    writeBytes(root / "rec.mp3", pattern(5000, 4));
    sourceFile("other.mp3", 1000, 5);

    Window first(system);
    Window second(system);
    ASSERT_TRUE(first.chooseCard(card->device()));
    ASSERT_TRUE(second.chooseCard(card->device()));
    first.add(root.string(), "rec.mp3");
    second.add(source.str(), "other.mp3");
    second.operate();
    bool secondTried = false;
    first.operate([&](FakeForm& f) {
        if (f.isVisible(Control::Frame1) && !secondTried) {
            secondTried = true;
            second.run.cmdFinish_Click();
        }
    });
    first.run.cmdFinish_Click();

    ASSERT_TRUE(secondTried);
    const RunOutcome& refused = second.run.outcome();
    EXPECT_EQ(refused.result, RunOutcome::Result::refused);
    EXPECT_FALSE(refused.cardChanged);
    EXPECT_NE(refused.message.find(text::cardBeingProgrammed), std::string::npos)
        << refused.message;
    EXPECT_EQ(second.form.text(Control::txtTEXT1), text::failedCardUnchanged);
    EXPECT_EQ(first.run.outcome().result, RunOutcome::Result::verified)
        << first.run.outcome().message;
    EXPECT_EQ(differences(card->readBack(),
                          {{"INDEX123.VKM", indexFor({0})}, {"M0000001.MP3", pattern(5000, 4)}}),
              "");
}

// Two programs, as two operators start them: the second is refused at once, the first goes on.
TEST_P(OneRunPerCard, ASecondProgramOnACardInUseIsRefusedAtOnce) {
    LoopCard::Options slow;
    slow.writeBytesPerSecond = 1'000'000;
    MAKE_CARD(card, slow);
    const std::string track = sourcePath("long.mp3", 1'500'000, 6);
    const std::string other = sourcePath("other.mp3", 1000, 7);
    const fs::path log = work.path() / "first.log";
    const pid_t firstPid =
        spawnLogged({VELK_CARD, "programme", "--quiet", "--yes", "--card", card->device(), track},
                    log.string());
    ASSERT_GT(firstPid, 0);
    // The first program holds the card once its copy has begun.
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (!fs::exists(fs::path(card->mountPoint()) / "M0000001.MP3") && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    const auto asked = Clock::now();
    const Output second =
        velkCard("programme --quiet --yes --card " + card->device() + " " + other);
    const auto answeredIn = Clock::now() - asked;
    const int first = waitFor(firstPid);

    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.err.find(text::cardBeingProgrammed), std::string::npos) << second.err;
    EXPECT_EQ(second.out, card->device() + ": " + text::failedCardUnchanged + "\n");
    EXPECT_LT(answeredIn, std::chrono::seconds(1)) << "the second program waited for the first";
    EXPECT_TRUE(WIFEXITED(first) && WEXITSTATUS(first) == 0) << readBytes(log);
    EXPECT_EQ(differences(card->readBack(), {{"INDEX123.VKM", indexFor({0})},
                                             {"M0000001.MP3", pattern(1'500'000, 6)}}),
              "");
}

// Started from a folder on another card, neither the window nor velk-card writes there.
TEST_P(OneRunPerCard, ARunStartedOnAnotherCardLeavesThatCardAlone) {
    MAKE_CARD(target);
    MAKE_CARD(other);
    const fs::path otherRoot = other->mountPoint();
    const CardFiles programmed = {{"INDEX123.VKM", indexFor({1})}, {"M0000001.MP3", "tune"}};
    for (const auto& [name, bytes] : programmed)
        writeBytes(otherRoot / name, bytes);
    sourceFile("a.mp3", 3000, 8);

    fs::current_path(otherRoot);
    Window w(system);
    ASSERT_TRUE(w.chooseCard(target->device()));
    w.add(source.str(), "a.mp3");
    w.operate();
    w.run.cmdFinish_Click();
    fs::current_path(work.path());
    EXPECT_EQ(w.run.outcome().result, RunOutcome::Result::verified) << w.run.outcome().message;
    EXPECT_EQ(readBytes(data.path() / "velk-assembler" / "INDEX123.VKM"), indexFor({0}))
        << "staged in the program's own folder";

    const Output cli = velkCard("programme --quiet --yes --card " + target->device() + " " +
                                    (source.path() / "a.mp3").string() + ":2",
                                otherRoot);
    EXPECT_EQ(cli.status, 0) << cli.err;
    EXPECT_EQ(differences(other->readBack(), programmed), "");
    EXPECT_EQ(differences(target->readBack(),
                          {{"INDEX123.VKM", indexFor({2})}, {"M0000001.MP3", pattern(3000, 8)}}),
              "");
}

// Once the old index is gone, a run that stops leaves a card that no player or window takes
// for programmed, with the card's own recording kept, and says so.
TEST_P(OneRunPerCard, ARunStoppedAfterItsFirstChangeLeavesNoIndexAndTheRecordingKept) {
    MAKE_CARD(card);
    const fs::path root = card->mountPoint();
    writeBytes(root / "INDEX123.VKM", indexFor({0}));
    writeBytes(root / "M0000001.MP3", "old");
    writeBytes(root / "rec.mp3", pattern(6000, 9));
    writeBytes(root / "notes.txt", "listed");

    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device()));
    w.add(root.string(), "rec.mp3");
    // Another program replaces a listed file after the moves, before the wipe reaches it.
    w.operate([&](FakeForm& f) {
        if (f.text(Control::Label7) == text::deletingFiles &&
            readBytes(root / "notes.txt") == "listed") {
            fs::remove(root / "notes.txt");
            writeBytes(root / "notes.txt", "replaced");
        }
    });
    w.run.cmdFinish_Click();

    const RunOutcome& outcome = w.run.outcome();
    EXPECT_EQ(outcome.result, RunOutcome::Result::failed);
    EXPECT_TRUE(outcome.cardChanged);
    EXPECT_NE(outcome.message.find(text::changedSinceListed), std::string::npos) << outcome.message;
    EXPECT_EQ(outcome.keptFolder, (root / keepFolderName).string());
    EXPECT_EQ(w.form.text(Control::txtTEXT1), text::failedCardIncomplete);
    const CardFiles left = card->readBack();
    EXPECT_FALSE(left.contains("INDEX123.VKM"));
    EXPECT_EQ(left.at("notes.txt"), "replaced");
    EXPECT_EQ(readBytes(root / keepFolderName / "rec.mp3"), pattern(6000, 9));
}

/// True when `files` holds a file with exactly `bytes`, anywhere.
bool holds(const CardFiles& files, const std::string& bytes) {
    return std::any_of(files.begin(), files.end(),
                       [&](const auto& f) { return f.second == bytes; });
}

// A card programmed again from its own recordings, pulled at any moment: after the system's
// check it holds either no index or one whose tracks are all there, old or new, and both
// recordings whose only copies were on it.
TEST_P(OneRunPerCard, ACardPulledAtAnyMomentHoldsNoIndexOrAVerifiedOneAndEveryRecording) {
    LoopCard::Options logged;
    logged.journal = true;
    MAKE_CARD(card, logged);
    if (const std::string why = devicePaceHidden(*card); !why.empty())
        GTEST_SKIP() << why;
    const fs::path root = card->mountPoint();
    const std::string oldOne = pattern(20'000, 10), oldTwo = pattern(30'000, 11),
                      rec = pattern(40'000, 12);
    const CardFiles before = {
        {"INDEX123.VKM", indexFor({0, 1})}, {"M0000001.MP3", oldOne}, {"M0000002.MP3", oldTwo}};
    for (const auto& [name, bytes] : before)
        writeBytes(root / name, bytes);
    writeBytes(root / "rec.mp3", rec);
    const std::string intro = pattern(25'000, 13);
    sourceFile("intro.mp3", 25'000, 13);
    card->remount();
    card->restartJournal();

    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device()));
    w.add(source.str(), "intro.mp3");
    w.add(root.string(), "rec.mp3");
    w.add(root.string(), "M0000002.MP3");
    w.operate();
    w.run.cmdFinish_Click();
    ASSERT_EQ(w.run.outcome().result, RunOutcome::Result::verified) << w.run.outcome().message;
    const CardFiles after = {{"INDEX123.VKM", indexFor({0, 0, 0})},
                             {"M0000001.MP3", intro},
                             {"M0000002.MP3", rec},
                             {"M0000003.MP3", oldTwo}};
    (void)card->readBack(); // everything on the device, and logged

    const std::size_t writes = card->journalWrites();
    ASSERT_GT(writes, 10u);
    const std::string image = (work.path() / "pulled.img").string();
    int withOld = 0, withNone = 0, withNew = 0;
    for (std::size_t cut = 0; cut <= writes; cut += std::max<std::size_t>(1, writes / 60)) {
        card->replay(cut, image);
        const CardFiles held = card->repairAndRead(image);
        SCOPED_TRACE("pulled after " + std::to_string(cut) + " of " + std::to_string(writes) +
                     " writes");
        EXPECT_TRUE(holds(held, rec)) << "the recording is lost";
        EXPECT_TRUE(holds(held, oldTwo)) << "the old track 2, a source of the run, is lost";
        const auto index = held.find("INDEX123.VKM");
        if (index == held.end()) {
            ++withNone;
            continue;
        }
        const CardFiles& programmed = index->second == before.at("INDEX123.VKM") ? before : after;
        (&programmed == &before ? withOld : withNew)++;
        for (const auto& [name, bytes] : programmed)
            EXPECT_EQ(held.count(name) ? held.at(name) : "(missing)", bytes) << name;
    }
    card->replay(writes, image);
    EXPECT_EQ(differences(card->repairAndRead(image), after), "");
    EXPECT_GT(withOld, 0);
    EXPECT_GT(withNone, 0);
    EXPECT_GT(withNew, 0);
}

// A card that writes 2 MB/s: the window answers several times a second all through the copy,
// and the bar moves within the track.
TEST_P(OneRunPerCard, ASlowCardLetsTheWindowAnswerAndTheBarMove) {
    LoopCard::Options slow;
    slow.writeBytesPerSecond = 2'000'000;
    MAKE_CARD(card, slow);
    if (const std::string why = devicePaceHidden(*card); !why.empty())
        GTEST_SKIP() << why;
    sourceFile("long.mp3", 4'000'000, 14);

    Window w(system);
    ASSERT_TRUE(w.chooseCard(card->device()));
    w.add(source.str(), "long.mp3");
    Clock::duration longest{};
    Clock::time_point last{};
    std::vector<float> withinTheTrack;
    w.operate([&](FakeForm& f) {
        const auto now = Clock::now();
        if (f.text(Control::Label7).starts_with(text::copyingPrefix)) {
            if (last != Clock::time_point{})
                longest = std::max(longest, now - last);
            if (f.progress() > 0.0f && f.progress() < 100.0f)
                withinTheTrack.push_back(f.progress());
        }
        last = now;
    });
    const auto start = Clock::now();
    w.run.cmdFinish_Click();

    ASSERT_EQ(w.run.outcome().result, RunOutcome::Result::verified) << w.run.outcome().message;
    EXPECT_GT(Clock::now() - start, std::chrono::milliseconds(1500)) << "the card was not slow";
    EXPECT_LT(longest, std::chrono::milliseconds(500))
        << "the window waited that long for a chance to answer";
    EXPECT_GE(withinTheTrack.size(), 4u);
    EXPECT_TRUE(std::is_sorted(withinTheTrack.begin(), withinTheTrack.end()));
}

INSTANTIATE_TEST_SUITE_P(Card, OneRunPerCard, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
