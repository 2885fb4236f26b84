#pragma once

#include "SystemPort.h"

#include <string>
#include <vector>

namespace velk {

/// Which drive a drive list has chosen, kept while the drives it lists come and go. The window
/// shows `rows()` with `chosenRow()` selected and tells which row the operator picked.
class DriveChoice {
public:
    /// The drives as the system lists them now, followed by the chosen drive when the system
    /// no longer lists it: a reader unplugged stays chosen until another drive is picked.
    void fill(std::vector<DriveEntry> drives);
    /// Chooses a drive by its designation, adding a row for it (its designation as its label)
    /// when no row lists it. True when that is another drive than the one chosen before.
    bool choose(const std::string& designation);
    /// The operator picked row `index`. True when that is another drive, now the chosen one;
    /// the chosen drive again, or no row, changes nothing.
    [[nodiscard]] bool pick(int index);

    [[nodiscard]] const std::vector<DriveEntry>& rows() const { return m_rows; }
    /// The chosen drive's designation, or "" before any is chosen.
    [[nodiscard]] const std::string& drive() const { return m_chosen; }
    /// The chosen drive's row, or -1 before any is chosen.
    [[nodiscard]] int chosenRow() const;

private:
    std::vector<DriveEntry> m_rows;
    std::string m_chosen;
};

} // namespace velk
