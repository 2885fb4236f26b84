#include "WindowsSystem.h"

#include "WindowsHandle.h"
#include "WindowsPath.h"
#include "WindowsText.h"
#include "core/CardMonitor.h"
#include "core/PlatformTexts.h"
#include "platform/Folders.h"
#include "platform/System.h"

#include <cctype>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velk {

namespace {

/// The label of a volume, or nothing; asked only off the window's thread.
std::string volumeLabel(const std::string& root) {
    wchar_t volume[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationW(widen(root).c_str(), volume, MAX_PATH + 1, nullptr, nullptr,
                                 nullptr, nullptr, 0))
        return {};
    return narrow(volume);
}

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
    program.resize(
        ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    folders.push_back(program);
    return folders;
}

} // namespace

// The destination's space is asked at every tick of the monitor, which may share this system
// with threads that ask other drives.
struct WindowsSystem::LargeCards {
    std::mutex mutex;
    std::set<std::string> designations;
};

WindowsSystem::WindowsSystem()
    : m_labels(volumeLabel), m_largeCards(std::make_shared<LargeCards>()) {}

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
            label += text::driveDetailOpen + std::string(text::driveNotAnswering) +
                     text::driveDetailClose;
        const UINT type = ::GetDriveTypeW(root);
        if (type == DRIVE_FIXED) {
            fixedRoots.push_back(narrow(root));
            if (const std::string volume = m_labels.label(fixedRoots.back()); !volume.empty())
                label += " [" + volume + "]";
        } else if (type == DRIVE_REMOVABLE) {
            const std::lock_guard lock(m_largeCards->mutex);
            if (m_largeCards->designations.contains(designation))
                label += std::string(text::driveDetailOpen) + text::driveCardTooLarge +
                         text::driveDetailClose;
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
        (!volume.empty() &&
         (volume.size() != root.size() || driveLetterOf(volume) != driveLetterOf(widen(root)))))
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
    const bool answered = ::GetDiskFreeSpaceA(designation.c_str(), &sectorsPerCluster,
                                              &bytesPerSector, &freeClusters, &totalClusters);
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

RootFolder WindowsSystem::rootFolder(const std::string& designation) const {
    return rootOf(designation);
}

std::optional<RootFolder> WindowsSystem::sourceRoot(const std::string& designation) const {
    return m_sourceRoots.answer(designation,
                                [designation] { return listableRoot(rootOf(designation)); });
}

bool WindowsSystem::onRemovableMedia(const std::string& folder) const {
    const std::wstring root = volumeRoot(longPath(folder));
    return !root.empty() && ::GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE;
}

std::string WindowsSystem::dataFolder() const {
    std::wstring folder(32768, L'\0');
    folder.resize(::GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(),
                                            static_cast<DWORD>(folder.size())));
    return folder.empty() ? std::string() : narrow(folder) + "\\velk-assembler";
}

std::unique_ptr<SystemPort> makeSystem() {
    return std::make_unique<WindowsSystem>();
}

} // namespace velk
