#pragma once

#include "Control.h"

#include <cstdint>
#include <string>
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
    {"drvDrive1", "labSourceDrive"},
    {"Dir1", "labLabel_folder1"},
    {"File1", "labSourceFile"},
    {"Drive1", "Label2"},
    {"txtTEXT1", "labHelp"},
    {"lstList2", "labLabel_Track"},
    {"lstList1", "Label5"},
    {"lstListMode", "labLabelMode"},
    {"File2", "Frame1"},
};

/// What a screen reader is told of the state that `colour` shows on `c`, or "" when the
/// colour tells nothing the control's text does not.
[[nodiscard]] std::string_view colourMeaning(Control c, std::uint32_t colour);

/// The words a window shows on screen for the state that `colour` shows on `c`, where colours
/// alone are not enough (see coloursInWords), or "" when the colour tells nothing more.
[[nodiscard]] std::string_view colourWord(Control c, std::uint32_t colour);
/// What a button or Label4 shows with its colour's words: the caption, and the words on a
/// line of their own below it; the caption alone when there are none.
[[nodiscard]] std::string withWordBelow(std::string_view caption, std::string_view word);
/// The guidance box's heading labHelp, which carries the box's words: the box's own text is
/// the guidance, which every handler writes and reads.
[[nodiscard]] std::string guidanceHeading(std::string_view word);

} // namespace velk
