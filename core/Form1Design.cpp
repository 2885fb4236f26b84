#include "Form1Design.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace velk {

namespace {

using K = ControlKind;

constexpr ControlDesign heading(std::string_view name, TwipsBox box, const char* caption) {
    return {.name = name, .kind = K::label, .box = box, .caption = caption, .centred = true};
}

constexpr ControlDesign caption(std::string_view name, TwipsBox box, const char* caption,
                                std::string_view parent = {}) {
    return {.name = name,
            .kind = K::label,
            .box = box,
            .caption = caption,
            .centred = true,
            .bordered = true,
            .parent = parent};
}

constexpr ControlDesign focusable(std::string_view name, ControlKind kind, TwipsBox box,
                                  const char* caption, const char* tooltip, int tabIndex,
                                  std::string_view parent = {}) {
    return {.name = name,
            .kind = kind,
            .box = box,
            .caption = caption,
            .tooltip = tooltip,
            .tabIndex = tabIndex,
            .parent = parent};
}

constexpr ControlDesign colourButton(std::string_view name, TwipsBox box, const char* caption,
                                     const char* tooltip, int tabIndex) {
    return {.name = name,
            .kind = K::colourButton,
            .box = box,
            .caption = caption,
            .tooltip = tooltip,
            .tabIndex = tabIndex,
            .backColour = colour::buttonFace};
}

constexpr ControlDesign fileList(std::string_view name, TwipsBox box, const char* tooltip,
                                 int tabIndex, const char* pattern, std::string_view parent = {}) {
    return {.name = name,
            .kind = K::fileList,
            .box = box,
            .tooltip = tooltip,
            .tabIndex = tabIndex,
            .parent = parent,
            .pattern = pattern};
}

constexpr ControlDesign reaches(Control c, ControlDesign d) {
    d.reached = c;
    return d;
}

constexpr auto design = std::to_array<ControlDesign>({
    {.name = "Shape3", .kind = K::rectangle, .box = {120, 120, 3975, 4455}},
    {.name = "Shape1", .kind = K::rectangle, .box = {4320, 120, 3135, 3975}},
    {.name = "Shape2", .kind = K::rectangle, .box = {4320, 4080, 2175, 2175}},
    {.name = "Line1", .kind = K::line, .box = {120, 3048, 3960, 0}},
    {.name = "Line2", .kind = K::line, .box = {7440, 4080, 0, 1496}},
    {.name = "Line3", .kind = K::line, .box = {6480, 5576, 960, 0}},

    // Area 1: message file selection.
    heading("Label6", {480, 195, 2895, 255}, text::headingFileSelection),
    caption("labSourceDrive", {240, 480, 1815, 255}, text::captionSourceDrive),
    reaches(Control::drvDrive1, focusable("drvDrive1", K::driveList, {240, 720, 1815, 315}, "",
                                          text::tipSourceDrive, 1)),
    caption("labLabel_folder1", {240, 1080, 1815, 255}, text::captionSourceFolder),
    reaches(Control::Dir1, focusable("Dir1", K::folderList, {240, 1320, 1815, 1665}, "",
                                     text::tipSourceFolder, 0)),
    caption("labSourceFile", {2160, 480, 1815, 255}, text::captionSourceFile),
    reaches(Control::File1,
            fileList("File1", {2160, 720, 1815, 2235}, text::tipSourceFile, 9, "*.mp3;*.nvr")),
    caption("Label2", {240, 3120, 1815, 255}, text::captionDestinationDrive),
    reaches(Control::Drive1, focusable("Drive1", K::driveList, {240, 3360, 1815, 315}, "",
                                       text::tipDestinationDrive, 13)),
    {.name = "Label4",
     .kind = K::label,
     .box = {240, 3720, 1815, 735},
     .bordered = true,
     .backColour = colour::red,
     .reached = Control::Label4},
    {.name = "Image1",
     .kind = K::picture,
     .box = {2160, 3120, 1815, 1335},
     .tooltip = text::tipLogo},

    // Area 2: commands, gauge and guidance box.
    focusable("Command3", K::button, {120, 4680, 1215, 615}, text::captionHelp, text::tipHelp, 18),
    reaches(Control::cmdFinish, focusable("cmdFinish", K::button, {120, 5400, 1215, 855},
                                          text::captionProgramme, text::tipProgramme, 3)),
    {.name = "Label7",
     .kind = K::label,
     .box = {1440, 4680, 2655, 375},
     .centred = true,
     .bordered = true,
     .breaksWords = true,
     .reached = Control::Label7},
    {.name = "ProgressBar1", .kind = K::progressBar, .box = {1440, 5040, 2655, 255}},
    caption("labHelp", {1440, 5400, 2655, 255}, text::headingGuidance),
    {.name = "txtTEXT1",
     .kind = K::textBox,
     .box = {1440, 5640, 2655, 615},
     .tooltip = text::tipGuidance,
     .tabIndex = 2,
     .backColour = colour::yellow,
     .reached = Control::txtTEXT1},

    // Area 3: message tracks list.
    heading("Label5", {5040, 195, 1695, 255}, text::headingTracksList),
    caption("labLabel_Track", {4440, 446, 615, 255}, text::captionTrackColumn),
    caption("labOutLIst", {5160, 446, 1575, 255}, text::captionFileColumn),
    caption("labLabelMode", {6840, 446, 495, 255}, text::captionModeColumn),
    reaches(Control::lstList2, focusable("lstList2", K::listBox, {4560, 720, 375, 3180}, "",
                                         text::tipTrackColumn, 10)),
    reaches(Control::lstList1,
            focusable("lstList1", K::listBox, {5160, 720, 1575, 3180}, "", text::tipFileColumn, 7)),
    reaches(Control::lstListMode, focusable("lstListMode", K::listBox, {6960, 720, 255, 3180}, "",
                                            text::tipModeColumn, 11)),

    // Area 4: mode buttons.
    caption("labNodeSet", {4440, 4145, 1935, 255}, text::headingModeButtons),
    reaches(Control::cmdMode0, colourButton("cmdMode0", {4440, 4440, 615, 495}, text::captionMode0,
                                            text::tipMode0, 4)),
    caption("labUninterrupt", {5040, 4440, 1335, 495}, text::captionMode0Meaning),
    reaches(Control::cmdMode1, colourButton("cmdMode1", {4440, 5040, 615, 495}, text::captionMode1,
                                            text::tipMode1, 5)),
    caption("labInterrupt", {5040, 5040, 1335, 495}, text::captionMode1Meaning),
    reaches(Control::cmdMode2, colourButton("cmdMode2", {4440, 5640, 615, 495}, text::captionMode2,
                                            text::tipMode2, 6)),
    caption("labPlayButton", {5040, 5640, 1335, 495}, text::captionMode2Meaning),

    // Area 5: edit list.
    caption("Label1", {6600, 4145, 735, 255}, text::headingEditList),
    reaches(Control::cmdDel, colourButton("cmdDel", {6646, 4440, 615, 495}, text::captionDelete,
                                          text::tipDelete, 8)),
    reaches(Control::newbut, focusable("newbut", K::button, {6646, 5040, 615, 495},
                                       text::captionNew, text::tipNew, 17)),
    focusable("quit1", K::button, {6720, 5760, 495, 375}, text::captionQuit, text::tipQuit, 12),

    // The confirmation frame comes last, so that it lies above the controls it covers.
    {.name = "Frame1",
     .kind = K::frame,
     .box = {480, 480, 3375, 3615},
     .caption = text::deletingFiles,
     .backColour = colour::red,
     .captionColour = colour::highlight,
     .reached = Control::Frame1},
    reaches(Control::File2,
            fileList("File2", {120, 360, 3135, 1500}, text::tipRootFiles, 14, "*.*", "Frame1")),
    // The frame covers the destination drive list: the card asked about is named in it.
    reaches(Control::labCard, caption("labCard", {120, 1920, 3135, 300}, "", "Frame1")),
    caption("Label3", {120, 2280, 3135, 615}, text::deleteWarning, "Frame1"),
    focusable("Command1", K::button, {120, 3000, 975, 375}, text::captionConfirmWipe,
              text::tipConfirmWipe, 15, "Frame1"),
    focusable("Command2", K::button, {2280, 3000, 975, 375}, text::captionCancelWipe,
              text::tipCancelWipe, 16, "Frame1"),
});

} // namespace

