#include "WindowsSystem.h"

#include "System.h"

#include <memory>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace velk {

namespace {

std::error_code lastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

/// Opens `path` for writing and flushes it; `tolerated` is a flush refusal that is no fault.
std::error_code flushHandle(const std::string& path, DWORD flags, DWORD tolerated = ERROR_SUCCESS) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    std::error_code result;
    if (!::FlushFileBuffers(h) && ::GetLastError() != tolerated)
        result = lastError();
    ::CloseHandle(h);
    return result;
}

} // namespace

std::vector<DriveEntry> WindowsSystem::drives() const {
    std::vector<char> buffer(256);
    for (;;) {
        const DWORD needed =
            ::GetLogicalDriveStringsA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (needed == 0)
            return {};
        if (needed < buffer.size())
            break;
        buffer.resize(needed + 1);
    }
    // "C:\<nul>E:\<nul><nul>": the designation is each root without its backslash.
    std::vector<DriveEntry> out;
    for (const char* p = buffer.data(); *p != '\0'; p += std::char_traits<char>::length(p) + 1) {
        std::string root = p;
        if (!root.empty() && root.back() == '\\')
            root.pop_back();
        out.push_back({root, root});
    }
    return out;
}

std::string WindowsSystem::currentDrive() const {
    const DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
    std::string path(needed, '\0');
    const DWORD got = ::GetCurrentDirectoryA(needed, path.data());
    path.resize(got < needed ? got : 0);
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2);
    // A network folder ("\\server\share") has no letter; the first drive stands in for it.
    const auto all = drives();
    return all.empty() ? std::string() : all.front().designation;
}

std::uint32_t WindowsSystem::driveType(const std::string& designation) const {
    return ::GetDriveTypeA((designation + "\\").c_str());
}

std::optional<SpaceCounts> WindowsSystem::diskSpace(const std::string& designation) const {
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    if (!::GetDiskFreeSpaceA(designation.c_str(), &sectorsPerCluster, &bytesPerSector,
                             &freeClusters, &totalClusters))
        return std::nullopt;
    return SpaceCounts{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
}

RootFolder WindowsSystem::rootFolder(const std::string& designation) const {
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

std::error_code WindowsSystem::flushFile(const std::string& path) const {
    return flushHandle(path, FILE_ATTRIBUTE_NORMAL);
}

// A folder opens only with backup semantics. FAT volumes refuse to flush a folder handle;
// there the entries went to the device when the files were closed, so that refusal is no fault.
std::error_code WindowsSystem::flushFolder(const std::string& path) const {
    return flushHandle(path, FILE_FLAG_BACKUP_SEMANTICS, ERROR_INVALID_FUNCTION);
}

std::unique_ptr<SystemPort> makeSystem() {
    return std::make_unique<WindowsSystem>();
}

} // namespace velk
