#pragma once

#include "WindowsError.h"
#include "core/SystemPort.h"

#include <optional>
#include <string>
#include <system_error>
#include <utility>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// What the parts of WindowsSystem share: handles, errors and what a handle tells of its file.
namespace velk {

[[nodiscard]] inline std::error_code lastError() {
    return windowsError(::GetLastError());
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

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/// The file a handle has open: its volume's serial number, the volume's GUID name from the
/// handle's final path (the same through a drive letter, a subst letter, a share or a folder
/// the volume is mounted on), and its index on the volume.
[[nodiscard]] std::optional<FileId> identify(HANDLE h);
/// The file a handle has open, with its size and last write.
[[nodiscard]] std::optional<EntryStamp> stampOf(HANDLE h);
/// The root of the volume that holds `path` ("E:\", or a folder where a volume is mounted).
[[nodiscard]] std::wstring volumeRoot(const std::wstring& path);

} // namespace velk
