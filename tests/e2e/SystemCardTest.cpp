#include "CardIntegrity.h"

#include "core/Texts.h"
#include "support/LoopCard.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using SystemCard = CardIntegrity;

// A board that boots from its card, or a program run from the card itself: the card is the
// system's, never a destination, and nothing on it changes.
TEST_P(SystemCard, ACardTheSystemStandsOnIsNeverReady) {
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

INSTANTIATE_TEST_SUITE_P(Card, SystemCard, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace velk::test
