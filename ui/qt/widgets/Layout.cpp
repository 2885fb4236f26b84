#include "Layout.h"

#include "core/ReadableColours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace velk::qt {

QColor toQColor(std::uint32_t colour) {
    if (colour & 0x80000000u) {
        const QPalette palette = QApplication::palette();
        switch (colour & 0xFFu) {
        case 5:
            return palette.color(QPalette::Base);
        case 8:
            return palette.color(QPalette::WindowText);
        case 13:
            return palette.color(QPalette::Highlight);
        case 14:
            return palette.color(QPalette::HighlightedText);
        case 15:
            return palette.color(QPalette::Button);
        case 17:
            return palette.color(QPalette::Disabled, QPalette::ButtonText);
        case 18:
            return palette.color(QPalette::ButtonText);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

void paintBack(QWidget* w, QPalette::ColorRole role, std::uint32_t colour) {
    w->setProperty("backColour", static_cast<uint>(colour));
    w->setAutoFillBackground(true);
    QPalette palette = w->palette();
    palette.setColor(role, toQColor(colour));
    palette.setColor(role == QPalette::Base ? QPalette::Text : QPalette::WindowText,
                     toQColor(textColourOn(colour)));
    w->setPalette(palette);
}

bool coloursInWords(const QPalette& palette) {
    const auto rgb = [&palette](QPalette::ColorRole role) {
        const QColor c = palette.color(role);
        return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
               static_cast<std::uint32_t>(c.blue()) << 16;
    };
    // Qt 6.4 tells no high-contrast setting on Linux: a dark palette is what it shows.
    return velk::coloursInWords(false, rgb(QPalette::Window), rgb(QPalette::WindowText));
}

} // namespace velk::qt
