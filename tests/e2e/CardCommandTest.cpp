// velk-card itself, run as a separate program on real removable loop cards: the programme,
// list and verify commands, their refusals with the exit status, and several cards at once.
#include "CardWindow.h"
#include "RealCardTest.h"
#include "VelkCard.h"

#include "core/CommandLineTexts.h"
#include "core/RunFixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace velk::test {
namespace {

namespace fs = std::filesystem;

class CardCommand : public RealCardTest {
protected:
    /// Runs velk-card with `arguments` and no terminal: its input is empty.
    Output velkCard(const std::string& arguments) {
        return velkCardIn(work.path(), arguments, work.path());
    }
    /// Runs velk-card on a terminal of its own that `typed` is typed into; `out` holds it all.
    Output onTerminal(const std::string& arguments, const std::string& typed) {
        return shell("printf '" + typed + "\\n' | script -qec '" + VELK_CARD + " " + arguments +
                     "' /dev/null");
    }
    Output shell(const std::string& command) { return runShell(command, work.path()); }
    std::string track(const std::string& name, std::size_t size, unsigned seed) {
        writeBytes(source.path() / name, pattern(size, seed));
        return (source.path() / name).string();
    }
};

TEST_P(CardCommand, ProgrammeListVerify) {
    const std::string a = track("intro.mp3", 300'000, 1), b = track("beep.nvr", 7, 2);
    const std::string dev = card->device();
    const Output run = velkCard("programme --card " + dev + " --yes " + a + " " + b + ":2");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              dev + ": verified - You may now remove the MMC card - capacity used 300007 bytes\n");
    EXPECT_EQ(differences(card->readBack(), {{"INDEX123.VKM", indexFor({0, 2})},
                                             {"M0000001.MP3", pattern(300'000, 1)},
                                             {"M0000002.MP3", pattern(7, 2)}}),
              "");

    const Output drives = velkCard("drives");
    EXPECT_NE(drives.out.find("\tready\tRemoveable Drive   Capacity = "), std::string::npos)
        << drives.out;
    EXPECT_NE(drives.out.find("\tnot a card\tERROR - Selected Drive is NOT a FLASH CARD!"),
              std::string::npos);

    const Output list = velkCard("list --card " + card->mountPoint() + " --json");
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(nlohmann::json::parse(list.out),
              nlohmann::json::parse(
                  R"([{"track": 1, "mode": 0, "cardFile": "M0000001.MP3", "bytes": 300000},
                                        {"track": 2, "mode": 2, "cardFile": "M0000002.MP3", "bytes": 7}])"));
    EXPECT_EQ(velkCard("verify --card " + dev + " " + a + " " + b + ":2").out,
              dev + ": verified - the MMC card holds exactly this list\n");
    // What differs is said as the card and the list hold it.
    const std::string c = track("c.mp3", 50, 3);
    writeBytes(fs::path(source.path() / "beep.nvr"), pattern(7, 9));
    writeBytes(work.path() / "tracks.txt", "0\t" + a + "\n1\t" + b + "\n0\t" + c + "\n");
    const Output differs = velkCard("verify --card " + dev + " --list tracks.txt");
    EXPECT_EQ(differs.status, 1);
    EXPECT_EQ(differs.err, "velk-card: " + dev +
                               ": the card holds 2 tracks, the list 3\n"
                               "velk-card: " +
                               dev +
                               ": track 2 has play mode 2 on the card, 1 in the list\n"
                               "velk-card: " +
                               dev + ": track 2 differs from beep.nvr at byte 0\n");
    EXPECT_EQ(velkCard("verify --card " + dev + " " + a + ":3").status, 2);
    EXPECT_EQ(velkCard("verify --card " + dev + " tracks.txt").status, 2);
}

TEST_P(CardCommand, RefusalsSayWhetherTheCardChanged) {
    const std::string dev = card->device(), small = track("small.mp3", 1000, 3);
    const fs::path root = card->mountPoint();
    fs::create_directory(root / "sub");
    // Kept by the wipe, the filler leaves less room than the card's capacity promises.
    writeBytes(root / "sub" / "filler",
               std::string(fs::space(root).available - (1536u << 10), 'f'));
    card->remount();
    const std::string big = track("big.mp3", 2u << 20, 5);
    const struct {
        std::string arguments, out, err;
        bool changed;
    } cases[] = {
        {"--card " + dev + " " + small,
         "Programming refused - no terminal to ask before the card's files are deleted; give --yes",
         "", false},
        {"--card " + dev + " --yes /no/such.mp3",
         "Programming FAILED - the MMC card has not been changed",
         "Cannot read /no/such.mp3 - No such file or directory", false},
        {"--card / --yes " + small, "Programming FAILED - the MMC card has not been changed",
         "ERROR - Selected Drive is NOT a FLASH CARD!", false},
        {"--card " + dev + " --yes " + big,
         "Programming FAILED - the MMC card has not been changed",
         "Checking the room on the MMC card failed: " + dev + ": ", false},
    };
    for (const auto& c : cases) {
        writeBytes(fs::path(card->mountPoint()) / "old.txt", "old");
        const Output run = velkCard("programme " + c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_EQ(run.out,
                  c.arguments.substr(7, c.arguments.find(' ', 7) - 7) + ": " + c.out + "\n");
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        EXPECT_EQ(fs::exists(fs::path(card->mountPoint()) / "old.txt"), !c.changed) << c.arguments;
    }
    EXPECT_EQ(velkCard("programme --yes " + small).status, 2);
}

TEST_P(CardCommand, TheTerminalIsAskedAndShownTheProgress) {
    const std::string a = track("a.mp3", 100, 7),
                      args = "programme --card " + card->device() + " " + a;
    writeBytes(fs::path(card->mountPoint()) / "old.txt", "old");
    const Output no = onTerminal(args, "n");
    EXPECT_EQ(no.status, 1);
    for (const char* shown :
         {"old.txt", "WARNING! - THESE FILES WILL BE DELETED FROM THE DESTINATION DRIVE",
          "Delete these files and programme the card? [y/N] ",
          ": Programming cancelled - the MMC card has not been changed"})
        EXPECT_NE(no.out.find(shown), std::string::npos) << shown << " not in " << no.out;
    EXPECT_TRUE(fs::exists(fs::path(card->mountPoint()) / "old.txt"));

    const Output yes = onTerminal(args, "y");
    EXPECT_EQ(yes.status, 0);
    EXPECT_NE(yes.out.find(std::string(text::summaryHeading) + "\r\n" + card->device() +
                           "\tverified\t100\t"),
              std::string::npos)
        << yes.out;
    EXPECT_FALSE(fs::exists(fs::path(card->mountPoint()) / "old.txt"));
}

// A card that a program has a file open on stays; once it is closed, the card can go.
TEST_P(CardCommand, EjectLeavesABusyCardAndFreesAnIdleOne) {
    const std::string dev = card->device();
    const fs::path held = fs::path(card->mountPoint()) / "held.txt";
    writeBytes(held, "open");
    {
        std::ifstream open(held);
        const Output busy = velkCard("eject --card " + dev);
        EXPECT_EQ(busy.status, 1);
        EXPECT_NE(busy.err.find("Ejecting the MMC card in " + dev + " failed: "), std::string::npos)
            << busy.err;
        EXPECT_TRUE(fs::exists(held));
    }
    const Output done = velkCard("eject --card " + dev);
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out, dev + ": The MMC card in " + dev + " can now be taken out of the reader\n");
    EXPECT_EQ(readBytes("/proc/self/mountinfo").find(" " + card->mountPoint() + " "),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Card, CardCommand, ::testing::Values("vfat", "ext4"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
