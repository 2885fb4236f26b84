#pragma once

#include "core/FolderView.h"

#include <QTreeWidget>

namespace velk::qt {

/// The folders of a path as an indented tree, as core's FolderView lays them out. Activating an
/// entry (double-click or Enter) opens it.
class FolderList : public QTreeWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderList)
public:
    explicit FolderList(QWidget* parent);

    [[nodiscard]] QString path() const { return QString::fromStdString(m_view.path()); }
    /// Opens a folder; returns false (and keeps the old one) when it is not a readable folder.
    bool setPath(const QString& path);
    /// The entries of the open folder (FolderView::takeListing).
    [[nodiscard]] FolderListing takeListing() { return m_view.takeListing(); }

signals:
    /// The open folder changed.
    void Change();

private:
    /// Tells the window when the folder changed; true unless it was refused.
    bool opened(FolderView::Opened result);
    void rebuild();

    QIcon m_open;
    QIcon m_closed;
    FolderView m_view;
};

} // namespace velk::qt
