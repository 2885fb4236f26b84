#include "DriveList.h"

#include "ui/qt/widgets/Guarded.h"

#include "core/SystemPort.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolTip>

namespace velk::qt {

DriveList::DriveList(const SystemPort& system, QWidget* parent)
    : QComboBox(parent), m_system(system) {
    refill();
    setDrive(QString::fromStdString(m_system.currentDrive()));
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_choice.pick(index))
            emit Change();
    });
}

QString DriveList::drive() const {
    return QString::fromStdString(m_choice.drive());
}

void DriveList::setDrive(const QString& designation) {
    const bool other = m_choice.choose(designation.toStdString());
    showRows();
    if (other)
        emit Change();
}

void DriveList::showPopup() {
    guarded(this, [this] { refill(); });
    fitPopup();
    m_open = true;
    QComboBox::showPopup();
}

void DriveList::hidePopup() {
    m_open = false;
    QComboBox::hidePopup();
}

void DriveList::refresh() {
    if (!m_open)
        refill();
}

bool DriveList::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip)
        return QComboBox::event(e);
    guarded(this, [this] { refresh(); });
    const QString tip =
        currentText().isEmpty() ? toolTip() : toolTip() + QLatin1Char('\n') + currentText();
    QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), tip, this);
    return true;
}

void DriveList::refill() {
    m_choice.fill(m_system.drives());
    showRows();
}

void DriveList::showRows() {
    QSignalBlocker quiet(this);
    clear();
    for (const DriveEntry& entry : m_choice.rows()) {
        const QString label = QString::fromStdString(entry.label);
        addItem(label, QString::fromStdString(entry.designation));
        setItemData(count() - 1, label, Qt::ToolTipRole);
    }
    setCurrentIndex(m_choice.chosenRow());
}

// Sized only when it opens: the open list is a view of its own, which the closed box never needs.
void DriveList::fitPopup() {
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(i)));
    // Room for the text, the item's margins and a scroll bar, so no entry is cut off.
    const int margins = 4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) +
                        2 * view()->frameWidth() + view()->verticalScrollBar()->sizeHint().width() +
                        8;
    view()->setMinimumWidth(widest + margins);
}

} // namespace velk::qt
