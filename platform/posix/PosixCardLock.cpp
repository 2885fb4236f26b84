#include "PosixCardLock.h"

#include "platform/linux/KernelFiles.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk {

namespace {

class FileLock : public CardLock {
public:
    explicit FileLock(int fd) : m_fd(fd) {}
    ~FileLock() override { ::close(m_fd); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd;
};

// Opened for reading only, which flock needs no more than: a lock file made by another user
// opens so where a shared folder refuses to create over it. Links are never followed.
int openLockFile(const std::string& path) {
    for (;;) {
        int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) {
            (void)::fchmod(fd, 0644);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
}

} // namespace

std::unique_ptr<CardLock> lockPosixCard(const std::string& folder, const std::string& key,
                                        std::error_code& ec) {
    const int fd = openLockFile(folder + "/velk-card-" + key + ".lock");
    if (fd < 0) {
        ec = kernel::lastError();
        return nullptr;
    }
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ec = errno == EWOULDBLOCK ? std::make_error_code(std::errc::device_or_resource_busy)
                                  : kernel::lastError();
        ::close(fd);
        return nullptr;
    }
    ec.clear();
    return std::make_unique<FileLock>(fd);
}

} // namespace velk
