#include "DriveList.h"

#include "core/SystemPort.h"

#include <QSignalBlocker>

namespace velk::ui {

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
    QComboBox::showPopup();
}

void DriveList::refill() {
    QSignalBlocker quiet(this);
    clear();
    for (const DriveEntry& entry : m_system.drives())
        addItem(QString::fromStdString(entry.label), QString::fromStdString(entry.designation));
    if (!m_current.isEmpty()) {
        const int index = findData(m_current);
        if (index < 0)
            addItem(m_current, m_current);
        setCurrentIndex(index < 0 ? count() - 1 : index);
    }
}

} // namespace velk::ui
