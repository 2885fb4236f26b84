#include "MountWatch.h"

#include "KernelFiles.h"

#include <cerrno>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace velk {

namespace {

unsigned long namespaceOf(const std::string& link) {
    struct stat st {};
    return ::stat(link.c_str(), &st) == 0 ? static_cast<unsigned long>(st.st_ino) : 0;
}

/// The whole of an open proc file, from its start, or nothing when a read fails.
std::optional<std::string> readFrom(int fd) {
    std::string text;
    char buffer[16384];
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return std::nullopt;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace

MountWatch::MountWatch(std::string procRoot)
    : m_path(procRoot + "/self/mountinfo"), m_namespacePath(procRoot + "/self/ns/mnt") {}

MountWatch::~MountWatch() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool MountWatch::changed() {
    const unsigned long now = namespaceOf(m_namespacePath);
    if (m_fd >= 0 && now == m_namespace) {
        pollfd watched{m_fd, POLLPRI, 0};
        return ::poll(&watched, 1, 0) != 0;
    }
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    struct statfs fs {};
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 && ::fstatfs(fd, &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC && now != 0) {
        m_fd = fd;
        m_namespace = now;
    } else if (fd >= 0) {
        ::close(fd);
    }
    return true;
}

std::shared_ptr<const MountTable> MountWatch::table() {
    if (!changed() && m_table)
        return m_table;
    const auto text = m_fd >= 0 ? readFrom(m_fd) : kernel::readFile(m_path);
    auto table = std::make_shared<const MountTable>(
        MountTable::parse(text ? std::string_view(*text) : std::string_view()));
    // A table that could not be read whole is used once and never kept.
    if (!text && m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    m_table = table;
    return table;
}

} // namespace velk
