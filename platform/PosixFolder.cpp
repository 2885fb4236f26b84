#include "Folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace velk {

FolderListing listFolder(const std::string& utf8) {
    FolderListing out;
    DIR* folder = ::opendir(utf8.c_str());
    if (!folder)
        return out;
    out.listed = true;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        const bool link = entry->d_type == DT_LNK;
        // Only a link, or a file system that gives no kinds, costs a look at the entry itself.
        if (link || entry->d_type == DT_UNKNOWN) {
            struct stat target {};
            isFolder = ::fstatat(::dirfd(folder), entry->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
        }
        out.entries.push_back({name, isFolder, false, link});
    }
    ::closedir(folder);
    return out;
}

} // namespace velk
