#include "FileList.h"

#include "core/FilePattern.h"

namespace velk::ui {

FileList::FileList(const QString& pattern, QWidget* parent) : QListWidget(parent), m_pattern(pattern) {}

void FileList::setPath(const QString& path) {
    m_path = path;
    refresh();
}

void FileList::refresh() {
    clear();
    for (const std::string& name : listFiles(m_path.toStdString(), m_pattern.toStdString()))
        addItem(QString::fromStdString(name));
}

QString FileList::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

} // namespace velk::ui
