#include "platform/Folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace velk {

FolderListing listFolder(const std::string& utf8) {
    FolderListing out;
    DIR* folder = ::opendir(utf8.c_str());
    if (!folder) {
        out.error = {errno, std::generic_category()};
        return out;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        bool link = entry->d_type == DT_LNK;
        // A file system that gives no kinds (some FUSE ones) costs a look at the entry itself.
        struct stat seen {};
        if (entry->d_type == DT_UNKNOWN &&
            ::fstatat(::dirfd(folder), entry->d_name, &seen, AT_SYMLINK_NOFOLLOW) == 0) {
            isFolder = S_ISDIR(seen.st_mode);
            link = S_ISLNK(seen.st_mode);
        }
        // A link is a folder when it leads to one.
        if (link)
            isFolder =
                ::fstatat(::dirfd(folder), entry->d_name, &seen, 0) == 0 && S_ISDIR(seen.st_mode);
        out.entries.push_back({name, isFolder, false, link});
        errno = 0;
    }
    // A folder that fails part-way through is not taken for all of it.
    out.listed = errno == 0;
    if (!out.listed)
        out.error = {errno, std::generic_category()};
    ::closedir(folder);
    return out;
}

} // namespace velk
