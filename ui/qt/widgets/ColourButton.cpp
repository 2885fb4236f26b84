#include "ColourButton.h"

#include "Layout.h"
#include "core/AccessibleText.h"
#include "core/ReadableColours.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace velk::qt {

ColourButton::ColourButton(const QString& caption, std::uint32_t colour, QWidget* parent)
    : WrapButton(caption, parent) {
    setBackColour(colour);
}

void ColourButton::setBackColour(std::uint32_t colour) {
    if (colour == m_colour)
        return;
    m_colour = colour;
    setProperty("backColour", static_cast<uint>(colour));
    update();
}

void ColourButton::setWord(const QString& word, const QFont& small) {
    if (word == m_word)
        return;
    m_word = word;
    m_small = small;
    update();
}

QString ColourButton::shownCaption() const {
    return qtText(withWordBelow(text().toStdString(), m_word.toStdString()));
}

void ColourButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect face = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(face, toQColor(m_colour));
    // Pressed, the edge reads as sunken: dark above and left, light below and right.
    const QColor dark = palette().color(QPalette::Dark);
    const QColor light = isDown() ? palette().color(QPalette::Light) : dark;
    painter.setPen(dark);
    painter.drawLine(face.topLeft(), face.topRight());
    painter.drawLine(face.topLeft(), face.bottomLeft());
    painter.setPen(light);
    painter.drawLine(face.bottomLeft(), face.bottomRight());
    painter.drawLine(face.topRight(), face.bottomRight());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    if (!m_word.isEmpty())
        painter.setFont(m_small);
    // The face is a fixed colour: the caption takes the ink that stands out from it, not the
    // palette's.
    drawCaption(painter,
                toQColor(isEnabled() ? textColourOn(m_colour) : lockedTextColourOn(m_colour)),
                shownCaption());
}

} // namespace velk::qt
