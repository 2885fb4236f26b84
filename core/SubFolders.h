#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velk {

/// One entry of a folder, as the system listed it.
struct FolderEntry {
    std::string name;
    bool folder = false;
    /// The system's own hidden mark (Windows keeps one in the entry's attributes).
    bool hidden = false;
    /// A symbolic link that a wipe deletes as a file; `folder` says what it leads to.
    bool link = false;
};

/// A folder as read for the folder list: its entries, or that it could not be listed at all.
struct FolderListing {
    bool listed = false;
    std::vector<FolderEntry> entries;
};

/// The sub-folders the folder list shows for `listing`, in the order shown: folders only,
/// neither hidden nor named with a leading "." (the system folders a card collects), sorted
/// ignoring case, then by their exact names. None when the folder may not be opened: one that
/// could not be listed would open into an empty list that looks like a folder with nothing in it.
[[nodiscard]] std::optional<std::vector<std::string>> shownSubfolders(const FolderListing& listing);

} // namespace velk
