#include "WrapButton.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace velk::qt {

WrapButton::WrapButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setAutoDefault(false);
}

void WrapButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    drawCaption(
        painter,
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText),
        text());
}

void WrapButton::drawCaption(QPainter& painter, const QColor& ink, const QString& caption) const {
    painter.setPen(ink);
    const int shift = isDown() ? 1 : 0;
    painter.drawText(rect().adjusted(2 + shift, 2 + shift, -2 + shift, -2 + shift),
                     Qt::AlignCenter | Qt::TextWordWrap, caption);
}

// A push button outside a dialog answers only Space; Return is what a keyboard user tries first.
void WrapButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace velk::qt
