#pragma once

#include <cstdint>

namespace velk {

/// The main window's controls that the logic reads or writes, named as in the window.
enum class Control : std::uint8_t {
    txtTEXT1, ///< guidance box: text, back colour
    Label4,   ///< destination status: caption, back colour (the ready flag)
    Label7,   ///< size gauge / run step caption
    Frame1,   ///< confirmation frame: visibility
    cmdDel,   ///< colour buttons: back colour
    cmdMode0,
    cmdMode1,
    cmdMode2,
    lstList1, ///< list boxes: rows, selection
    lstList2,
    lstListMode,
    drvDrive1, ///< drive lists: text is the selected drive's designation
    Drive1,
    Dir1,      ///< folder list: text is its path; setting it opens that folder
    File1,     ///< file list: text is its folder, rows its file names
    File2,     ///< file list in the frame: setting its text points it there and refreshes
    labCard,   ///< label in the frame that names the card the question is about
    cmdFinish, ///< buttons that a programming run locks: enabled state
    newbut,
};

inline constexpr int controlCount = static_cast<int>(Control::newbut) + 1;

} // namespace velk
