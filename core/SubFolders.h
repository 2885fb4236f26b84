#pragma once

#include "FolderListing.h"

#include <optional>
#include <string>
#include <vector>

namespace velk {

/// The sub-folders the folder list shows for `listing`, in the order shown: folders only,
/// neither hidden nor named with a leading "." (the system folders a card collects), sorted
/// ignoring case, then by their exact names. None when the folder may not be opened: one that
/// could not be listed would open into an empty list that looks like a folder with nothing in it.
[[nodiscard]] std::optional<std::vector<std::string>> shownSubfolders(const FolderListing& listing);

} // namespace velk
