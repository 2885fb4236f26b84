#pragma once

#include "core/DriveChoice.h"

#include <QComboBox>

namespace velk {
class SystemPort;
}

namespace velk::qt {

/// A drop-down list of the machine's drives. Its text is the selected drive's designation;
/// it re-reads the drives each time it opens, so a reader plugged in later appears, and keeps
/// the chosen one as core's DriveChoice says. Entries
/// are longer than the closed box: the open list is as wide as the longest, and hovering
/// over the box shows the selected one in full below the box's own tooltip.
class DriveList : public QComboBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DriveList)
public:
    DriveList(const SystemPort& system, QWidget* parent);

    [[nodiscard]] QString drive() const;
    /// Selects a drive by designation (adding it when the list does not know it); another drive
    /// than the one selected is a change.
    void setDrive(const QString& designation);
    void showPopup() override;
    void hidePopup() override;
    /// Reads the drives again, unless the list is open.
    void refresh();

signals:
    /// The selection moved to a different drive.
    void Change();

protected:
    bool event(QEvent* e) override;

private:
    void refill();
    void showRows();
    void fitPopup();

    const SystemPort& m_system;
    DriveChoice m_choice;
    bool m_open = false;
};

} // namespace velk::qt
