#include "WindowsHandle.h"
#include "WindowsSystem.h"
#include "WindowsText.h"

#include <cstdio>
#include <memory>

namespace velk {

namespace {

std::string hex(DWORD value) {
    char text[10];
    std::snprintf(text, sizeof text, "%04lX-%04lX", (value >> 16) & 0xFFFFUL, value & 0xFFFFUL);
    return text;
}

/// A named mutex in the session-wide namespace, held open for as long as the run lasts.
class VolumeLock : public CardLock {
public:
    explicit VolumeLock(HANDLE h) : m_h(h) {}

private:
    Handle m_h;
};

} // namespace

// The serial number is what Windows itself tells volumes by; the volume's GUID name, where
// the volume has one, and its size tell apart two cards formatted with the same serial.
std::optional<CardIdentity> WindowsSystem::cardIdentity(const std::string& root) const {
    const std::wstring volume = volumeRoot(widen(root));
    DWORD serial = 0;
    wchar_t fileSystem[MAX_PATH + 1] = {};
    wchar_t label[MAX_PATH + 1] = {};
    if (volume.empty() || !::GetVolumeInformationW(volume.c_str(), label, MAX_PATH + 1, &serial,
                                                   nullptr, nullptr, fileSystem, MAX_PATH + 1))
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

// Keyed by the volume's GUID name, so every path to the card meets the same lock; by its
// serial number where the volume has no such name.
std::unique_ptr<CardLock> WindowsSystem::lockCard(const std::string& root,
                                                  std::error_code& ec) const {
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
        ec = h || error == ERROR_ACCESS_DENIED
                 ? std::make_error_code(std::errc::device_or_resource_busy)
                 : windowsError(error);
        return nullptr;
    }
    ec.clear();
    return std::make_unique<VolumeLock>(h);
}

} // namespace velk
