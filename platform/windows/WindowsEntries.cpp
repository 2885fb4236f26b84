#include "SharingRetry.h"
#include "WindowsHandle.h"
#include "WindowsPath.h"
#include "WindowsSystem.h"
#include "WindowsText.h"
#include "platform/Folders.h"

// Every name goes through longPath: with its "\\?\" prefix the W functions take paths past
// MAX_PATH characters without the system-wide long-path policy.
namespace velk {

namespace {

bool isMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::error_code done(BOOL result) {
    return result ? std::error_code() : lastError();
}

} // namespace

FolderListing WindowsSystem::listFolder(const std::string& folder) const {
    return velk::listFolder(folder);
}

// A reparse point on a folder (a link or a junction) is taken for the folder, as the folder
// listing takes it; a link followed to nothing is missing, as on POSIX.
EntryKind WindowsSystem::entryKind(const std::string& path, bool followLink,
                                   std::error_code& ec) const {
    ec.clear();
    const std::wstring name = longPath(path);
    DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!isMissing(::GetLastError()))
            ec = lastError();
        return EntryKind::missing;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return EntryKind::folder;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return EntryKind::file;
    if (!followLink)
        return EntryKind::link;
    const Handle h(::CreateFileW(name.c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h || !::GetFileInformationByHandle(h.get(), &info)) {
        if (!isMissing(::GetLastError()))
            ec = lastError();
        return EntryKind::missing;
    }
    attributes = info.dwFileAttributes;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::folder : EntryKind::file;
}

std::optional<std::string> WindowsSystem::finalPath(const std::string& path) const {
    const Handle h(::CreateFileW(longPath(path).c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h)
        return std::nullopt;
    std::wstring final(::GetFinalPathNameByHandleW(h.get(), nullptr, 0, VOLUME_NAME_DOS), L'\0');
    if (final.empty())
        return std::nullopt;
    final.resize(::GetFinalPathNameByHandleW(h.get(), final.data(),
                                             static_cast<DWORD>(final.size()), VOLUME_NAME_DOS));
    if (final.empty())
        return std::nullopt;
    // The prefix is how the system answers, not part of the name the operator knows.
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
        final = L"\\\\" + final.substr(8);
    else if (final.rfind(L"\\\\?\\", 0) == 0)
        final = final.substr(4);
    return narrow(final);
}

// The system refuses to delete a read-only file; a card's files are deleted whatever their
// attributes.
std::error_code WindowsSystem::removeFile(const std::string& path,
                                          const std::function<void()>& betweenTries) const {
    const std::wstring name = longPath(path);
    const auto remove = [&] {
        return retryWhileShared([&] { return ::DeleteFileW(name.c_str()) != FALSE; }, betweenTries);
    };
    if (remove())
        return {};
    const std::error_code refused = lastError();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (refused.value() != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_READONLY) == 0)
        return refused;
    if (!::SetFileAttributesW(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return refused;
    return remove() ? std::error_code() : lastError();
}

std::error_code WindowsSystem::removeFolder(const std::string& path) const {
    return done(::RemoveDirectoryW(longPath(path).c_str()));
}

// Without MOVEFILE_REPLACE_EXISTING a name that appeared since is refused, not replaced.
std::error_code WindowsSystem::moveEntry(const std::string& from, const std::string& to) const {
    return done(::MoveFileExW(longPath(from).c_str(), longPath(to).c_str(), 0));
}

bool WindowsSystem::makeFolder(const std::string& path, std::error_code& ec) const {
    ec.clear();
    const std::wstring name = longPath(path);
    if (::CreateDirectoryW(name.c_str(), nullptr))
        return true;
    const std::error_code refused = lastError();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (refused.value() != ERROR_ALREADY_EXISTS || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        ec = refused;
    return false;
}

} // namespace velk
