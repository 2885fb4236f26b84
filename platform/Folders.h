#pragma once

#include "core/FolderListing.h"
#include "core/SystemPort.h"

#include <string>

namespace velk {

/// The entries of a folder, "." and ".." left out, or that it could not be listed in full. A
/// link to a folder counts as a folder. A symbolic link is marked a link where the wipe deletes
/// it as a file (POSIX); on Windows the C++ library, and so the wipe, takes a link or junction
/// to a folder for the folder, and no entry is marked. Read straight from the system's listing:
/// std::filesystem builds and parses a path for every entry, most of the time a folder of
/// thousands of tracks takes, and on Windows stops at MAX_PATH characters.
[[nodiscard]] FolderListing listFolder(const std::string& utf8);

/// `root` when its folder can be listed, else `failed`: a root the system names may be gone
/// (unmounted since the list was filled) or unreadable. It touches the drive, so it may wait
/// for as long as the drive does: systems call it off the window's thread.
[[nodiscard]] RootFolder listableRoot(RootFolder root);

} // namespace velk
