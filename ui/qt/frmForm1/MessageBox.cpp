#include "MessageBox.h"

#include "core/Texts.h"

#include <QMessageBox>

namespace velk::ui {

namespace {
MessageBox::Answerer& answerer() {
    static MessageBox::Answerer instance;
    return instance;
}
} // namespace

void MessageBox::setAnswerer(Answerer a) { answerer() = std::move(a); }

void MessageBox::show(QWidget* parent, const QString& message) {
    if (answerer()) {
        answerer()(message);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(text::appTitle), message, QMessageBox::Ok,
                    parent);
    box.exec();
}

} // namespace velk::ui
