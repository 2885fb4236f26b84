// Mounting a card that nothing has mounted, against a stand-in UDisks2 (python3-dbusmock with
// the udisks2_card.py template) on a private system bus, with a real removable loop device.
// The bus, the stand-in and every mount live in this process's own mount namespace.
#include "core/CardMonitor.h"
#include "core/Colours.h"
#include "core/Module1.h"
#include "platform/LinuxSystem.h"
#include "support/FakeForm.h"
#include "support/LoopCard.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

extern char** environ;

namespace velk::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path templateFile = fs::path(VELK_TEST_SOURCE_DIR) / "udisks2_card.py";

pid_t spawn(std::vector<std::string> argv, const fs::path& log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = -1;
    const int r = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return r == 0 ? pid : -1;
}

void stop(pid_t& pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}

/// A dbus-daemon of this test's own, set up as a system bus that lets everyone do anything,
/// and made the system bus of this process.
class PrivateBus {
public:
    PrivateBus() {
        std::string folder = (fs::temp_directory_path() / "velk-bus-XXXXXX").string();
        if (!::mkdtemp(folder.data()))
            throw std::runtime_error("mkdtemp failed");
        m_folder = folder;
        const fs::path socket = m_folder / "system_bus_socket";
        std::ofstream(m_folder / "bus.conf")
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>system</type><listen>unix:path="
            << socket.string()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
               "<allow own=\"*\"/><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
               "</policy></busconfig>\n";
        m_daemon = spawn({"/usr/bin/dbus-daemon", "--nofork", "--config-file=" + (m_folder / "bus.conf").string()},
                         m_folder / "daemon.log");
        for (int i = 0; i < 200 && !fs::exists(socket); ++i)
            std::this_thread::sleep_for(10ms);
        if (!fs::exists(socket))
            throw std::runtime_error("dbus-daemon did not start: " + log("daemon.log"));
        address = "unix:path=" + socket.string();
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    }
    ~PrivateBus() {
        stop(m_mock);
        stop(m_daemon);
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    /// Puts the stand-in UDisks2 on the bus and waits until it owns its name.
    void startUDisks2(const std::string& parameters) {
        m_mock = spawn({"/usr/bin/python3", "-m", "dbusmock", "--template", templateFile.string(), "-p",
                        parameters},
                       m_folder / "mock.log");
        for (int i = 0; i < 500; ++i) {
            if (nameHasOwner("org.freedesktop.UDisks2"))
                return;
            std::this_thread::sleep_for(20ms);
        }
        throw std::runtime_error("the stand-in UDisks2 did not start: " + log("mock.log"));
    }

    /// How often the stand-in's object `path` was called with `method`.
    int calls(const std::string& path, const char* method) const {
        int count = -1;
        withBus([&](sd_bus* bus) {
            sd_bus_message* reply = nullptr;
            sd_bus_error error = SD_BUS_ERROR_NULL;
            if (sd_bus_call_method(bus, "org.freedesktop.UDisks2", path.c_str(), "org.freedesktop.DBus.Mock",
                                   "GetMethodCalls", &error, &reply, "s", method) >= 0 &&
                sd_bus_message_enter_container(reply, 'a', "(tav)") >= 0) {
                count = 0;
                while (sd_bus_message_skip(reply, "(tav)") > 0)
                    ++count;
            }
            sd_bus_error_free(&error);
            sd_bus_message_unref(reply);
        });
        return count;
    }

    std::string address;

private:
    template <typename F> void withBus(F use) const {
        sd_bus* bus = nullptr;
        if (sd_bus_open_system(&bus) < 0)
            return;
        use(bus);
        sd_bus_flush_close_unref(bus);
    }

    bool nameHasOwner(const char* name) const {
        int owned = 0;
        withBus([&](sd_bus* bus) {
            sd_bus_message* reply = nullptr;
            if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                   "NameHasOwner", nullptr, &reply, "s", name) >= 0)
                sd_bus_message_read(reply, "b", &owned);
            sd_bus_message_unref(reply);
        });
        return owned != 0;
    }

    std::string log(const char* name) const {
        std::ifstream in(m_folder / name);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path m_folder;
    pid_t m_daemon = -1;
    pid_t m_mock = -1;
};

std::string labelOf(const SystemPort& sys, const std::string& designation) {
    for (const DriveEntry& d : sys.drives())
        if (d.designation == designation)
            return d.label;
    return "(not listed)";
}

/// A removable loop card with an ext4 file system that nothing has mounted, chosen in Drive1.
class UnmountedCard : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = LoopCard::unavailableReason("ext4"); !why.empty())
            GTEST_SKIP() << "no real card reader here: " << why;
        for (const char* tool : {"/usr/bin/dbus-daemon", "/usr/bin/python3"})
            if (::access(tool, X_OK) != 0)
                GTEST_SKIP() << tool << " is not installed";
        if (std::system("/usr/bin/python3 -c 'import dbusmock' 2>/dev/null") != 0)
            GTEST_SKIP() << "python3-dbusmock is not installed";
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

    /// Ticks as the timer would, until `done` holds or five seconds have passed.
    template <typename Done> bool tickUntil(Done done) {
        for (int i = 0; i < 250; ++i) {
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
