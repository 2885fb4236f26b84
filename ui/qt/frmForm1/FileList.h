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
    /// The folder list whose open folder this list is pointed at: its listing is taken rather
    /// than the folder read again.
    void followFolderList(FolderList* folders) { m_folders = folders; }
    /// The selected file's name, or empty.
    [[nodiscard]] QString fileName() const;

private:
    void show(const QString& path, FolderListing listing);

    QString m_pattern;
    QString m_path;
    FolderList* m_folders = nullptr;
};

} // namespace velk::qt
