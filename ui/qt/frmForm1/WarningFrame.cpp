#include "WarningFrame.h"

#include "Layout.h"
#include "core/Colours.h"

namespace velk::ui {

WarningFrame::WarningFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {
    setProperty("backColour", static_cast<uint>(colour::red));
}

void WarningFrame::showEvent(QShowEvent* event) {
    if (styleSheet().isEmpty()) {
        setStyleSheet(
            QStringLiteral("QGroupBox#Frame1 { background-color: %1; border: 1px solid black; margin-top: 0px;"
                           " padding-top: 0px; font: bold 12pt \"MS Sans Serif\"; }"
                           " QGroupBox#Frame1::title { subcontrol-origin: padding; left: 6px; top: 1px;"
                           " color: %2; }")
                .arg(toQColor(colour::red).name(), toQColor(colour::highlight).name()));
    }
    QGroupBox::showEvent(event);
}

} // namespace velk::ui
