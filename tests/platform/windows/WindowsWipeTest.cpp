// The wipe of a card's root on Windows, where file attributes can stand in its way: it
// removes read-only, hidden and system files too, and leaves folders and what they hold.
#include "core/CardWipe.h"
#include "platform/windows/WindowsSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace velk {
namespace {

bool exists(const wchar_t* path) {
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void makeFile(const wchar_t* path, DWORD attributes) {
    const HANDLE h = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(h, "junk", 4, &written, nullptr));
    ::CloseHandle(h);
    if (attributes != FILE_ATTRIBUTE_NORMAL) {
        ASSERT_TRUE(::SetFileAttributesW(path, attributes));
    }
}

TEST(WindowsWipe, RemovesFilesWhateverTheirAttributesAndKeepsFolders) {
    if (::GetDriveTypeA("E:\\") != DRIVE_REMOVABLE)
        GTEST_SKIP() << "E: is no removable drive here; the test runs under Wine";
    // What an earlier run left on E:, read-only or not, goes first. An empty root cannot be
    // iterated here, hence the error codes.
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(L"E:\\", ec), end; !ec && it != end; it.increment(ec))
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::vector<fs::path> left;
    for (fs::directory_iterator it(L"E:\\", ec), end; !ec && it != end; it.increment(ec))
        left.push_back(it->path());
    for (const fs::path& p : left)
        fs::remove_all(p, ec);
    const struct {
        const wchar_t* path;
        DWORD attributes;
    } files[] = {
        {L"E:\\plain.mp3", FILE_ATTRIBUTE_NORMAL},
        {L"E:\\readonly.mp3", FILE_ATTRIBUTE_READONLY},
        {L"E:\\hidden.dat", FILE_ATTRIBUTE_HIDDEN},
        {L"E:\\system.dat", FILE_ATTRIBUTE_SYSTEM},
        {L"E:\\all.dat", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {L"E:\\INDEX123.VKM", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
    };
    ASSERT_TRUE(::CreateDirectoryW(L"E:\\Folder", nullptr));
    ASSERT_TRUE(::CreateDirectoryW(L"E:\\ReadOnlyFolder", nullptr));
    makeFile(L"E:\\Folder\\inside.mp3", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(::SetFileAttributesW(L"E:\\ReadOnlyFolder", FILE_ATTRIBUTE_READONLY));
    for (const auto& f : files)
        makeFile(f.path, f.attributes);
    // A read-only file is what Windows refuses to delete; make sure this one really is.
    ASSERT_TRUE(::GetFileAttributesW(L"E:\\readonly.mp3") & FILE_ATTRIBUTE_READONLY);

    const WindowsSystem system;
    wipeRoot(system, "E:\\", rootEntries(system, "E:\\"));

    for (const auto& f : files)
        EXPECT_FALSE(exists(f.path)) << static_cast<const void*>(f.path);
    EXPECT_TRUE(exists(L"E:\\Folder\\inside.mp3"));
    EXPECT_TRUE(::GetFileAttributesW(L"E:\\Folder\\inside.mp3") & FILE_ATTRIBUTE_READONLY)
        << "what a folder holds is left as it was";
    EXPECT_TRUE(exists(L"E:\\ReadOnlyFolder"));
}

} // namespace
} // namespace velk