std::span<const ControlDesign> form1Design() {
    return design;
}

const ControlDesign& form1Control(std::string_view name) {
    const auto* row = std::find_if(design.begin(), design.end(),
                                   [name](const auto& d) { return d.name == name; });
    if (row == design.end())
        throw std::out_of_range("no control " + std::string(name) + " in the main window");
    return *row;
}

std::vector<std::string_view> form1TabOrder() {
    std::vector<const ControlDesign*> focusable;
    for (const ControlDesign& d : design)
        if (d.tabIndex >= 0)
            focusable.push_back(&d);
    std::ranges::sort(focusable, {}, &ControlDesign::tabIndex);
    std::vector<std::string_view> names;
    for (const ControlDesign* d : focusable)
        names.push_back(d->name);
    return names;
}

std::vector<std::string_view> coveredBy(std::string_view frame) {
    const TwipsBox& f = form1Control(frame).box;
    const auto overlaps = [&f](const TwipsBox& b) {
        return b.left < f.left + f.width && f.left < b.left + b.width && b.top < f.top + f.height &&
               f.top < b.top + b.height;
    };
    std::vector<std::string_view> covered;
    for (const std::string_view name : form1TabOrder()) {
        const ControlDesign& d = form1Control(name);
        if (d.parent.empty() && d.name != frame && overlaps(d.box))
            covered.push_back(name);
    }
    return covered;
}

std::vector<std::string_view> labelsIn(std::string_view frame) {
    std::vector<std::string_view> labels;
    for (const ControlDesign& d : design)
        if (d.parent == frame && d.kind == ControlKind::label)
            labels.push_back(d.name);
    return labels;
}

std::string questionWords(std::string_view caption, const std::vector<std::string>& labels) {
    std::string words(caption);
    for (const std::string& label : labels)
        if (!label.empty())
            words.append(words.empty() ? "" : text::stateSeparator).append(label);
    return words;
}

std::string_view nameOf(Control c) {
    const auto* row =
        std::find_if(design.begin(), design.end(), [c](const auto& d) { return d.reached == c; });
    if (row == design.end())
        throw std::out_of_range("no control in the main window is reached as that one");
    return row->name;
}

} // namespace velk
