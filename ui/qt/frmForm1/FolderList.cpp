#include "FolderList.h"

#include "ui/qt/widgets/PngPicture.h"

#include "platform/Folders.h"

#include <QStyle>

namespace velk::qt {

namespace {
// The row of core's FolderView that an item shows.
constexpr int rowRole = Qt::UserRole;

// Qt's own folder pictures, which the style falls back to: asking the style first searches
// the icon themes, thousands of file look-ups at every start.
QIcon folderIcon(const QString& builtIn, QStyle::StandardPixmap standard, const QStyle& style) {
    const QPixmap picture = pngPicture(builtIn);
    return picture.isNull() ? style.standardIcon(standard) : QIcon(picture);
}

} // namespace

FolderList::FolderList(QWidget* parent)
    : QTreeWidget(parent),
      m_open(folderIcon(QStringLiteral(":/qt-project.org/styles/commonstyle/images/diropen-16.png"),
                        QStyle::SP_DirOpenIcon, *style())),
      m_closed(
          folderIcon(QStringLiteral(":/qt-project.org/styles/commonstyle/images/dirclosed-16.png"),
                     QStyle::SP_DirClosedIcon, *style())),
      m_view(listFolder) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(10);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    // One line of one face each: measuring one row spares measuring thousands of folders.
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        opened(m_view.openRow(item->data(0, rowRole).toInt()));
    });
}

bool FolderList::setPath(const QString& path) {
    return opened(m_view.open(path.toStdString()));
}

bool FolderList::opened(FolderView::Opened result) {
    if (result == FolderView::Opened::changed) {
        rebuild();
        emit Change();
    }
    return result != FolderView::Opened::refused;
}

void FolderList::rebuild() {
    clear();
    const std::vector<FolderRow>& rows = m_view.rows();
    const int current = m_view.currentRow();
    // The chain of open folders, root first, each nested in the one above it; then the open
    // folder's sub-folders, added in one insertion so that the view lays out once, not once a
    // folder.
    QTreeWidgetItem* parentItem = nullptr;
    QList<QTreeWidgetItem*> subfolders;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const bool chain = i <= current;
        auto* item = !chain       ? new QTreeWidgetItem
                     : parentItem ? new QTreeWidgetItem(parentItem)
                                  : new QTreeWidgetItem(this);
        item->setText(0, QString::fromStdString(rows[static_cast<std::size_t>(i)].name));
        item->setIcon(0, chain ? m_open : m_closed);
        item->setData(0, rowRole, i);
        if (chain)
            parentItem = item;
        else
            subfolders.append(item);
    }
    parentItem->addChildren(subfolders);
    // Only the chain opens: expanding the whole tree walked every one of thousands of folders.
    for (QTreeWidgetItem* open = parentItem; open; open = open->parent())
        open->setExpanded(true);
    setCurrentItem(parentItem);
}

} // namespace velk::qt
