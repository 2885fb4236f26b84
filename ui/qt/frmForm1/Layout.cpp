#include "Layout.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace velk::qt {

QColor toQColor(std::uint32_t colour) {
    if (colour & 0x80000000u) {
        const QPalette palette = QApplication::palette();
        switch (colour & 0xFFu) {
        case 8: return palette.color(QPalette::WindowText);
        case 13: return palette.color(QPalette::Highlight);
        case 15: return palette.color(QPalette::Button);
        default: return palette.color(QPalette::Window);
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
    w->setPalette(palette);
}

} // namespace velk::qt
