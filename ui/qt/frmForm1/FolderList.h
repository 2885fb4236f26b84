#pragma once

#include "core/SubFolders.h"

#include <QTreeWidget>

#include <string>
#include <utility>
#include <vector>

namespace velk::qt {

/// The folders of a path as an indented tree: each folder from the root down to the open
/// one, then the open folder's sub-folders. Activating an entry (double-click or Enter)
/// opens it.
class FolderList : public QTreeWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderList)
public:
    explicit FolderList(QWidget* parent);

    [[nodiscard]] QString path() const { return m_path; }
    /// Opens a folder; returns false (and keeps the old one) when it is not a readable folder.
    bool setPath(const QString& path);
    /// The entries of the open folder as read when it opened, handed over once: the file list
    /// shows the same folder straight after, and reading a folder of thousands twice doubled
    /// the window's start there.
    [[nodiscard]] FolderListing takeListing() { return std::exchange(m_listing, {}); }

signals:
    /// The open folder changed.
    void Change();

private:
    void rebuild(const std::vector<std::string>& subfolders);

    QIcon m_open;
    QIcon m_closed;
    QString m_path;
    FolderListing m_listing;
};

} // namespace velk::qt
