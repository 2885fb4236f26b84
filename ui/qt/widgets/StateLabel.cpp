#include "StateLabel.h"

#include "Layout.h"
#include "core/AccessibleText.h"

namespace velk::qt {

StateLabel::StateLabel(QWidget* parent) : QLabel(parent) {}

void StateLabel::setCaption(const QString& caption) {
    m_caption = caption;
    showBoth();
}

void StateLabel::setWord(const QString& word, const QFont& small) {
    m_word = word;
    // An empty font inherits the window's again.
    setFont(word.isEmpty() ? QFont() : small);
    showBoth();
}

void StateLabel::showBoth() {
    const QString shown = qtText(withWordBelow(m_caption.toStdString(), m_word.toStdString()));
    if (text() != shown)
        setText(shown);
}

} // namespace velk::qt
