#pragma once

#include "SubFolders.h"

#include <functional>
#include <string>
#include <vector>

namespace velk {

/// One row of the folder list.
struct FolderRow {
    /// As shown: a root whole ("/", "C:\"), any other folder by its own name.
    std::string name;
    /// The folder the row opens, UTF-8.
    std::string path;
    /// Steps in from the root's row.
    int depth = 0;

    bool operator==(const FolderRow&) const = default;
};

/// `utf8` made absolute and plain: no "." or ".." left, and no separator at its end but a
/// root's ("c:\folder\" and "c:\folder" are one folder). Empty when it cannot be made absolute.
[[nodiscard]] std::string cleanFolderPath(const std::string& utf8);

/// The rows of the folder list for the open folder `open` (clean): each folder from the root
/// down to it, each one step further in, then its `subfolders` one step further than it.
[[nodiscard]] std::vector<FolderRow> folderRows(const std::string& open,
                                                const std::vector<std::string>& subfolders);

/// What the folder list shows and which folder it has open. The window draws `rows()` and
/// tells which row the operator opened.
class FolderView {
public:
    /// Reads a folder's entries (platform/Folders.h answers for the system).
    using Lister = std::function<FolderListing(const std::string& utf8)>;
    explicit FolderView(Lister list) : m_list(std::move(list)) {}

    enum class Opened { refused, unchanged, changed };
    /// Opens a folder. A folder that cannot be listed is refused and the open one kept; the
    /// open folder itself, by any spelling, changes nothing.
    [[nodiscard]] Opened open(const std::string& utf8);
    /// Opens the folder of row `index`, as a double-click or Enter on it does; a row that is
    /// not there is refused.
    [[nodiscard]] Opened openRow(int index);

    [[nodiscard]] const std::string& path() const { return m_path; }
    [[nodiscard]] const std::vector<FolderRow>& rows() const { return m_rows; }
    /// The open folder's row, or -1 before any folder opened.
    [[nodiscard]] int currentRow() const { return m_current; }
    /// The entries of the open folder: as read when it opened the first time they are asked
    /// for, read again after. The file list shows the same folder straight after it opens, and
    /// reading a folder of thousands twice doubled the window's start there.
    [[nodiscard]] FolderListing takeListing();

private:
    Lister m_list;
    std::string m_path;
    std::vector<FolderRow> m_rows;
    int m_current = -1;
    FolderListing m_listing;
};

} // namespace velk
