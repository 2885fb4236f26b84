#include "FileList.h"

#include "core/FilePattern.h"
#include "platform/Folders.h"

namespace velk::qt {

FileList::FileList(const QString& pattern, QWidget* parent) : QListWidget(parent), m_pattern(pattern) {
    // Measuring each of thousands of names before the window shows takes longer than reading the
    // folder: the view lays its rows out a batch at a time while the window is already up.
    setLayoutMode(QListView::Batched);
}

void FileList::setPath(const QString& path) {
    m_path = path;
    refresh();
}

void FileList::refresh() {
    clear();
    QStringList names;
    for (const std::string& name : filesShown(listFolder(m_path.toStdString()), m_pattern.toStdString()))
        names.append(QString::fromStdString(name));
    // One insertion, so the view lays out once rather than once a row.
    addItems(names);
}

QString FileList::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

} // namespace velk::qt
