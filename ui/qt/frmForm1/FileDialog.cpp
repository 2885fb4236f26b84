#include "FileDialog.h"

#include "core/Texts.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace velk::qt {

// Lists belong among the operator's documents, not in the folder the program started in.
QString FileDialog::startFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

QString FileDialog::ask(QWidget* parent, Purpose purpose) {
    if (s_answerer)
        return s_answerer(purpose);
    const bool save = purpose == Purpose::save;
    QFileDialog dialog(parent, QString::fromUtf8(save ? text::saveList : text::openList),
                       startFolder(), QString::fromUtf8(text::listFilter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // As the Windows chooser does: a name typed without an extension is a .txt list.
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace velk::qt
