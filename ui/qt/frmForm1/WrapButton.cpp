#include "WrapButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace velk::ui {

WrapButton::WrapButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setAutoDefault(false);
}

void WrapButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const int shift = isDown() ? 1 : 0;
    painter.drawText(rect().adjusted(2 + shift, 2 + shift, -2 + shift, -2 + shift),
                     Qt::AlignCenter | Qt::TextWordWrap, text());
}

} // namespace velk::ui
