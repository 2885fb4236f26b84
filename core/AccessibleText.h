#pragma once

#include "Control.h"

#include <cstdint>
#include <string_view>

namespace velk {

/// A control that shows no caption of its own, and the label whose caption names it for a
/// screen reader. Both are control names of the main window.
struct NamingLabel {
    std::string_view control;
    std::string_view label;
};

/// Each list takes the heading above it; the file-name column is the list the operator
/// edits, so it takes the heading of the whole tracks list.
inline constexpr NamingLabel namingLabels[] = {
    {"drvDrive1", "labSourceDrive"}, {"Dir1", "labLabel_folder1"}, {"File1", "labSourceFile"},
    {"Drive1", "Label2"},            {"txtTEXT1", "labHelp"},        {"lstList2", "labLabel_Track"},
    {"lstList1", "Label5"},          {"lstListMode", "labLabelMode"}, {"File2", "Frame1"},
};

/// What a screen reader is told of the state that `colour` shows on `c`, or "" when the
/// colour tells nothing the control's text does not.
[[nodiscard]] std::string_view colourMeaning(Control c, std::uint32_t colour);

} // namespace velk
