#pragma once

#include "core/SubFolders.h"
#include "ui/win32/wingui/ListBoxCtrl.h"

#include <functional>
#include <string>
#include <vector>

namespace velk::win32 {

/// The folders of a path as an indented tree: each folder from the root down to the open
/// one, then the open folder's sub-folders, one step further in. A double-click or Enter on
/// an entry opens it.
class FolderList : public ListBoxCtrl {
public:
    using ListBoxCtrl::ListBoxCtrl;

    void create(HWND parent, UINT dpi);
    void place(UINT dpi) const override;

    [[nodiscard]] const std::string& path() const { return m_path; }
    /// Opens a folder; returns false (and keeps the old one) when it is not a folder that can be
    /// listed.
    bool setPath(const std::string& utf8);
    /// The entries of the open folder: as read when it opened the first time they are asked
    /// for, read again after. The file list shows the same folder straight after it opens, and
    /// reading a folder of thousands twice doubled the time it takes to open.
    [[nodiscard]] FolderListing takeListing();
    /// How far in row `index` is drawn, in steps.
    [[nodiscard]] int depth(int index) const;
    /// How far in row `index` is drawn, in pixels.
    [[nodiscard]] int indent(int index) const;
    /// Opens the selected entry, as a double-click or Enter does.
    void openSelected();

    /// The open folder changed.
    std::function<void()> onChange;

protected:
    bool draw(const DRAWITEMSTRUCT& item) override;

private:
    struct Entry {
        std::string path;
        int depth = 0;
    };
    void rebuild(const std::vector<std::string>& subfolders);

    std::string m_path;
    std::vector<Entry> m_entries;
    FolderListing m_listing;
    /// The DPI the list was last placed for, which its indent follows.
    mutable UINT m_dpi = 96;
};

} // namespace velk::win32
