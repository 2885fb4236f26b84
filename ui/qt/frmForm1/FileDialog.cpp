#include "FileDialog.h"

#include "core/Texts.h"

#include <QDir>
#include <QFileDialog>

namespace velk::ui {

namespace {
FileDialog::Answerer& answerer() {
    static FileDialog::Answerer instance;
    return instance;
}
} // namespace

void FileDialog::setAnswerer(Answerer a) { answerer() = std::move(a); }

QString FileDialog::ask(QWidget* parent, Purpose purpose) {
    if (answerer())
        return answerer()(purpose);
    const QString filter = QString::fromUtf8(text::listFilter);
    if (purpose == Purpose::save)
        return QFileDialog::getSaveFileName(parent, QString::fromUtf8(text::saveList), QDir::currentPath(), filter);
    return QFileDialog::getOpenFileName(parent, QString::fromUtf8(text::openList), QDir::currentPath(), filter);
}

} // namespace velk::ui
