#pragma once

#include <QListWidget>

namespace velk::qt {

/// The files of one folder that match a pattern ("*.mp3;*.nvr"), ignoring case, sorted.
class FileList : public QListWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileList)
public:
    FileList(const QString& pattern, QWidget* parent);

    [[nodiscard]] QString path() const { return m_path; }
    /// Points the list at a folder and re-reads it; an unreadable folder lists nothing.
    void setPath(const QString& path);
    void refresh();
    /// The selected file's name, or empty.
    [[nodiscard]] QString fileName() const;

private:
    QString m_pattern;
    QString m_path;
};

} // namespace velk::qt
