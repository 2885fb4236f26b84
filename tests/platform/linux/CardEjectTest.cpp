// Ejecting and mounting real removable loop cards: directly where no UDisks2 runs, and through
// a stand-in UDisks2 (python3-dbusmock with udisks2_card.py) on a private system bus. Every
// mount lives in this process's own mount namespace.
#include "core/CardMonitor.h"
#include "core/Module1.h"
#include "platform/linux/LinuxSystem.h"
#include "platform/linux/MountTable.h"
#include "support/Bytes.h"
#include "support/DriveLabel.h"
#include "support/FakeForm.h"
#include "support/LoopCard.h"
#include "support/PrivateBus.h"
#include "support/Spawn.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/mount.h>
#include <unistd.h>

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string inUseHint = " - close the files and folders open on it, then eject it again";

/// No system bus at all, as on a headless station: the socket named is not there.
struct NoBus {
    NoBus() { ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/velk-bus", 1); }
    ~NoBus() { ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }
    NoBus(const NoBus&) = delete;
    NoBus& operator=(const NoBus&) = delete;
};

std::string mountInfo() {
    std::ifstream in("/proc/self/mountinfo");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool mountedAt(const std::string& at) {
    return MountTable::parse(mountInfo()).at(at) != nullptr;
}

/// The methods of the eject and the mount, in the order the stand-in was called.
std::vector<std::string> cardCalls(const PrivateBus& bus) {
    std::vector<std::string> calls;
    for (const std::string& method : bus.methodsCalled())
        if (method.starts_with("Unmount") || method.starts_with("PowerOff") ||
            method.starts_with("Mount"))
            calls.push_back(method);
    return calls;
}

/// `sh -c script` with the card's mount point as $0, once its process runs `sleep`.
pid_t startHolder(const std::string& script, const std::string& mountPoint,
                  const TempFolder& logs) {
    const pid_t pid =
        spawnLogged({"/bin/sh", "-c", script, mountPoint}, logs.str() + "/holder.log");
    const std::string comm = "/proc/" + std::to_string(pid) + "/comm";
    for (int i = 0; i < 500 && readBytes(comm) != "sleep\n"; ++i)
        std::this_thread::sleep_for(10ms);
    return pid;
}

class Eject : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (const std::string why = LoopCard::prepare(GetParam()); !why.empty())
            GTEST_SKIP() << why;
        LoopCard::Options options;
        options.fsType = GetParam();
        std::string whyNot;
        card = LoopCard::make(options, whyNot);
        if (!card)
            GTEST_SKIP() << whyNot;
        at = card->mountPoint();
        writeBytes(at + "/M0000001.MP3", "the first track");
    }

    std::unique_ptr<LoopCard> card;
    std::string at;
    TempFolder work;
    const LinuxSystem system;
};

TEST_P(Eject, AnEjectedCardIsUnmountedAndItsFileSystemClean) {
    const NoBus noBus;
    EXPECT_EQ(system.ejectCard(card->device()), "");
    EXPECT_FALSE(mountedAt(at));
    EXPECT_EQ(system.rootFolder(card->device()).status, RootFolder::Status::deviceUnavailable);
    EXPECT_EQ(labelOf(system, card->device()), card->device() + "  (card not mounted: ejected)");

    const std::string image = work.str() + "/read-back.img";
    EXPECT_EQ(card->checkCopy(image), "");
    EXPECT_EQ(card->repairAndRead(image)["M0000001.MP3"], "the first track");
}

TEST_P(Eject, ACardInUseIsRefusedNamingTheProgramAndStaysMounted) {
    const NoBus noBus;
    fs::create_directory(at + "/folder");
    struct Holder {
        const char* what;
        const char* script;
    };
    const Holder holders[] = {
        {"a file held open", "exec /bin/sleep 60 3<\"$0/M0000001.MP3\""},
        {"a shell standing in a folder", "cd \"$0/folder\" && exec /bin/sleep 60"},
    };
    for (const Holder& h : holders) {
        SCOPED_TRACE(h.what);
        const pid_t pid = startHolder(h.script, at, work);
        EXPECT_EQ(system.ejectCard(card->device()),
                  "the MMC card is in use by sleep (pid " + std::to_string(pid) + ")" + inUseHint);
        EXPECT_TRUE(mountedAt(at));
        EXPECT_EQ(system.rootFolder(card->device()).path, at);
        ::kill(pid, SIGTERM);
        waitFor(pid);
    }
    EXPECT_EQ(system.ejectCard(card->device()), "") << "nothing holds it any more";
    EXPECT_EQ(card->checkCopy(work.str() + "/read-back.img"), "");
}

