#include "Outline.h"

#include <QPainter>

namespace velk::qt {

namespace {
constexpr int penWidth = 3;
}

Outline::Outline(bool isLine, QWidget* parent) : QWidget(parent), m_isLine(isLine) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

Outline* Outline::rectangle(const QRect& box, QWidget* parent) {
    auto* outline = new Outline(false, parent);
    outline->setGeometry(box);
    return outline;
}

Outline* Outline::line(QPoint from, QPoint to, QWidget* parent) {
    auto* outline = new Outline(true, parent);
    // The line's centre runs along the given points.
    QRect box = QRect(from, to).normalized();
    box.adjust(-penWidth / 2, -penWidth / 2, penWidth / 2, penWidth / 2);
    outline->setGeometry(box);
    return outline;
}

void Outline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor ink = palette().color(QPalette::WindowText);
    if (m_isLine) {
        painter.fillRect(rect(), ink);
        return;
    }
    const QRect r = rect();
    painter.fillRect(QRect(r.left(), r.top(), r.width(), penWidth), ink);
    painter.fillRect(QRect(r.left(), r.bottom() - penWidth + 1, r.width(), penWidth), ink);
    painter.fillRect(QRect(r.left(), r.top(), penWidth, r.height()), ink);
    painter.fillRect(QRect(r.right() - penWidth + 1, r.top(), penWidth, r.height()), ink);
}

} // namespace velk::qt
