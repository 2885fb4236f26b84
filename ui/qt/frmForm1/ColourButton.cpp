#include "ColourButton.h"

#include "Layout.h"

namespace velk::ui {

ColourButton::ColourButton(const QString& caption, std::uint32_t colour, QWidget* parent)
    : WrapButton(caption, parent) {
    setBackColour(colour);
}

void ColourButton::setBackColour(std::uint32_t colour) {
    if (colour == m_colour)
        return;
    m_colour = colour;
    setProperty("backColour", static_cast<uint>(colour));
    // A style sheet is the one way every Qt style honours a push button's face colour.
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid palette(dark);"
                                 " border-radius: 2px; } QPushButton:pressed { border-style: inset; }")
                      .arg(toQColor(colour).name()));
}

} // namespace velk::ui
