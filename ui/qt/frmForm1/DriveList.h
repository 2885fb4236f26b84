#pragma once

#include <QComboBox>

#include <string>

namespace velk {
class SystemPort;
}

namespace velk::ui {

/// A drop-down list of the machine's drives. Its text is the selected drive's designation;
/// it re-reads the drives each time it opens, so a reader plugged in later appears.
class DriveList : public QComboBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DriveList)
public:
    DriveList(const SystemPort& system, QWidget* parent);

    [[nodiscard]] QString drive() const;
    /// Selects a drive by designation (adding it when the list does not know it).
    void setDrive(const QString& designation);
    void showPopup() override;

signals:
    /// The selection moved to a different drive.
    void Change();

private:
    void refill();

    const SystemPort& m_system;
    QString m_current;
};

} // namespace velk::ui
