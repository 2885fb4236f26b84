#include "WindowsHandle.h"
#include "WindowsPath.h"
#include "WindowsSystem.h"

#include <cstring>
#include <memory>

namespace velk {

namespace {

/// ERROR_STOPPED_ON_SYMLINK, which mingw-w64's headers lack.
constexpr DWORD stoppedOnLink = 681;

/// ReadFile and WriteFile take at most a DWORD of bytes at a time.
DWORD chunk(std::size_t size) {
    constexpr std::size_t largest = 1u << 30;
    return static_cast<DWORD>(size < largest ? size : largest);
}

class WindowsFile : public OpenFile {
public:
    explicit WindowsFile(HANDLE h) : m_h(h) {}
    ~WindowsFile() override {
        if (m_h != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_h);
    }
    WindowsFile(const WindowsFile&) = delete;
    WindowsFile& operator=(const WindowsFile&) = delete;

    std::size_t read(char* buffer, std::size_t size, std::error_code& ec) override {
        DWORD got = 0;
        if (!::ReadFile(m_h, buffer, chunk(size), &got, nullptr)) {
            ec = lastError();
            return 0;
        }
        return got;
    }
    std::size_t write(const char* buffer, std::size_t size, std::error_code& ec) override {
        DWORD put = 0;
        if (!::WriteFile(m_h, buffer, chunk(size), &put, nullptr)) {
            ec = lastError();
            return 0;
        }
        return put;
    }
    std::error_code flush() override {
        return ::FlushFileBuffers(m_h) ? std::error_code() : lastError();
    }
    std::error_code close() override {
        return ::CloseHandle(std::exchange(m_h, INVALID_HANDLE_VALUE)) ? std::error_code()
                                                                       : lastError();
    }
    std::optional<EntryStamp> stamp() const override { return stampOf(m_h); }

protected:
    HANDLE m_h;
};

/// A file opened without the system cache. Such a handle reads only whole sectors into
/// sector-aligned memory, so reads go through a page-aligned buffer of many sectors and are
/// handed out from there in whatever sizes the caller asks.
class UncachedFile : public WindowsFile {
public:
    static constexpr std::size_t bufferBytes = 1u << 20; // a multiple of every sector size

    UncachedFile(HANDLE h, void* buffer) : WindowsFile(h), m_buffer(static_cast<char*>(buffer)) {}
    ~UncachedFile() override { ::VirtualFree(m_buffer, 0, MEM_RELEASE); }
    UncachedFile(const UncachedFile&) = delete;
    UncachedFile& operator=(const UncachedFile&) = delete;

    std::size_t read(char* buffer, std::size_t size, std::error_code& ec) override {
        if (m_next == m_end) {
            DWORD got = 0;
            if (!::ReadFile(m_h, m_buffer, static_cast<DWORD>(bufferBytes), &got, nullptr)) {
                ec = lastError();
                return 0;
            }
            m_next = 0;
            m_end = got;
        }
        const std::size_t n = size < m_end - m_next ? size : m_end - m_next;
        std::memcpy(buffer, m_buffer + m_next, n);
        m_next += n;
        return n;
    }

private:
    char* m_buffer;
    std::size_t m_next = 0;
    std::size_t m_end = 0;
};

std::unique_ptr<OpenFile> openForReading(const std::wstring& path, bool fromDevice,
                                         std::error_code& ec) {
    const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (fromDevice ? FILE_FLAG_NO_BUFFERING : 0);
    // A source may be open in a recorder or an editor that writes it, and is read all the
    // same: the copy is checked against its pin before and after. A read-back keeps writers
    // away.
    Handle h(::CreateFileW(path.c_str(), GENERIC_READ, fromDevice ? FILE_SHARE_READ : shareAll,
                           nullptr, OPEN_EXISTING, flags, nullptr));
    if (!h) {
        ec = lastError();
        return nullptr;
    }
    if (!fromDevice)
        return std::make_unique<WindowsFile>(h.release());
    void* buffer = ::VirtualAlloc(nullptr, UncachedFile::bufferBytes, MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    if (!buffer) {
        ec = lastError();
        return nullptr;
    }
    return std::make_unique<UncachedFile>(h.release(), buffer);
}

// The name is opened as it is, never through a link or junction of that name (the open
// reaches the reparse point itself, which is then refused). An existing file is opened
// without being emptied first, so that a refused link is left untouched.
std::unique_ptr<OpenFile> openForWriting(const std::wstring& path, bool truncate,
                                         std::error_code& ec) {
    Handle h(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                           nullptr));
    if (!h) {
        ec = lastError();
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h.get(), &info)) {
        ec = lastError();
        return nullptr;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        ec = windowsError(stoppedOnLink);
        return nullptr;
    }
    if (truncate) {
        // An old file of that name may be hidden or archived; a card file is plain.
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        if (!::SetEndOfFile(h.get()) ||
            !::SetFileInformationByHandle(h.get(), FileBasicInfo, &basic, sizeof basic)) {
            ec = lastError();
            return nullptr;
        }
    }
    return std::make_unique<WindowsFile>(h.release());
}

} // namespace

std::string WindowsSystem::describe(const std::error_code& ec) const {
    return describeError(ec);
}

std::unique_ptr<OpenFile> WindowsSystem::openFile(const std::string& path, OpenMode mode,
                                                  std::error_code& ec) const {
    const std::wstring name = longPath(path);
    const bool reading = mode == OpenMode::read || mode == OpenMode::readFromDevice;
    std::unique_ptr<OpenFile> file =
        reading ? openForReading(name, mode == OpenMode::readFromDevice, ec)
                : openForWriting(name, mode == OpenMode::createOrTruncate, ec);
    if (file)
        ec.clear();
    return file;
}

std::optional<EntryStamp> WindowsSystem::fileStamp(const std::string& path) const {
    const Handle h(::CreateFileW(longPath(path).c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h ? stampOf(h.get()) : std::nullopt;
}

std::optional<EntryStamp> WindowsSystem::entryStamp(const std::string& path) const {
    const Handle h(::CreateFileW(longPath(path).c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                 nullptr));
    return h ? stampOf(h.get()) : std::nullopt;
}

std::error_code WindowsSystem::flushFile(const std::string& path) const {
    const Handle h(::CreateFileW(longPath(path).c_str(), GENERIC_WRITE, shareAll, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h)
        return lastError();
    return ::FlushFileBuffers(h.get()) ? std::error_code() : lastError();
}

// A folder opens only with backup semantics. FAT volumes refuse to flush a folder handle;
// there the entries went to the device when the files were closed, so that refusal is no fault.
std::error_code WindowsSystem::flushFolder(const std::string& path) const {
    const Handle h(::CreateFileW(longPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, shareAll,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h)
        return lastError();
    if (!::FlushFileBuffers(h.get()) && ::GetLastError() != ERROR_INVALID_FUNCTION)
        return lastError();
    return {};
}

} // namespace velk
