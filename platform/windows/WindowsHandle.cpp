#include "WindowsHandle.h"

#include "WindowsText.h"

#include <cstdio>
#include <vector>

namespace velk {

std::optional<FileId> identify(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info))
        return std::nullopt;
    FileId id;
    char serial[10];
    std::snprintf(serial, sizeof serial, "%08lX",
                  static_cast<unsigned long>(info.dwVolumeSerialNumber));
    id.volume = serial;
    id.index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    std::wstring final(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(
            h, final.data(), static_cast<DWORD>(final.size()), VOLUME_NAME_GUID);
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

std::optional<EntryStamp> stampOf(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    const std::optional<FileId> id = identify(h);
    if (!id || !::GetFileInformationByHandle(h, &info))
        return std::nullopt;
    return EntryStamp{
        *id, (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
        static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                  info.ftLastWriteTime.dwLowDateTime)};
}

std::wstring volumeRoot(const std::wstring& path) {
    std::vector<wchar_t> root(path.size() + MAX_PATH + 1);
    if (!::GetVolumePathNameW(path.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return {};
    return root.data();
}

} // namespace velk
