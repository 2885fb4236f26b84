#include "WindowsHandle.h"
#include "WindowsSystem.h"
#include "WindowsText.h"
#include "core/PlatformTexts.h"

#include <winioctl.h>

namespace velk {

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
        return windowsError(lockError).message();
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

} // namespace velk
