#include "PosixEntries.h"

#include "platform/linux/KernelFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace velk {

namespace {

std::error_code done(int result) {
    return result == 0 ? std::error_code() : kernel::lastError();
}

} // namespace

EntryKind posixEntryKind(const std::string& path, bool followLink, std::error_code& ec) {
    ec.clear();
    struct stat st {};
    if ((followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return EntryKind::missing;
        ec = kernel::lastError();
        return EntryKind::missing;
    }
    if (S_ISREG(st.st_mode))
        return EntryKind::file;
    if (S_ISDIR(st.st_mode))
        return EntryKind::folder;
    if (S_ISLNK(st.st_mode))
        return EntryKind::link;
    return EntryKind::other;
}

std::optional<std::string> posixFinalPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::optional<std::string>(resolved.get()) : std::nullopt;
}

std::error_code posixRemoveFile(const std::string& path) {
    return done(::unlink(path.c_str()));
}

std::error_code posixRemoveFolder(const std::string& path) {
    return done(::rmdir(path.c_str()));
}

std::error_code posixMoveEntry(const std::string& from, const std::string& to) {
    return done(std::rename(from.c_str(), to.c_str()));
}

bool posixMakeFolder(const std::string& path, std::error_code& ec) {
    ec.clear();
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    const int error = errno;
    struct stat st {};
    if (error == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return false;
    ec = {error, std::generic_category()};
    return false;
}

} // namespace velk
