#pragma once

#include "core/SystemPort.h"

#include <string>
#include <vector>

namespace velk::test {

/// The label of `designation`'s entry in a drive list, or "(not listed)".
inline std::string labelOf(const std::vector<DriveEntry>& drives, const std::string& designation) {
    for (const DriveEntry& d : drives)
        if (d.designation == designation)
            return d.label;
    return "(not listed)";
}

inline std::string labelOf(const SystemPort& system, const std::string& designation) {
    return labelOf(system.drives(), designation);
}

} // namespace velk::test
