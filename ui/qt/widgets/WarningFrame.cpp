#include "WarningFrame.h"

#include "Layout.h"

namespace velk::qt {

WarningFrame::WarningFrame(const QString& title, std::uint32_t back, std::uint32_t captionColour,
                           QWidget* parent)
    : QGroupBox(title, parent), m_back(back), m_captionColour(captionColour) {
    setProperty("backColour", static_cast<uint>(back));
}

void WarningFrame::showEvent(QShowEvent* event) {
    if (styleSheet().isEmpty()) {
        setStyleSheet(
            QStringLiteral(
                "QGroupBox#Frame1 { background-color: %1; border: 1px solid black; margin-top: 0px;"
                " padding-top: 0px; font: bold 12pt \"MS Sans Serif\"; }"
                " QGroupBox#Frame1::title { subcontrol-origin: padding; left: 6px; top: 1px;"
                " color: %2; }")
                .arg(toQColor(m_back).name(), toQColor(m_captionColour).name()));
    }
    QGroupBox::showEvent(event);
}

} // namespace velk::qt
