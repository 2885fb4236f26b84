#include "DriveWatch.h"

#include <cerrno>

#include <fcntl.h>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velk {

namespace {

/// The kernel's own device events, as udev hears them, without udev: no daemon need run.
int openDeviceEvents() {
    const int fd =
        ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
    if (fd < 0)
        return -1;
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = 1; // the kernel's group; udev's own messages go to another
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

DriveWatch::DriveWatch(const std::string& procRoot)
    : m_devices(openDeviceEvents()),
      m_mounts(::open((procRoot + "/self/mountinfo").c_str(), O_RDONLY | O_CLOEXEC)) {}

DriveWatch::~DriveWatch() {
    if (m_devices >= 0)
        ::close(m_devices);
    if (m_mounts >= 0)
        ::close(m_mounts);
}

bool DriveWatch::blockDeviceEvent() const {
    bool block = false;
    char message[8192];
    for (;;) {
        const ssize_t got = ::recv(m_devices, message, sizeof message, MSG_DONTWAIT);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return block;
        block = isBlockEvent(std::string_view(message, static_cast<std::size_t>(got))) || block;
    }
}

bool DriveWatch::isBlockEvent(std::string_view message) {
    // The header line is followed by the fields; a field is never split.
    for (std::size_t at = message.find('\0');
         at != std::string_view::npos && at < message.size();) {
        const std::size_t end = message.find('\0', at + 1);
        const std::string_view field =
            message.substr(at + 1, end == std::string_view::npos ? end : end - at - 1);
        if (field == "SUBSYSTEM=block")
            return true;
        at = end;
    }
    return false;
}

} // namespace velk
