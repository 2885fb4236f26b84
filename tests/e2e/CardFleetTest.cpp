// velk-card for a fleet of players, on real removable loop cards: several cards written at
// once, a station that programmes each card put in, and Ctrl+C in the middle of a run.

#include "CardWindow.h"
#include "RealCardTest.h"
#include "VelkCard.h"

#include "core/CommandLineTexts.h"
#include "core/KeptSources.h"
#include "core/Texts.h"
#include "support/Spawn.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/mount.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

/// The JSON objects of --json's output, one a line; a line that is no JSON fails the test.
std::vector<json> jsonLines(const std::string& out) {
    std::vector<json> objects;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(json::accept(line)) << line;
        if (json::accept(line))
            objects.push_back(json::parse(line));
    }
    return objects;
}

class CardFleet : public RealCardsTest {
protected:
    std::unique_ptr<LoopCard> card(double bytesPerSecond = 0) {
        LoopCard::Options options;
        options.writeBytesPerSecond = bytesPerSecond;
        return makeCard(options);
    }
    /// Waits for `pid` to end, at most `limit`; its exit status, or -1 when it had to be killed.
    static int finished(pid_t pid, std::chrono::seconds limit) {
        const auto deadline = Clock::now() + limit;
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                waitFor(pid);
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

#define MAKE(var, ...)                                                                             \
    const std::unique_ptr<LoopCard> var = card(__VA_ARGS__);                                       \
    if (!var)                                                                                      \
    GTEST_SKIP() << skipReason

// Two and four cards in one call, each a card that writes at a card's pace: all are written at
// the same time, one that fails stops only itself, and the call succeeds only with every card.
TEST_P(CardFleet, SeveralCardsAreWrittenAtOnceAndEachOnItsOwn) {
    const std::string track = sourcePath("lobby.mp3", 600'000, 1);
    for (const int count : {2, 4}) {
        SCOPED_TRACE(std::to_string(count) + " cards");
        std::vector<std::unique_ptr<LoopCard>> cards;
        std::string arguments = "programme --json --yes";
        for (int i = 0; i < count; ++i) {
            cards.push_back(card(2'000'000));
            if (!cards.back())
                GTEST_SKIP() << skipReason;
            writeBytes(fs::path(cards.back()->mountPoint()) / "old.txt", "old");
            arguments += " --card " + cards.back()->device();
        }
        const Output run =
            velkCardIn(work.path(), arguments + " --card /dev/null " + track + ":2", work.path());

        EXPECT_EQ(run.status, 1) << run.err;
        const std::vector<json> events = jsonLines(run.out);
        std::vector<std::string> verified;
        std::size_t firstVerified = events.size();
        std::vector<std::string> copyingBeforeAnyVerified;
        json refused;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const json& e = events[i];
            if (e["event"] == "result" && e["result"] == text::resultVerified) {
                firstVerified = std::min(firstVerified, i);
                verified.push_back(e["card"]);
            } else if (e["event"] == "result") {
                refused = e;
            } else if (i < firstVerified &&
                       e["step"].get<std::string>().starts_with(text::copyingPrefix)) {
                copyingBeforeAnyVerified.push_back(e["card"]);
            }
        }
        EXPECT_EQ(verified.size(), static_cast<std::size_t>(count)) << run.out;
        // Every card was copying before the first of them was done.
        std::sort(copyingBeforeAnyVerified.begin(), copyingBeforeAnyVerified.end());
        copyingBeforeAnyVerified.erase(
            std::unique(copyingBeforeAnyVerified.begin(), copyingBeforeAnyVerified.end()),
            copyingBeforeAnyVerified.end());
        EXPECT_EQ(copyingBeforeAnyVerified.size(), static_cast<std::size_t>(count)) << run.out;
        EXPECT_EQ(refused["card"], "/dev/null");
        EXPECT_EQ(refused["result"], text::resultRefused);
        EXPECT_EQ(refused["messages"], json({text::notFlashCard, text::cliNoSuchDevice}));
        for (const auto& c : cards)
            EXPECT_EQ(differences(c->readBack(), {{"INDEX123.VKM", indexFor({2})},
                                                  {"M0000001.MP3", pattern(600'000, 1)}}),
                      "");
    }
}

// On a terminal, a line per card with its pace and the time left, then the results' table.
TEST_P(CardFleet, TheTerminalShowsEachCardsPaceAndATable) {
    MAKE(slow, 1'000'000);
    if (slow->byFuse())
        GTEST_SKIP() << "fusefat writes nothing to a slow card until it is unmounted: there is no "
                        "pace to show";
    const std::string track = sourcePath("long.mp3", 2'000'000, 2);
    const Output run =
        runShell("script -qec '" + std::string(VELK_CARD) + " programme --yes --card " +
                     slow->device() + " " + track + "' /dev/null </dev/null",
                 work.path());
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find(slow->device() + "  Copying long.mp3  "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" MB/s  0:0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" left"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(std::string(text::summaryHeading) + "\r\n" + slow->device() +
                           "\tverified\t2000000\t"),
              std::string::npos)
        << run.out;
}

// A station: cards put in one after another are programmed; one that already holds the list is
// left alone; it ends after the number of cards asked for.
TEST_P(CardFleet, AStationProgrammesEachCardPutInAndLeavesAloneOneThatHoldsTheList) {
    const std::string a = sourcePath("a.mp3", 40'000, 3), b = sourcePath("b.nvr", 30'000, 4);
    writeBytes(work.path() / "lobby.txt", "0\t" + a + "\n1\t" + b + "\n");
    const CardFiles programmed = {{"INDEX123.VKM", indexFor({0, 1})},
                                  {"M0000001.MP3", pattern(40'000, 3)},
                                  {"M0000002.MP3", pattern(30'000, 4)}};
    MAKE(held);
    for (const auto& [name, bytes] : programmed)
        writeBytes(fs::path(held->mountPoint()) / name, bytes);
    held->remount();

    const fs::path out = work.path() / "station.out";
    const pid_t station =
        spawnLogged({"/bin/sh", "-c",
                     std::string(VELK_CARD) +
                         " programme --each-inserted --yes --quiet --count 3 --list lobby.txt 2>" +
                         (work.path() / "station.err").string()},
                    out.string());
    ASSERT_GT(station, 0);
    std::vector<std::unique_ptr<LoopCard>> inserted;
    for (int i = 0; i < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        // The station takes a card the moment it is mounted, as a desktop mounts one put in.
        inserted.push_back(card());
        ASSERT_TRUE(inserted.back()) << skipReason;
    }
    const int status = finished(station, std::chrono::seconds(60));

    EXPECT_EQ(status, 0) << readBytes(work.path() / "station.err");
    const std::string results = readBytes(out);
    EXPECT_NE(results.find(held->device() + ": " + text::cliAlreadyHeld), std::string::npos)
        << results;
    for (const auto& c : inserted) {
        EXPECT_NE(results.find(c->device() + ": " + text::cliVerifiedPrefix), std::string::npos)
            << results;
        EXPECT_EQ(differences(c->readBack(), programmed), "");
    }
    EXPECT_EQ(differences(held->readBack(), programmed), "");
}

// A station with nothing that mounts cards (no desktop, no UDisks2): it mounts each card put
// in, programmes it and, with --eject, leaves it unmounted and safe to pull.
TEST_P(CardFleet, AStationMountsEachCardItselfAndEjectsIt) {
    if (std::string(GetParam()) != "ext4")
        GTEST_SKIP()
            << "the kernel here mounts no FAT itself: fusefat cards are mounted by the test only";
    const std::string a = sourcePath("a.mp3", 40'000, 7);
    MAKE(inReader);
    ASSERT_EQ(::umount2(inReader->mountPoint().c_str(), 0), 0)
        << "a card in the reader that nothing mounted";
    const Output station = velkCardIn(
        work.path(), "programme --each-inserted --yes --quiet --eject --count 1 " + a, work.path());

    EXPECT_EQ(station.status, 0) << station.err;
    EXPECT_EQ(station.out, inReader->device() + ": " + text::cliVerifiedPrefix +
                               "You may now remove the MMC card - capacity used 40000 bytes" +
                               text::cliEjected + "\n");
    EXPECT_EQ(readBytes("/proc/self/mountinfo").find(" " + inReader->device() + " "),
              std::string::npos)
        << "still mounted after the eject";
    EXPECT_EQ(differences(inReader->repairAndRead(inReader->device()),
                          {{"INDEX123.VKM", indexFor({0})}, {"M0000001.MP3", pattern(40'000, 7)}}),
              "");
}

// Ctrl+C while cards are written: each stops at its next safe point, none carries an index,
// a recording of the card stays in its keep folder, each card says how it was left.
TEST_P(CardFleet, CtrlCStopsEveryCardAtASafePoint) {
    MAKE(first, 500'000);
    MAKE(second, 500'000);
    if (first->byFuse())
        GTEST_SKIP() << "fusefat writes nothing to a slow card until it is unmounted: no run is "
                        "under way to stop";
    const std::string track = sourcePath("long.mp3", 3'000'000, 5);
    const std::string rec = (fs::path(first->mountPoint()) / "rec.mp3").string();
    const struct {
        std::string arguments;
        std::vector<LoopCard*> cards;
        int signal; ///< Ctrl+C, or the end of the session (a SIGTERM from the system)
    } calls[] = {
        {"--card " + first->device() + " --card " + second->device() + " " + track,
         {first.get(), second.get()},
         SIGINT},
        {"--card " + first->device() + " " + track + " " + rec, {first.get()}, SIGTERM},
    };
    for (const auto& call : calls) {
        SCOPED_TRACE(call.arguments);
        for (LoopCard* c : call.cards) {
            for (const auto& entry : fs::directory_iterator(c->mountPoint()))
                fs::remove_all(entry.path());
            writeBytes(fs::path(c->mountPoint()) / "INDEX123.VKM", indexFor({0}));
            writeBytes(fs::path(c->mountPoint()) / "M0000001.MP3", "old");
        }
        writeBytes(rec, pattern(5000, 6));
        const fs::path out = work.path() / "out";
        const pid_t run = spawnLogged(
            {"/bin/sh", "-c",
             "exec " + std::string(VELK_CARD) + " programme --yes --json " + call.arguments},
            out.string());
        ASSERT_GT(run, 0);
        // Under way on every card: each has begun to copy its first track.
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        auto copying = [&] {
            const std::string events = readBytes(out);
            return std::all_of(call.cards.begin(), call.cards.end(), [&](LoopCard* c) {
                return events.find("\"card\":\"" + c->device() +
                                   "\",\"event\":\"progress\",\"percent\":0.0,\"step\":\"" +
                                   text::copyingPrefix) != std::string::npos;
            });
        };
        while (!copying() && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::kill(run, call.signal);
        ::kill(run, call.signal); // a second one does not end a write half-way
        const int status = finished(run, std::chrono::seconds(30));

        EXPECT_EQ(status, 130) << readBytes(out);
        for (const json& e : jsonLines(readBytes(out)))
            if (e["event"] == "result") {
                EXPECT_EQ(e["result"], text::resultInterrupted);
                EXPECT_EQ(e["line"], text::cliInterruptedIncomplete);
            }
        for (LoopCard* c : call.cards)
            EXPECT_FALSE(c->readBack().contains("INDEX123.VKM"));
    }
    EXPECT_EQ(readBytes(fs::path(first->mountPoint()) / keepFolderName / "rec.mp3"),
              pattern(5000, 6));
}

INSTANTIATE_TEST_SUITE_P(Card, CardFleet, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
