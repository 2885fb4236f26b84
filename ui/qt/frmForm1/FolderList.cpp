#include "FolderList.h"

#include "PngPicture.h"

#include "core/SubFolders.h"
#include "platform/Folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include <utility>


namespace velk::qt {

namespace {
constexpr int pathRole = Qt::UserRole;

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
      m_closed(folderIcon(QStringLiteral(":/qt-project.org/styles/commonstyle/images/dirclosed-16.png"),
                          QStyle::SP_DirClosedIcon, *style())) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(10);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    // One line of one face each: measuring one row spares measuring thousands of folders.
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { setPath(item->data(0, pathRole).toString()); });
}

bool FolderList::setPath(const QString& path) {
    FolderListing listing = listFolder(path.toStdString());
    const std::optional<std::vector<std::string>> subfolders = shownSubfolders(listing);
    if (!subfolders)
        return false;
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (clean == m_path)
        return true;
    m_path = clean;
    m_listing = std::move(listing);
    rebuild(*subfolders);
    emit Change();
    return true;
}

FolderListing FolderList::takeListing() {
    FolderListing listing = std::exchange(m_listing, {});
    return listing.listed ? listing : listFolder(m_path.toStdString());
}

void FolderList::rebuild(const std::vector<std::string>& subfolders) {
    clear();

    // The chain of open folders, root first, each nested in the one above it.
    QStringList chain;
    for (QDir dir(m_path);; ) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    QTreeWidgetItem* parentItem = nullptr;
    for (const QString& folder : chain) {
        const QString name = QDir(folder).isRoot() ? QDir::toNativeSeparators(folder) : QFileInfo(folder).fileName();
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, name);
        item->setIcon(0, m_open);
        item->setData(0, pathRole, folder);
        parentItem = item;
    }
    const QDir current(m_path);
    QList<QTreeWidgetItem*> items;
    for (const std::string& utf8 : subfolders) {
        const QString name = QString::fromStdString(utf8);
        auto* item = new QTreeWidgetItem;
        item->setText(0, name);
        item->setIcon(0, m_closed);
        item->setData(0, pathRole, current.filePath(name));
        items.append(item);
    }
    // One insertion, so the view lays out once rather than once a folder.
    parentItem->addChildren(items);
    // Only the chain opens: expanding the whole tree walked every one of thousands of folders.
    for (QTreeWidgetItem* open = parentItem; open; open = open->parent())
        open->setExpanded(true);
    setCurrentItem(parentItem);
}

} // namespace velk::qt
