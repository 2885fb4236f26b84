#pragma once

#include "core/SubFolders.h"

#include <string>

namespace velk {

/// The entries of a folder, "." and ".." left out, or that it cannot be listed. A link to a
/// folder counts as a folder and is marked a link. Read straight from the system's listing:
/// std::filesystem builds and parses a path for every entry, most of the time a folder of
/// thousands of tracks takes, and on Windows stops at MAX_PATH characters.
[[nodiscard]] FolderListing listFolder(const std::string& utf8);

} // namespace velk
