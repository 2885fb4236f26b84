#pragma once

#include "core/FolderView.h"
#include "platform/Folders.h"
#include "ui/win32/wingui/ListBoxCtrl.h"

#include <functional>
#include <string>

namespace velk::win32 {

/// The folders of a path as an indented tree, as core's FolderView lays them out: each row drawn
/// as far in as its depth. A double-click or Enter on an entry opens it.
class FolderList : public ListBoxCtrl {
public:
    using ListBoxCtrl::ListBoxCtrl;

    void create(HWND parent, UINT dpi);
    void place(UINT dpi) const override;

    [[nodiscard]] const std::string& path() const { return m_view.path(); }
    /// Opens a folder; returns false (and keeps the old one) when it is not a folder that can be
    /// listed.
    bool setPath(const std::string& utf8);
    /// The entries of the open folder (FolderView::takeListing).
    [[nodiscard]] FolderListing takeListing() { return m_view.takeListing(); }
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
    /// Tells the window when the folder changed; true unless it was refused.
    bool opened(FolderView::Opened result);
    void rebuild();

    /// The system's own listing, as the C runtime's stops at MAX_PATH characters.
    FolderView m_view{listFolder};
    /// The DPI the list was last placed for, which its indent follows.
    mutable UINT m_dpi = 96;
};

} // namespace velk::win32
