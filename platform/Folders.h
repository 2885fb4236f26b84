#pragma once

#include "core/SubFolders.h"

#include <string>

namespace velk {

/// The entries of a folder, "." and ".." left out, or that it could not be listed in full. A
/// link to a folder counts as a folder. A symbolic link is marked a link where the wipe deletes
/// it as a file (POSIX); on Windows the C++ library, and so the wipe, takes a link or junction
/// to a folder for the folder, and no entry is marked. Read straight from the system's listing:
/// std::filesystem builds and parses a path for every entry, most of the time a folder of
/// thousands of tracks takes, and on Windows stops at MAX_PATH characters.
[[nodiscard]] FolderListing listFolder(const std::string& utf8);

} // namespace velk
