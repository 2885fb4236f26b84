// Mounting a card that nothing has mounted, against a stand-in UDisks2 (python3-dbusmock with
// the udisks2_card.py template) on a private system bus, with a real removable loop device.
// The bus, the stand-in and every mount live in this process's own mount namespace.
#include "core/CardMonitor.h"
#include "core/Colours.h"
#include "core/Module1.h"
#include "platform/linux/LinuxSystem.h"
#include "support/DriveLabel.h"
#include "support/FakeForm.h"
#include "support/LoopCard.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <sys/mount.h>
#include <unistd.h>

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

/// A removable loop card with an ext4 file system that nothing has mounted, chosen in Drive1.
class UnmountedCard : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = LoopCard::unavailableReason("ext4"); !why.empty())
            GTEST_SKIP() << "no real card reader here: " << why;
        if (const std::string why = PrivateBus::unavailableReason(); !why.empty())
            GTEST_SKIP() << "no stand-in UDisks2: " << why;
        static const std::string namespaceError = LoopCard::enterPrivateMountNamespace();
        if (!namespaceError.empty())
            GTEST_SKIP() << "no private mount namespace: " << namespaceError;
        card = std::make_unique<LoopCard>();
        mountPoint = card->mountPoint();
        // The card arrives mounted; unmounted, it is a card left in after "safely remove".
        ASSERT_EQ(::umount2(mountPoint.c_str(), 0), 0) << std::strerror(errno);
        form.setText(Control::Drive1, card->device());
    }

    void TearDown() override {
        if (!mountPoint.empty())
            ::umount2(mountPoint.c_str(), MNT_DETACH);
    }

    /// Ticks as the timer would, until `done` holds or fifteen seconds have passed (a loaded
    /// machine starts the stand-in's mount slowly).
    template <typename Done> bool tickUntil(Done done) {
        for (int i = 0; i < 750; ++i) {
            monitor.Timer1_Timer();
            if (done())
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    std::string parameters(const char* answer) const {
        return std::string("{\"device\": \"") + card->device() + "\", \"answer\": \"" + answer +
               "\", \"mount_point\": \"" + mountPoint + "\"}";
    }

    /// The monitor's state for a reader with no card, exactly as before mounting existed.
    void expectNoCardState() {
        EXPECT_EQ(form.backColour(Control::Label4), colour::red);
        EXPECT_EQ(form.text(Control::Label4), "Please insert MMC card");
        EXPECT_EQ(form.text(Control::txtTEXT1), "Please insert MMC card");
        EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::yellow);
    }

    std::string notMounted(const std::string& reason) const {
        return card->device() + "  (card not mounted" + (reason.empty() ? "" : ": " + reason) + ")";
    }

    std::unique_ptr<LoopCard> card;
    std::string mountPoint;
    Module1 state;
    FakeForm form;
    const LinuxSystem system;
    CardMonitor monitor{state, form, system};
};

TEST_F(UnmountedCard, BecomesReadyWithoutTheOperator) {
    PrivateBus bus;
    bus.startUDisks2(parameters("mount"));

    monitor.Timer1_Timer();
    expectNoCardState();
    EXPECT_EQ(state.cardBytes, 0);
    ASSERT_TRUE(tickUntil([&] { return form.backColour(Control::Label4) == colour::buttonFace; }))
        << labelOf(system, card->device());
    EXPECT_EQ(form.text(Control::txtTEXT1), "Select a Source File by double clicking on it");
    EXPECT_GT(state.cardBytes, 0);
    EXPECT_EQ(labelOf(system, card->device()), card->device() + "  (card: " + mountPoint + ")");

    // Once for each insertion: a card the operator unmounts again stays unmounted.
    ASSERT_EQ(::umount2(mountPoint.c_str(), 0), 0) << std::strerror(errno);
    for (int i = 0; i < 10; ++i) {
        monitor.Timer1_Timer();
        std::this_thread::sleep_for(20ms);
    }
    expectNoCardState();
    EXPECT_EQ(bus.calls("/org/freedesktop/UDisks2/block_devices/" + card->name(), "Mount"), 1);
    EXPECT_EQ(labelOf(system, card->device()), notMounted(""));
}

TEST_F(UnmountedCard, ARefusedMountShowsItsReason) {
    PrivateBus bus;
    bus.startUDisks2(parameters("refuse"));
    const std::string refused = notMounted("Not authorized to perform operation");
    EXPECT_TRUE(tickUntil([&] { return labelOf(system, card->device()) == refused; }))
        << labelOf(system, card->device());
    expectNoCardState();
    EXPECT_EQ(state.cardBytes, 0);
    EXPECT_EQ(bus.calls("/org/freedesktop/UDisks2/block_devices/" + card->name(), "Mount"), 1);
}

TEST_F(UnmountedCard, AFileSystemUDisks2DoesNotKnowIsNamed) {
    PrivateBus bus;
    bus.startUDisks2(parameters("none"));
    const std::string unknown = notMounted("UDisks2 knows no file system on it");
    EXPECT_TRUE(tickUntil([&] { return labelOf(system, card->device()) == unknown; }))
        << labelOf(system, card->device());
    expectNoCardState();
}

TEST_F(UnmountedCard, WithoutUDisks2NothingChangesButTheReason) {
    {
        PrivateBus bus;
        const std::string missing = notMounted("UDisks2 is not running");
        EXPECT_TRUE(tickUntil([&] { return labelOf(system, card->device()) == missing; }))
            << labelOf(system, card->device());
        expectNoCardState();
    }
    // A new insertion with no bus at all: the socket named is not there.
    card.reset();
    mountPoint.clear();
    card = std::make_unique<LoopCard>();
    mountPoint = card->mountPoint();
    ASSERT_EQ(::umount2(mountPoint.c_str(), 0), 0);
    form.setText(Control::Drive1, card->device());
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/velk-bus", 1);
    const LinuxSystem fresh;
    CardMonitor other{state, form, fresh};
    other.Timer1_Timer();
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    expectNoCardState();
    EXPECT_EQ(labelOf(fresh, card->device()), notMounted("no system bus"));
}

} // namespace
} // namespace velk::test
