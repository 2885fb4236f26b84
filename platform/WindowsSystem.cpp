#include "WindowsSystem.h"

#include "System.h"
#include "WindowsError.h"
#include "WindowsPath.h"
#include "WindowsText.h"
#include "core/CardMonitor.h"
#include "core/SourceBrowser.h"
#include "core/PlatformTexts.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <optional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <winioctl.h>

namespace velk {

namespace {

std::error_code lastError() {
    return {static_cast<int>(::GetLastError()), windowsCategory()};
}

std::error_code errorOf(DWORD code) {
    return {static_cast<int>(code), windowsCategory()};
}

/// The label of a volume, or nothing; asked only off the window's thread.
std::string volumeLabel(const std::string& root) {
    wchar_t volume[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationW(widen(root).c_str(), volume, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        return {};
    return narrow(volume);
}

class Handle {
public:
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle() {
        if (*this)
            ::CloseHandle(m_h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    explicit operator bool() const { return m_h != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE get() const { return m_h; }
    [[nodiscard]] HANDLE release() { return std::exchange(m_h, INVALID_HANDLE_VALUE); }

private:
    HANDLE m_h;
};

/// ERROR_STOPPED_ON_SYMLINK, which mingw-w64's headers lack.
constexpr DWORD stoppedOnLink = 681;

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/// The drive letter a path begins with ("\\?\" passed over), in lower case, or 0.
wchar_t driveLetterOf(std::wstring path) {
    if (path.rfind(L"\\\\?\\", 0) == 0)
        path.erase(0, 4);
    return path.size() >= 2 && path[1] == L':' ? static_cast<wchar_t>(std::towlower(path[0])) : 0;
}

/// True when `designation` ("e:") is a folder given a letter with subst: the system names its
/// target as a path ("\\??\\C:\\folder"), where a volume's letter names a device.
bool isSubstituted(const std::string& designation) {
    wchar_t target[MAX_PATH + 1] = {};
    return ::QueryDosDeviceW(widen(designation).c_str(), target, MAX_PATH + 1) != 0 &&
           std::wstring(target).rfind(L"\\??\\", 0) == 0;
}

/// The folders the running system stands on: the system drive's, the Windows folder, the
/// program's own.
std::vector<std::wstring> systemFolders() {
    std::vector<std::wstring> folders;
    wchar_t path[MAX_PATH + 1] = {};
    if (::GetEnvironmentVariableW(L"SystemDrive", path, MAX_PATH + 1) != 0)
        folders.emplace_back(path);
    if (::GetSystemWindowsDirectoryW(path, MAX_PATH + 1) != 0)
        folders.emplace_back(path);
    std::wstring program(32768, L'\0');
    program.resize(::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    folders.push_back(program);
    return folders;
}

/// ReadFile and WriteFile take at most a DWORD of bytes at a time.
DWORD chunk(std::size_t size) {
    constexpr std::size_t largest = 1u << 30;
    return static_cast<DWORD>(size < largest ? size : largest);
}

/// The file a handle has open: its volume's serial number, the volume's GUID name from the
/// handle's final path (the same through a drive letter, a subst letter, a share or a folder
/// the volume is mounted on), and its index on the volume.
std::optional<FileId> identify(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info))
        return std::nullopt;
    FileId id;
    char serial[10];
    std::snprintf(serial, sizeof serial, "%08lX", static_cast<unsigned long>(info.dwVolumeSerialNumber));
    id.volume = serial;
    id.index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    std::wstring final(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()),
                                                    VOLUME_NAME_GUID);
        if (n == 0)
            break;
        if (n < final.size()) {
            final.resize(n);
            // "\\?\Volume{...}\folder\name": the volume's name is up to its closing brace.
            if (const std::size_t brace = final.find(L'}'); brace != std::wstring::npos)
                id.volumeName = narrow(final.substr(0, brace + 1));
            break;
        }
        final.resize(n);
    }
    return id;
}

/// The file a handle has open, with its size and last write.
std::optional<EntryStamp> stampOf(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    const std::optional<FileId> id = identify(h);
    if (!id || !::GetFileInformationByHandle(h, &info))
        return std::nullopt;
    return EntryStamp{*id, (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
                      static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                                info.ftLastWriteTime.dwLowDateTime)};
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
    Handle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           flags, nullptr));
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
        ec = errorOf(stoppedOnLink);
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

/// The root of the volume that holds `path` ("E:\", or a folder where a volume is mounted).
std::wstring volumeRoot(const std::wstring& path) {
    std::vector<wchar_t> root(path.size() + MAX_PATH + 1);
    if (!::GetVolumePathNameW(path.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return {};
    return root.data();
}

std::string hex(DWORD value) {
    char text[10];
    std::snprintf(text, sizeof text, "%04lX-%04lX", (value >> 16) & 0xFFFFUL, value & 0xFFFFUL);
    return text;
}

} // namespace

// The destination's space is asked at every tick of the monitor, which may share this system
// with threads that ask other drives.
struct WindowsSystem::LargeCards {
    std::mutex mutex;
    std::set<std::string> designations;
};

WindowsSystem::WindowsSystem() : m_labels(volumeLabel), m_largeCards(std::make_shared<LargeCards>()) {}

// A drive list shows "c: [SYSTEM]": the letter in lower case, then the volume label of a fixed
// drive where it has one. The listing itself asks only for the letters and their types, which
// the system knows without asking the drives; labels are read in the background and show
// from the next listing on. Other drives are never asked: a reader without a card would
// answer with an error after a wait, a network drive whose server is gone only after the
// network's timeout. A reader's card too large for the player is named as the destination's
// tick last found it, so that the reason shows as soon as the monitor refuses the card.
std::vector<DriveEntry> WindowsSystem::drives() const {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        const DWORD needed =
            ::GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (needed == 0)
            return {};
        if (needed < buffer.size())
            break;
        buffer.resize(needed + 1);
    }
    // "C:\<nul>E:\<nul><nul>": the designation is each root without its backslash.
    std::vector<DriveEntry> out;
    std::vector<std::string> fixedRoots;
    for (const wchar_t* root = buffer.data(); *root != L'\0'; root += std::wcslen(root) + 1) {
        if (std::wcslen(root) < 2 || root[1] != L':')
            continue;
        std::string designation = {static_cast<char>(std::tolower(root[0] & 0x7F)), ':'};
        std::string label = designation;
        if (m_sourceRoots.waiting(designation))
            label += text::driveDetailOpen + std::string(text::driveNotAnswering) + text::driveDetailClose;
        const UINT type = ::GetDriveTypeW(root);
        if (type == DRIVE_FIXED) {
            fixedRoots.push_back(narrow(root));
            if (const std::string volume = m_labels.label(fixedRoots.back()); !volume.empty())
                label += " [" + volume + "]";
        } else if (type == DRIVE_REMOVABLE) {
            const std::lock_guard lock(m_largeCards->mutex);
            if (m_largeCards->designations.contains(designation))
                label += std::string(text::driveDetailOpen) + text::driveCardTooLarge + text::driveDetailClose;
        }
        out.push_back({std::move(designation), std::move(label)});
    }
    m_labels.refresh(std::move(fixedRoots));
    return out;
}

std::string WindowsSystem::currentDrive() const {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring path(needed, L'\0');
    const DWORD got = ::GetCurrentDirectoryW(needed, path.data());
    path.resize(got < needed ? got : 0);
    if (path.size() >= 2 && path[1] == L':')
        return {static_cast<char>(std::tolower(path[0] & 0x7F)), ':'};
    // A network folder ("\\server\share") has no letter; the first drive stands in for it.
    const auto all = drives();
    return all.empty() ? std::string() : all.front().designation;
}

std::uint32_t WindowsSystem::driveType(const std::string& designation) const {
    const std::string root = designation + "\\";
    const UINT type = ::GetDriveTypeA(root.c_str());
    if (type != DRIVE_REMOVABLE)
        return type;
    // An empty reader has no volume to ask; it stays a reader.
    const std::wstring volume = volumeRoot(widen(root));
    if (isSubstituted(designation) ||
        (!volume.empty() && (volume.size() != root.size() || driveLetterOf(volume) != driveLetterOf(widen(root)))))
        return DRIVE_FIXED;
    for (const std::wstring& folder : systemFolders())
        if (driveLetterOf(folder) == driveLetterOf(widen(root)))
            return DRIVE_FIXED;
    return type;
}

std::optional<SpaceCounts> WindowsSystem::diskSpace(const std::string& designation) const {
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    const bool answered = ::GetDiskFreeSpaceA(designation.c_str(), &sectorsPerCluster, &bytesPerSector,
                                              &freeClusters, &totalClusters);
    const SpaceCounts counts{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
    {
        const std::lock_guard lock(m_largeCards->mutex);
        if (answered && CardMonitor::tooLarge(counts))
            m_largeCards->designations.insert(designation);
        else
            m_largeCards->designations.erase(designation);
    }
    if (!answered)
        return std::nullopt;
    return counts;
}

namespace {

/// The root of "e:", asked of the drive itself; it holds nothing of the system object, so that
/// it can be asked on a thread that outlives it.
RootFolder rootOf(const std::string& designation) {
    DWORD spc = 0;
    DWORD bps = 0;
    DWORD freeClusters = 0;
    DWORD total = 0;
    if (!::GetDiskFreeSpaceA(designation.c_str(), &spc, &bps, &freeClusters, &total)) {
        const std::error_code ec = lastError();
        const auto status = ec.value() == ERROR_NOT_READY ? RootFolder::Status::deviceUnavailable
                                                          : RootFolder::Status::failed;
        return {status, {}, ec.message()};
    }
    return {RootFolder::Status::ok, designation + "\\", {}};
}

} // namespace

RootFolder WindowsSystem::rootFolder(const std::string& designation) const { return rootOf(designation); }

std::optional<RootFolder> WindowsSystem::sourceRoot(const std::string& designation) const {
    return m_sourceRoots.answer(designation, [designation] { return listableRoot(rootOf(designation)); });
}

std::unique_ptr<OpenFile> WindowsSystem::openFile(const std::string& path, OpenMode mode,
                                                  std::error_code& ec) const {
    const std::wstring name = longPath(path);
    std::unique_ptr<OpenFile> file;
    switch (mode) {
    case OpenMode::read: file = openForReading(name, false, ec); break;
    case OpenMode::readFromDevice: file = openForReading(name, true, ec); break;
    case OpenMode::createOrTruncate: file = openForWriting(name, true, ec); break;
    case OpenMode::createOrKeep: file = openForWriting(name, false, ec); break;
    }
    if (file)
        ec.clear();
    return file;
}

// The serial number is what Windows itself tells volumes by; the volume's GUID name, where
// the volume has one, and its size tell apart two cards formatted with the same serial.
std::optional<CardIdentity> WindowsSystem::cardIdentity(const std::string& root) const {
    const std::wstring volume = volumeRoot(widen(root));
    DWORD serial = 0;
    wchar_t fileSystem[MAX_PATH + 1] = {};
    wchar_t label[MAX_PATH + 1] = {};
    if (volume.empty() || !::GetVolumeInformationW(volume.c_str(), label, MAX_PATH + 1, &serial, nullptr,
                                                   nullptr, fileSystem, MAX_PATH + 1))
        return std::nullopt;
    std::string identity = "serial " + hex(serial) + " " + narrow(fileSystem);
    ULARGE_INTEGER totalBytes{};
    if (::GetDiskFreeSpaceExW(volume.c_str(), nullptr, &totalBytes, nullptr))
        identity += " bytes " + std::to_string(totalBytes.QuadPart);
    wchar_t guid[MAX_PATH + 1] = {};
    if (::GetVolumeNameForVolumeMountPointW(volume.c_str(), guid, MAX_PATH + 1))
        identity += " " + narrow(guid);
    return CardIdentity{root, identity, narrow(label)};
}

std::optional<EntryStamp> WindowsSystem::fileStamp(const std::string& path) const {
    const Handle h(::CreateFileW(longPath(path).c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h ? stampOf(h.get()) : std::nullopt;
}

std::optional<EntryStamp> WindowsSystem::entryStamp(const std::string& path) const {
    const Handle h(::CreateFileW(longPath(path).c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return h ? stampOf(h.get()) : std::nullopt;
}

std::error_code WindowsSystem::flushFile(const std::string& path) const {
    const Handle h(::CreateFileW(longPath(path).c_str(), GENERIC_WRITE, shareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h)
        return lastError();
    return ::FlushFileBuffers(h.get()) ? std::error_code() : lastError();
}

namespace {

/// A named mutex in the session-wide namespace, held open for as long as the run lasts.
class VolumeLock : public CardLock {
public:
    explicit VolumeLock(HANDLE h) : m_h(h) {}
    ~VolumeLock() override { ::CloseHandle(m_h); }
    VolumeLock(const VolumeLock&) = delete;
    VolumeLock& operator=(const VolumeLock&) = delete;

private:
    HANDLE m_h;
};

} // namespace

// Keyed by the volume's GUID name, so every path to the card meets the same lock; by its
// serial number where the volume has no such name.
std::unique_ptr<CardLock> WindowsSystem::lockCard(const std::string& root, std::error_code& ec) const {
    const std::optional<FileId> id = fileId(root);
    if (!id) {
        ec = lastError();
        return nullptr;
    }
    std::wstring key = widen(id->volumeName.empty() ? id->volume : id->volumeName);
    for (wchar_t& c : key)
        if (c == L'\\')
            c = L'_';
    const std::wstring name = L"Global\\velk-card-" + key;
    HANDLE h = ::CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = ::GetLastError();
    // A mutex that another user made exists but may not be opened: held all the same.
    if (h == nullptr || error == ERROR_ALREADY_EXISTS) {
        if (h)
            ::CloseHandle(h);
        ec = h || error == ERROR_ACCESS_DENIED ? std::make_error_code(std::errc::device_or_resource_busy)
                                               : errorOf(error);
        return nullptr;
    }
    ec.clear();
    return std::make_unique<VolumeLock>(h);
}

bool WindowsSystem::onRemovableMedia(const std::string& folder) const {
    const std::wstring root = volumeRoot(longPath(folder));
    return !root.empty() && ::GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE;
}

std::string WindowsSystem::dataFolder() const {
    std::wstring folder(32768, L'\0');
    folder.resize(::GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), static_cast<DWORD>(folder.size())));
    return folder.empty() ? std::string() : narrow(folder) + "\\velk-assembler";
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

namespace {

/// The volume of a drive ("e:") opened as a device; invalid when it cannot be.
Handle openVolume(const std::string& designation, DWORD access) {
    return Handle(::CreateFileW((L"\\\\.\\" + widen(designation)).c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr));
}

bool control(HANDLE volume, DWORD code, void* in = nullptr, DWORD inBytes = 0) {
    DWORD returned = 0;
    return ::DeviceIoControl(volume, code, in, inBytes, nullptr, 0, &returned, nullptr) != 0;
}

} // namespace

// As the system's own "safely remove" does: the lock succeeds only while nothing has a file
// on the volume open, the dismount of a locked volume writes what the system still holds for
// it, and the reader lets go of the card, so that the next access (the monitor's next tick)
// does not mount it again. The handle's close unlocks the volume.
std::string WindowsSystem::ejectCard(const std::string& designation) const {
    if (driveType(designation) != DRIVE_REMOVABLE)
        return text::notACardReader;
    if (rootFolder(designation).status != RootFolder::Status::ok)
        return text::readerEmpty;
    const Handle volume = openVolume(designation, GENERIC_READ | GENERIC_WRITE);
    if (!volume)
        return lastError().message();
    // A program that is closing its files may take a moment.
    DWORD lockError = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (control(volume.get(), FSCTL_LOCK_VOLUME)) {
            lockError = ERROR_SUCCESS;
            break;
        }
        lockError = ::GetLastError();
        ::Sleep(100);
    }
    if (lockError == ERROR_ACCESS_DENIED || lockError == ERROR_SHARING_VIOLATION)
        return std::string(text::cardInUse) + text::cardInUseHint;
    if (lockError != ERROR_SUCCESS)
        return errorOf(lockError).message();
    if (!control(volume.get(), FSCTL_DISMOUNT_VOLUME))
        return lastError().message();
    PREVENT_MEDIA_REMOVAL allow{};
    allow.PreventMediaRemoval = FALSE;
    (void)control(volume.get(), IOCTL_STORAGE_MEDIA_REMOVAL, &allow, sizeof allow);
    if (!control(volume.get(), IOCTL_STORAGE_EJECT_MEDIA))
        return text::readerKeepsCard + lastError().message();
    return {};
}

std::string WindowsSystem::mountCard(const std::string& designation) const {
    if (driveType(designation) != DRIVE_REMOVABLE)
        return text::notACardReader;
    if (rootFolder(designation).status == RootFolder::Status::ok)
        return {};
    if (const Handle volume = openVolume(designation, GENERIC_READ);
        !volume || !control(volume.get(), IOCTL_STORAGE_LOAD_MEDIA))
        return text::readerEmpty;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (rootFolder(designation).status == RootFolder::Status::ok)
            return {};
        ::Sleep(100);
    }
    return rootFolder(designation).reason;
}

std::unique_ptr<SystemPort> makeSystem() {
    return std::make_unique<WindowsSystem>();
}

} // namespace velk