INSTANTIATE_TEST_SUITE_P(FileSystems, Eject, ::testing::Values("ext4", "vfat"),
                         [](const auto& info) { return std::string(info.param); });

/// A removable loop card with an ext4 file system, and a stand-in UDisks2 that knows it.
class ThroughUDisks2 : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = LoopCard::prepare("ext4"); !why.empty())
            GTEST_SKIP() << why;
        if (const std::string why = PrivateBus::unavailableReason(); !why.empty())
            GTEST_SKIP() << "no stand-in UDisks2: " << why;
    }

    void TearDown() override {
        // What a failed case left mounted in the program's own folder goes, and the folder too;
        // the card's own clean-up unmounts the rest.
        if (card) {
            const std::string own = std::string(LinuxSystem::ownMountFolder) + card->name();
            ::umount2(own.c_str(), MNT_DETACH);
            ::rmdir(own.c_str());
        }
        card.reset();
    }

    void newCard() {
        card = std::make_unique<LoopCard>();
        at = card->mountPoint();
    }

    std::string parameters(const char* answer, const char* unmount = "unmount",
                           bool canPowerOff = true) const {
        return std::string("{\"device\": \"") + card->device() + "\", \"answer\": \"" + answer +
               "\", \"mount_point\": \"" + at + "\", \"unmount\": \"" + unmount +
               "\", \"can_power_off\": " + (canPowerOff ? "true" : "false") + "}";
    }

    std::unique_ptr<LoopCard> card;
    std::string at;
    TempFolder work;
};

