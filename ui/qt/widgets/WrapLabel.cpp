#include "WrapLabel.h"

#include "core/TextFit.h"

#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace velk::qt {

namespace {

QTextOption wrapping() {
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

} // namespace

WrapLabel::WrapLabel(QWidget* parent) : QLabel(parent) {}

QString WrapLabel::shownText() const {
    const QRectF box = contentsRect();
    const auto fits = [&](const std::string& text) {
        QTextLayout layout(QString::fromStdString(text), font());
        layout.setTextOption(wrapping());
        qreal height = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(box.width());
            height += line.height();
        }
        layout.endLayout();
        return height <= box.height();
    };
    return QString::fromStdString(elideMiddle(text().toStdString(), fits));
}

void WrapLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(contentsRect()), shownText(), wrapping());
}

} // namespace velk::qt
