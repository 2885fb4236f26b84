#pragma once

#include "Colours.h"
#include "Control.h"
#include "Texts.h"
#include "TwipsBox.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

enum class ControlKind : std::uint8_t {
    rectangle, ///< outline drawn on the window surface
    line,
    label,
    button,
    colourButton, ///< a button whose face shows a back colour that the logic sets
    driveList,
    folderList,
    fileList,
    listBox,
    textBox, ///< multi-line, no scroll bars
    progressBar,
    picture,
    frame, ///< a captioned group that holds other controls
};

/// One control of the main window as designed. Both windows build their controls from these
/// and their tests check them against the same rows.
struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    TwipsBox box;
    const char* caption = "";
    const char* tooltip = nullptr;
    /// Labels only: the caption centred, a single-line border, and lines broken inside a word
    /// too, for a path wider than the box.
    bool centred = false;
    bool bordered = false;
    bool breaksWords = false;
    /// Position in the tab order from 0, or -1 for a control that never takes the focus.
    int tabIndex = -1;
    /// Empty for the window itself.
    std::string_view parent = {};
    std::optional<std::uint32_t> backColour = {};
    /// Frames only.
    std::optional<std::uint32_t> captionColour = {};
    /// File lists only: the patterns of the names listed, separated by ";".
    const char* pattern = nullptr;
    /// The Control by which the logic reaches it, for the few controls it does.
    std::optional<Control> reached = {};
};

/// The client area at the screen's corner, just inside the border and title bar.
inline constexpr TwipsBox form1Client{60, 345, 7590, 6405};

/// The commands of lstList1's shortcut menu, in menu order; Ctrl with its key gives each
/// anywhere in the window.
struct ListCommand {
    std::string_view name;
    const char* caption;
    char key;
};
inline constexpr ListCommand listCommands[] = {
    {"mnuLoadFromCard", text::loadListFromCard, 'L'},
    {"mnuSaveList", text::saveList, 'S'},
    {"mnuOpenList", text::openList, 'O'},
};
/// The command of Drive1's shortcut menu; Ctrl+E gives it anywhere in the window.
inline constexpr ListCommand ejectCommand{"mnuEjectCard", text::ejectCard, 'E'};

/// The wipe question Frame1 asks: while it shows, the keyboard is on its safe answer, the
/// controls it covers are out of the tab order, and a screen reader hears its caption and
/// labels; when it hides, the focus goes back where it was.
struct Question {
    std::string_view frame;
    std::string_view safeAnswer;
};
inline constexpr Question wipeQuestion{"Frame1", "Command2"};

/// Every control, surface drawings first so that each control lies above them.
std::span<const ControlDesign> form1Design();
/// The row of the control with that name; throws std::out_of_range for an unknown one.
const ControlDesign& form1Control(std::string_view name);
/// The names of the controls that take the focus, in tab order.
std::vector<std::string_view> form1TabOrder();
/// The controls that take the focus and lie under `frame` without being inside it, in tab order.
std::vector<std::string_view> coveredBy(std::string_view frame);
/// The labels inside `frame`, in the design's order: what its question says.
std::vector<std::string_view> labelsIn(std::string_view frame);
/// What a screen reader is told when a question shows: its caption, then each of its labels.
std::string questionWords(std::string_view caption, const std::vector<std::string>& labels);
/// The name under which the window holds a control that the logic reaches.
std::string_view nameOf(Control c);

} // namespace velk
