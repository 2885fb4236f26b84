#pragma once

#include "Form1Controls.h"
#include "Form1Port.h"
#include "core/Form1Design.h"
#include "core/Form1Handlers.h"

#include <QWidget>

#include <memory>

namespace velk {
class DriveWatch;
class SystemPort;
} // namespace velk

namespace velk::qt {

class hlpform;

/// The main window. It builds the controls as designed and binds their events to the handlers in
/// core.
class frmForm1 : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmForm1)
public:
    explicit frmForm1(const SystemPort& system, QWidget* parent = nullptr);
    ~frmForm1() override;

    /// Opens the help window (HELP).
    void Command3_Click();
    /// "Save list..." and "Open list...": ask which file, then hand it to the logic.
    void lstList1_SaveList();
    void lstList1_OpenList();

    /// The handlers that the controls are bound to, and the state they share.
    [[nodiscard]] Form1Handlers& handlers() { return m_handlers; }
    [[nodiscard]] hlpform* helpWindow() const { return m_helpWindow; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form1Controls buildControls();
    void bindHandlers();
    void arrangeTabOrder();
    /// Gives each control without a caption the name of its label, for screen readers.
    void nameControls();
    void addCardListActions();
    /// Reads both drive lists again when the kernel reports a block device or a mount.
    void watchDrives();
    /// "Eject card": Drive1's shortcut menu, and its key.
    void addEjectCommand();

    const SystemPort& m_system;
    Form1Controls m_c;
    Form1Port m_port;
    Form1Handlers m_handlers;
    hlpform* m_helpWindow = nullptr;
    std::unique_ptr<DriveWatch> m_drives;
};

} // namespace velk::qt
