#pragma once

// For the Windows suites: what a program file carries, read back with the system's own
// resource functions, as Explorer and Windows read it.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <windows.h>
#include <winver.h>

namespace velk::test {

/// One of the version strings (ProductName, FileVersion, ...) of `exe`; empty when it has none.
inline std::wstring versionString(const std::filesystem::path& exe, const wchar_t* name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(exe.c_str(), 0, size, data.data()))
        return {};
    // The strings are kept under their language and code page, which the first translation names.
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return {};
    wchar_t block[32];
    swprintf(block, 32, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    wchar_t* value = nullptr;
    const std::wstring key = block + std::wstring(name);
    if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
        return {};
    return std::wstring(value, length > 0 ? length - 1 : 0);
}

/// The bytes of the resource `type`/`name` of `exe`; empty when it has none.
inline std::string resourceBytes(const std::filesystem::path& exe, LPCWSTR type, LPCWSTR name) {
    const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return {};
    std::string bytes;
    if (const HRSRC found = FindResourceW(module, name, type)) {
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        if (data)
            bytes.assign(data, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return bytes;
}

} // namespace velk::test
