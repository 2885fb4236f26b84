#pragma once

#include "core/SubFolders.h"

#include <QListWidget>

namespace velk::qt {

class FolderList;

/// The files of one folder that match a pattern ("*.mp3;*.nvr"), ignoring case, sorted.
class FileList : public QListWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileList)
public:
    FileList(const QString& pattern, QWidget* parent);

    [[nodiscard]] QString path() const { return m_path; }
    /// Points the list at a folder and reads it; an unreadable folder lists nothing.
    void setPath(const QString& path);
    /// Points the list at the folder that `folders` has open, with the entries it read there.
    void showFolderOf(FolderList& folders);
    /// The selected file's name, or empty.
    [[nodiscard]] QString fileName() const;

private:
    void show(const QString& path, FolderListing listing);

    QString m_pattern;
    QString m_path;
};

} // namespace velk::qt
