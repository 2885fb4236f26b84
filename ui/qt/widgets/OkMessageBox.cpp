#include "OkMessageBox.h"

#include "core/Texts.h"

#include <QMessageBox>

namespace velk::qt {

void OkMessageBox::show(QWidget* parent, const QString& message) {
    if (s_answerer) {
        s_answerer(message);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(text::appTitle), message,
                    QMessageBox::Ok, parent);
    box.exec();
}

} // namespace velk::qt
