#pragma once

#include "core/SubFolders.h"

#include <QTreeWidget>

#include <string>
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
    /// The entries of the open folder: as read when it opened the first time they are asked
    /// for, read again after. The file list shows the same folder straight after it opens, and
    /// reading a folder of thousands twice doubled the window's start there.
    [[nodiscard]] FolderListing takeListing();

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
