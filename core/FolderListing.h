#pragma once

#include <string>
#include <system_error>
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

/// A folder's entries, "." and ".." left out, or that it could not be listed in full.
struct FolderListing {
    bool listed = false;
    std::vector<FolderEntry> entries;
    /// Why not, when not listed.
    std::error_code error{};
};

/// Why a folder was not listed in full: the system's reason, or an I/O error where it gave none.
[[nodiscard]] inline std::error_code whyNotListed(const FolderListing& listing) {
    return listing.error ? listing.error : std::make_error_code(std::errc::io_error);
}

} // namespace velk
