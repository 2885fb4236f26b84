#pragma once

// https://learn.microsoft.com/en-us/windows/win32/controls/combo-boxes

#include "core/DriveChoice.h"
#include "ui/win32/wingui/Ctrl.h"
#include "ui/win32/wingui/Tooltips.h"

#include <functional>
#include <string>

namespace velk {
class SystemPort;
}

namespace velk::win32 {

/// A drop-down list of the machine's drives ("c: [SYSTEM]"). Its text is the selected drive's
/// designation ("e:"); it re-reads the drives each time it drops down, so a reader plugged in
/// later appears, and keeps the chosen one as core's DriveChoice says. Entries are longer than the
/// closed box: the dropped-down list is as wide as the longest, and the box's tooltip shows the
/// selected one in full below its own tip.
class DriveList : public Ctrl {
public:
    DriveList(std::string name, const Twips& box, const SystemPort& system)
        : Ctrl(std::move(name), box), m_system(system) {}

    void create(HWND parent, UINT dpi);
    void place(UINT dpi) const override;
    /// Gives the box the tip `tip`, followed on a line of its own by the selected entry.
    void setTip(Tooltips& tips, std::string tip);

    [[nodiscard]] const std::string& drive() const { return m_choice.drive(); }
    /// Selects a drive by designation (adding it when the list does not know it).
    void setDrive(const std::string& designation);
    /// Height of the closed box, without the drop-down part.
    [[nodiscard]] int faceHeight() const;
    [[nodiscard]] int count() const;
    [[nodiscard]] std::string row(int index) const;
    /// Reads the drives again, unless the list is dropped down.
    void refresh();

    /// The operator picked a different drive.
    std::function<void()> onChange;

protected:
    void command(WORD code) override;

private:
    void refill();
    void showRows();
    void fitDropDown() const;
    void showEntryInTip() const;

    const SystemPort& m_system;
    DriveChoice m_choice;
    Tooltips* m_tips = nullptr;
    std::string m_tip;
};

} // namespace velk::win32