TEST_F(ThroughUDisks2, UnmountThenPowerOffWhereTheDriveCan) {
    struct Case {
        const char* what;
        const char* unmount;
        bool canPowerOff;
        std::string refusal;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"a drive that powers off", "unmount", true, "", {"Unmount", "PowerOff"}},
        {"a drive that cannot", "unmount", false, "", {"Unmount"}},
        {"a card in use",
         "busy",
         true,
         "the MMC card is in use" + inUseHint,
         {"Unmount", "Unmount raised"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        newCard();
        PrivateBus bus;
        bus.startUDisks2(parameters("mount", c.unmount, c.canPowerOff));
        const LinuxSystem system; // its bus is this case's
        EXPECT_EQ(system.ejectCard(card->device()), c.refusal);
        EXPECT_EQ(cardCalls(bus), c.calls);
        EXPECT_EQ(mountedAt(at), !c.refusal.empty());
        if (c.refusal.empty()) {
            EXPECT_EQ(card->checkCopy(work.str() + "/read-back.img"), "");
        }
    }
}

TEST_F(ThroughUDisks2, AnEjectedCardLeftInTheReaderIsNotMountedAgain) {
    newCard();
    PrivateBus bus;
    bus.startUDisks2(parameters("mount"));
    const LinuxSystem system;
    ASSERT_EQ(system.ejectCard(card->device()), "");
    Module1 state;
    FakeForm form;
    CardMonitor monitor{state, form, system};
    form.setText(Control::Drive1, card->device());
    for (int i = 0; i < 10; ++i) {
        monitor.Timer1_Timer();
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(form.text(Control::Label4), "Please insert MMC card");
    EXPECT_EQ(cardCalls(bus), (std::vector<std::string>{"Unmount", "PowerOff"}));
    EXPECT_EQ(labelOf(system, card->device()), card->device() + "  (card not mounted: ejected)");

    // Asked for on purpose, it is mounted again.
    EXPECT_EQ(system.mountCard(card->device()), "");
    EXPECT_TRUE(mountedAt(at));
}

TEST_F(ThroughUDisks2, MountCardMountsAnUnmountedCardAndWaitsForIt) {
    struct Case {
        const char* what;
        const char* answer; ///< the stand-in's; nullptr for no bus at all
        std::string reason;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"through UDisks2", "mount", "", {"Mount"}},
        {"refused by UDisks2",
         "refuse",
         "Not authorized to perform operation",
         {"Mount", "Mount raised"}},
        {"directly, where no UDisks2 runs", nullptr, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        newCard();
        ASSERT_EQ(::umount2(at.c_str(), 0), 0);
        std::unique_ptr<PrivateBus> bus;
        std::unique_ptr<NoBus> noBus;
        if (c.answer) {
            bus = std::make_unique<PrivateBus>();
            bus->startUDisks2(parameters(c.answer));
        } else {
            noBus = std::make_unique<NoBus>();
        }
        const LinuxSystem system;
        EXPECT_EQ(system.mountCard(card->device()), c.reason);
        const RootFolder root = system.rootFolder(card->device());
        EXPECT_EQ(root.status == RootFolder::Status::ok, c.reason.empty());
        // Mounted already: nothing more is asked.
        if (c.reason.empty()) {
            EXPECT_EQ(system.mountCard(card->device()), "");
        }
        if (bus) {
            EXPECT_EQ(cardCalls(*bus), c.calls);
        }
        if (!c.answer) {
            // Mounted in a folder of the program's own, which goes with the card.
            const std::string own = std::string(LinuxSystem::ownMountFolder) + card->name();
            EXPECT_EQ(root.path, own);
            EXPECT_TRUE(fs::is_directory(own + "/lost+found"))
                << "the card's file system is what shows there";
            EXPECT_EQ(system.ejectCard(card->device()), "");
            EXPECT_FALSE(fs::exists(own));
        }
    }
}

/// What `ask` answers in a child process that runs as the user nobody.
std::string asNobody(const std::function<std::string()>& ask) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string answer = ::setgid(65534) == 0 && ::setuid(65534) == 0 ? ask() : "still root";
        const bool written = ::write(pipeEnds[1], answer.data(), answer.size()) ==
                             static_cast<ssize_t>(answer.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeEnds[0]);
    waitFor(child);
    return answer;
}

// Where no UDisks2 runs, only a process that may mount and unmount does it itself.
TEST(EjectOrMount, AUserWhoMayNotIsToldWhy) {
    if (const std::string why = LoopCard::prepare("ext4"); !why.empty())
        GTEST_SKIP() << why;
    const NoBus noBus;
    LoopCard card;
    const std::string at = card.mountPoint();
    EXPECT_EQ(asNobody([&] { return LinuxSystem().ejectCard(card.device()); }),
              "UDisks2 is not running, and only the administrator may unmount the card");
    EXPECT_TRUE(mountedAt(at));
    ASSERT_EQ(::umount2(at.c_str(), 0), 0);
    EXPECT_EQ(asNobody([&] { return LinuxSystem().mountCard(card.device()); }),
              "UDisks2 is not running, and only the administrator may mount the card");
    EXPECT_FALSE(fs::exists(std::string(LinuxSystem::ownMountFolder) + card.name()));
}

TEST(EjectOrMount, NeitherAnEmptyReaderNorAFixedDrive) {
    if (const std::string why = LoopCard::prepare("ext4"); !why.empty())
        GTEST_SKIP() << why;
    LoopCard::Options options;
    options.withCard = false;
    const LoopCard reader(options);
    const NoBus noBus;
    const LinuxSystem system;
    for (const auto& [drive, reason] :
         {std::pair<std::string, const char*>{reader.device(), "there is no card in the reader"},
          {"/", "it is not a card reader"}}) {
        SCOPED_TRACE(drive);
        EXPECT_EQ(system.ejectCard(drive), reason);
        EXPECT_EQ(system.mountCard(drive), reason);
    }
}

} // namespace
} // namespace velk::test
