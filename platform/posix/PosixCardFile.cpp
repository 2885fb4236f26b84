#include "PosixCardFile.h"

#include "platform/linux/KernelFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace velk {

using kernel::lastError;

namespace {

FileId idOf(const struct stat& st) {
    return {std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev)),
            {},
            static_cast<std::uint64_t>(st.st_ino)};
}

EntryStamp stampOf(const struct stat& st) {
    constexpr std::int64_t nano = 1'000'000'000;
    return {idOf(st), static_cast<std::uint64_t>(st.st_size),
            std::int64_t{st.st_mtim.tv_sec} * nano + st.st_mtim.tv_nsec};
}

std::optional<EntryStamp> stampOfOpen(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

class PosixFile : public OpenFile {
public:
    explicit PosixFile(int fd) : m_fd(fd) {}
    ~PosixFile() override {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::size_t read(char* buffer, std::size_t size, std::error_code& ec) override {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n < 0) {
            ec = lastError();
            return 0;
        }
        return static_cast<std::size_t>(n);
    }
    std::size_t write(const char* buffer, std::size_t size, std::error_code& ec) override {
        const ssize_t n = ::write(m_fd, buffer, size);
        if (n < 0) {
            ec = lastError();
            return 0;
        }
        // Start the device writing now rather than at the flush, so that writing to the card
        // overlaps reading the source, and wait for what was written before: the copy then
        // keeps pace with the card, one write ahead, instead of filling the cache for a flush
        // that would hold the caller for as long as a slow card takes. The flush still checks
        // that all arrived; an error the device gives already stops the copy here. Some file
        // systems cannot start writeback.
        auto writeBack = [&](off_t from, off_t bytes, unsigned flags) {
            return ::sync_file_range(m_fd, from, bytes, flags) == 0 || errno == EINVAL ||
                   errno == ESPIPE || errno == ENOSYS || errno == EOPNOTSUPP;
        };
        m_written += n;
        const off_t settle = m_written - std::min<off_t>(m_written, inFlight);
        if (!writeBack(m_written - n, n, SYNC_FILE_RANGE_WRITE) ||
            (settle > m_settled && !writeBack(m_settled, settle - m_settled,
                                              SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                                  SYNC_FILE_RANGE_WAIT_AFTER))) {
            ec = lastError();
            return 0;
        }
        m_settled = std::max(m_settled, settle);
        return static_cast<std::size_t>(n);
    }
    std::error_code flush() override {
        return ::fdatasync(m_fd) == 0 || errno == EINVAL ? std::error_code() : lastError();
    }
    std::error_code close() override {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 ? std::error_code() : lastError();
    }
    std::optional<EntryStamp> stamp() const override { return stampOfOpen(m_fd); }

private:
    /// How far the writing may run ahead of the card: what the final flush may still wait for.
    static constexpr off_t inFlight = off_t{1} << 20;

    int m_fd;
    off_t m_written = 0;
    off_t m_settled = 0; ///< what lies before this is on the device
};

/// A file read straight from the device into aligned memory, as O_DIRECT requires; the
/// caller's reads are served from that buffer in whatever sizes they ask.
class DirectFile : public OpenFile {
public:
    static constexpr std::size_t bufferBytes = std::size_t{1} << 20;

    DirectFile(int fd, void* buffer) : m_fd(fd), m_buffer(static_cast<char*>(buffer)) {}
    ~DirectFile() override {
        if (m_fd >= 0)
            ::close(m_fd);
        std::free(m_buffer);
    }
    DirectFile(const DirectFile&) = delete;
    DirectFile& operator=(const DirectFile&) = delete;

    std::size_t read(char* buffer, std::size_t size, std::error_code& ec) override {
        // A caller's page-aligned buffer of whole pages takes the device's bytes directly.
        if (m_next == m_end && size >= 4096 &&
            reinterpret_cast<std::uintptr_t>(buffer) % 4096 == 0) {
            const ssize_t n = ::read(m_fd, buffer, size - size % 4096);
            if (n < 0)
                ec = lastError();
            return n < 0 ? 0 : static_cast<std::size_t>(n);
        }
        if (m_next == m_end) {
            const ssize_t n = ::read(m_fd, m_buffer, bufferBytes);
            if (n < 0) {
                ec = lastError();
                return 0;
            }
            m_next = 0;
            m_end = static_cast<std::size_t>(n);
        }
        const std::size_t n = std::min(size, m_end - m_next);
        std::memcpy(buffer, m_buffer + m_next, n);
        m_next += n;
        return n;
    }
    std::size_t write(const char*, std::size_t, std::error_code& ec) override {
        ec = std::make_error_code(std::errc::bad_file_descriptor);
        return 0;
    }
    std::error_code flush() override { return {}; }
    std::error_code close() override {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 ? std::error_code() : lastError();
    }
    std::optional<EntryStamp> stamp() const override { return stampOfOpen(m_fd); }

private:
    int m_fd;
    char* m_buffer;
    std::size_t m_next = 0;
    std::size_t m_end = 0;
};

/// The file opened to bypass the page cache, or null where the file system does not allow it.
std::unique_ptr<OpenFile> openDirect(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECT);
    if (fd < 0)
        return nullptr;
    void* buffer = nullptr;
    if (::posix_memalign(&buffer, 4096, DirectFile::bufferBytes) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<DirectFile>(fd, buffer);
}

// A file read back to check what reached the card must come from the device: its data is
// forced out, then dropped from the page cache, so that the reads that follow go to the card.
std::error_code dropCachedData(int fd) {
    if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS)
        return lastError();
    if (const int err = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED); err != 0)
        return {err, std::generic_category()};
    return {};
}

std::error_code syncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return lastError();
    std::error_code result;
    if (::fsync(fd) != 0)
        result = lastError();
    if (::close(fd) != 0 && !result)
        result = lastError();
    return result;
}

} // namespace

std::unique_ptr<OpenFile> openPosixFile(const std::string& path, OpenMode mode,
                                        std::error_code& ec) {
    int flags = O_CLOEXEC;
    switch (mode) {
    case OpenMode::read:
    case OpenMode::readFromDevice:
        flags |= O_RDONLY;
        break;
    case OpenMode::createOrTruncate:
        flags |= O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
        break;
    case OpenMode::createOrKeep:
        flags |= O_WRONLY | O_CREAT | O_NOFOLLOW;
        break;
    }
    // Direct reads go to the device whatever the cache holds (the kernel writes back dirty
    // pages of the range first); file systems without them drop the cached pages instead.
    if (mode == OpenMode::readFromDevice)
        if (auto direct = openDirect(path))
            return direct;
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        ec = lastError();
        return nullptr;
    }
    auto file = std::make_unique<PosixFile>(fd);
    if (mode == OpenMode::readFromDevice) {
        if ((ec = dropCachedData(fd)))
            return nullptr;
    }
    ec.clear();
    return file;
}

std::error_code syncFolder(const std::string& path) {
    return syncPath(path, O_RDONLY | O_DIRECTORY);
}

std::error_code syncFile(const std::string& path) {
    return syncPath(path, O_RDONLY | O_NOFOLLOW);
}

std::optional<EntryStamp> posixFileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

std::optional<EntryStamp> posixEntryStamp(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

} // namespace velk
