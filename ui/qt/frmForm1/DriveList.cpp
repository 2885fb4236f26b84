#include "DriveList.h"

#include "core/SystemPort.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolTip>

namespace velk::qt {

DriveList::DriveList(const SystemPort& system, QWidget* parent) : QComboBox(parent), m_system(system) {
    refill();
    setDrive(QString::fromStdString(m_system.currentDrive()));
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QString picked = itemData(index).toString();
        if (index < 0 || picked == m_current)
            return;
        m_current = picked;
        emit Change();
    });
}

QString DriveList::drive() const { return m_current; }

void DriveList::setDrive(const QString& designation) {
    int index = findData(designation);
    if (index < 0) {
        QSignalBlocker quiet(this);
        addItem(designation, designation);
        index = count() - 1;
    }
    setCurrentIndex(index);
    m_current = designation;
}

void DriveList::showPopup() {
    refill();
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
    refresh();
    const QString tip = currentText().isEmpty() ? toolTip() : toolTip() + QLatin1Char('\n') + currentText();
    QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), tip, this);
    return true;
}

void DriveList::refill() {
    QSignalBlocker quiet(this);
    clear();
    for (const DriveEntry& entry : m_system.drives()) {
        const QString label = QString::fromStdString(entry.label);
        addItem(label, QString::fromStdString(entry.designation));
        setItemData(count() - 1, label, Qt::ToolTipRole);
    }
    if (!m_current.isEmpty()) {
        const int index = findData(m_current);
        if (index < 0)
            addItem(m_current, m_current);
        setCurrentIndex(index < 0 ? count() - 1 : index);
    }
}

// Sized only when it opens: the open list is a view of its own, which the closed box never needs.
void DriveList::fitPopup() {
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(i)));
    // Room for the text, the item's margins and a scroll bar, so no entry is cut off.
    const int margins = 4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) +
                        2 * view()->frameWidth() + view()->verticalScrollBar()->sizeHint().width() + 8;
    view()->setMinimumWidth(widest + margins);
}

} // namespace velk::qt
