#include "WindowsPath.h"

#include "WindowsError.h"
#include "WindowsText.h"
#include "platform/Folders.h"
#include "platform/HelpFolder.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace velk {

std::wstring longPath(const std::string& utf8) {
    const std::wstring path = widen(utf8);
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0)
        return path;
    std::wstring full(::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return L"\\\\?\\" + full;
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return full.empty() ? path : full;
}

FolderListing listFolder(const std::string& utf8) {
    const std::wstring folder = longPath(utf8);
    std::wstring pattern = folder;
    if (!pattern.empty() && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    FolderListing out;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        // An empty drive root has not even "." and "..": the search there finds nothing rather
        // than fail. Wine says the same of a missing folder, hence the look at what the path is.
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        out.listed = error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
                     (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!out.listed)
            out.error = windowsError(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
        return out;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        out.entries.push_back({narrow(name),
                               (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                               (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0});
    } while (::FindNextFileW(search, &found));
    // A folder that fails part-way through is not taken for all of it.
    const DWORD error = ::GetLastError();
    out.listed = error == ERROR_NO_MORE_FILES;
    if (!out.listed)
        out.error = windowsError(error);
    ::FindClose(search);
    return out;
}

std::filesystem::path programFile() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

} // namespace velk
