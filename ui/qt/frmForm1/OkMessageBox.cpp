#include "OkMessageBox.h"

#include "core/Texts.h"

#include <QMessageBox>

namespace velk::ui {

namespace {
OkMessageBox::Answerer& answerer() {
    static OkMessageBox::Answerer instance;
    return instance;
}
} // namespace

void OkMessageBox::setAnswerer(Answerer a) { answerer() = std::move(a); }

void OkMessageBox::show(QWidget* parent, const QString& message) {
    if (answerer()) {
        answerer()(message);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(text::appTitle), message, QMessageBox::Ok,
                    parent);
    box.exec();
}

} // namespace velk::ui
