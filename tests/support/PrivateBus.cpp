#include "PrivateBus.h"
#include "Spawn.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace velk::test {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* python = "/usr/bin/python3";
constexpr const char* daemon = "/usr/bin/dbus-daemon";

void stop(pid_t& pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    waitFor(pid);
    pid = -1;
}

template <typename Use> void withBus(Use use) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0)
        return;
    use(bus);
    sd_bus_flush_close_unref(bus);
}

} // namespace

std::string PrivateBus::unavailableReason() {
    for (const char* tool : {daemon, python})
        if (::access(tool, X_OK) != 0)
            return std::string(tool) + " is not installed";
    if (std::system("/usr/bin/python3 -c 'import dbusmock' 2>/dev/null") != 0)
        return "python3-dbusmock is not installed";
    return {};
}

PrivateBus::PrivateBus() {
    std::string folder = (fs::temp_directory_path() / "velk-bus-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        throw std::runtime_error("mkdtemp failed");
    m_folder = folder;
    const fs::path socket = fs::path(m_folder) / "system_bus_socket";
    const fs::path config = fs::path(m_folder) / "bus.conf";
    std::ofstream(config)
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><type>system</type><listen>unix:path="
        << socket.string()
        << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
           "<allow own=\"*\"/><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
           "</policy></busconfig>\n";
    m_daemon = spawnLogged({daemon, "--nofork", "--config-file=" + config.string()},
                           (fs::path(m_folder) / "daemon.log").string());
    for (int i = 0; i < 200 && !fs::exists(socket); ++i)
        std::this_thread::sleep_for(10ms);
    if (!fs::exists(socket)) {
        const std::string why = log("daemon.log");
        stop(m_daemon);
        throw std::runtime_error("dbus-daemon did not start: " + why);
    }
    address = "unix:path=" + socket.string();
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
}

PrivateBus::~PrivateBus() {
    stop(m_mock);
    stop(m_daemon);
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

void PrivateBus::startUDisks2(const std::string& parameters) {
    m_mock = spawnLogged(
        {python, "-m", "dbusmock", "--template", VELK_UDISKS2_TEMPLATE, "-p", parameters},
        (fs::path(m_folder) / "mock.log").string());
    for (int i = 0; i < 500; ++i) {
        if (nameHasOwner("org.freedesktop.UDisks2"))
            return;
        std::this_thread::sleep_for(20ms);
    }
    throw std::runtime_error("the stand-in UDisks2 did not start: " + log("mock.log"));
}

int PrivateBus::calls(const std::string& path, const char* method) const {
    int count = -1;
    withBus([&](sd_bus* bus) {
        sd_bus_message* reply = nullptr;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        if (sd_bus_call_method(bus, "org.freedesktop.UDisks2", path.c_str(),
                               "org.freedesktop.DBus.Mock", "GetMethodCalls", &error, &reply, "s",
                               method) >= 0 &&
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

// Each line reads "<time> <method> <arguments>"; a method that raised adds "<method> raised: ...",
// which is listed as "<method> raised".
std::vector<std::string> PrivateBus::methodsCalled() const {
    std::vector<std::string> methods;
    std::istringstream lines(log("mock.log"));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string time, method, next;
        fields >> time >> method >> next;
        if (!method.empty())
            methods.push_back(next == "raised:" ? method + " raised" : method);
    }
    return methods;
}

bool PrivateBus::nameHasOwner(const char* name) const {
    int owned = 0;
    withBus([&](sd_bus* bus) {
        sd_bus_message* reply = nullptr;
        if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "NameHasOwner", nullptr, &reply, "s",
                               name) >= 0)
            sd_bus_message_read(reply, "b", &owned);
        sd_bus_message_unref(reply);
    });
    return owned != 0;
}

std::string PrivateBus::log(const char* name) const {
    std::ifstream in(fs::path(m_folder) / name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace velk::test
