#include "FileList.h"

#include "FolderList.h"

#include "core/FilePattern.h"
#include "platform/Folders.h"

#include <utility>

namespace velk::qt {

FileList::FileList(const QString& pattern, QWidget* parent)
    : QListWidget(parent), m_pattern(pattern) {
    // Measuring each of thousands of names before the window shows takes longer than reading the
    // folder: the view lays its rows out a batch at a time while the window is already up.
    setLayoutMode(QListView::Batched);
}

void FileList::setPath(const QString& path) {
    show(path, m_folders && m_folders->path() == path ? m_folders->takeListing()
                                                      : listFolder(path.toStdString()));
}

void FileList::show(const QString& path, FolderListing listing) {
    m_path = path;
    clear();
    QStringList names;
    for (const std::string& name : filesShown(std::move(listing), m_pattern.toStdString()))
        names.append(QString::fromStdString(name));
    // One insertion, so the view lays out once rather than once a row.
    addItems(names);
}

QString FileList::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

} // namespace velk::qt
