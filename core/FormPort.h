#pragma once

#include "Control.h"
#include "RunIndicator.h"

#include <cstdint>
#include <string>

namespace velk {

/// What the logic needs from the main window: control properties, list rows, and the
/// few services of the window system. Texts are UTF-8.
class FormPort {
public:
    virtual ~FormPort() = default;

    /// Caption or text of a control; for drive lists the selected drive, for Dir1 and
    /// File1 the folder shown.
    [[nodiscard]] virtual std::string text(Control c) const = 0;
    /// Sets caption or text; for Dir1 and File2 opens the folder (File2 refreshes).
    virtual void setText(Control c, const std::string& value) = 0;
    [[nodiscard]] virtual std::uint32_t backColour(Control c) const = 0;
    virtual void setBackColour(Control c, std::uint32_t colour) = 0;
    [[nodiscard]] virtual bool isVisible(Control c) const = 0;
    virtual void setVisible(Control c, bool visible) = 0;

    [[nodiscard]] virtual int rowCount(Control list) const = 0;
    [[nodiscard]] virtual std::string rowText(Control list, int row) const = 0;
    /// Row index counted from 0, or -1 when no row is selected.
    [[nodiscard]] virtual int selectedRow(Control list) const = 0;
    virtual void addRow(Control list, const std::string& row) = 0;
    virtual void removeRow(Control list, int row) = 0;
    virtual void clearRows(Control list) = 0;

    [[nodiscard]] virtual float progress() const = 0;
    virtual void setProgress(float value) = 0;
    virtual void setTimer(int intervalMs, bool enabled) = 0;
    /// Reads a drive list's drives again.
    virtual void refresh(Control list) = 0;

    /// Enables or disables a control; a disabled one takes no input and is drawn greyed.
    virtual void setEnabled(Control c, bool enabled) = 0;
    [[nodiscard]] virtual bool isEnabled(Control c) const = 0;

    /// Processes pending events once. Returns false when the program is ending, in which
    /// case the caller must stop at once.
    [[nodiscard]] virtual bool yield() = 0;
    /// Blocks until at least one event arrived and processes it; same result as yield().
    [[nodiscard]] virtual bool waitForEvents() = 0;
    /// Modal box with one OK button, no icon and the application title.
    virtual void messageBox(const std::string& message) = 0;
    virtual void beep() = 0;
    /// Closes the help window if it is open.
    virtual void closeHelp() = 0;
    /// Hides the window and leaves the event loop; from then on every yield returns false.
    virtual void quit() = 0;
    /// Shows a run outside the window (the taskbar button), with the progress bar's percent;
    /// a window with no such place shows nothing.
    virtual void showRun(RunShown shown, float percent) {
        (void)shown;
        (void)percent;
    }
};

} // namespace velk
