#include "core/Form1Design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

using namespace velk;

namespace {

struct Designed {
    const char* name;
    TwipsBox box;
    const char* caption;
    const char* tooltip;
};

// The window as drawn, written out once; both windows' tests check their controls against
// the design, and this checks the design.
const Designed drawn[] = {
    {"Shape3", {120, 120, 3975, 4455}, "", nullptr},
    {"Shape1", {4320, 120, 3135, 3975}, "", nullptr},
    {"Shape2", {4320, 4080, 2175, 2175}, "", nullptr},
    {"Line1", {120, 3048, 3960, 0}, "", nullptr},
    {"Line2", {7440, 4080, 0, 1496}, "", nullptr},
    {"Line3", {6480, 5576, 960, 0}, "", nullptr},
    {"Label6", {480, 195, 2895, 255}, "Message File Selection", nullptr},
    {"labSourceDrive", {240, 480, 1815, 255}, "Source Drive", nullptr},
    {"drvDrive1", {240, 720, 1815, 315}, "", "select a source disc drive"},
    {"labLabel_folder1", {240, 1080, 1815, 255}, "Source Folder", nullptr},
    {"Dir1", {240, 1320, 1815, 1665}, "", "select a source folder"},
    {"labSourceFile", {2160, 480, 1815, 255}, "Source File", nullptr},
    {"File1", {2160, 720, 1815, 2235}, "", "select a source file"},
    {"Label2", {240, 3120, 1815, 255}, "Destination Drive", nullptr},
    {"Drive1", {240, 3360, 1815, 315}, "", "Drive Letter for the MMC Card"},
    {"Label4", {240, 3720, 1815, 735}, "", nullptr},
    {"Image1",
     {2160, 3120, 1815, 1335},
     "",
     "VELK Message Assembler - builds message cards for the VELK player"},
    {"Command3", {120, 4680, 1215, 615}, "HELP", "Display the HELP screen"},
    {"cmdFinish", {120, 5400, 1215, 855}, "Programme MMC Card", "download files to MMC"},
    {"Label7", {1440, 4680, 2655, 375}, "", nullptr},
    {"ProgressBar1", {1440, 5040, 2655, 255}, "", nullptr},
    {"labHelp", {1440, 5400, 2655, 255}, "Guidance Box", nullptr},
    {"txtTEXT1", {1440, 5640, 2655, 615}, "", "guidance info"},
    {"Label5", {5040, 195, 1695, 255}, "Message Tracks List", nullptr},
    {"labLabel_Track", {4440, 446, 615, 255}, "Track", nullptr},
    {"labOutLIst", {5160, 446, 1575, 255}, "File Name", nullptr},
    {"labLabelMode", {6840, 446, 495, 255}, "Mode", nullptr},
    {"lstList2", {4560, 720, 375, 3180}, "", "track number"},
    {"lstList1", {5160, 720, 1575, 3180}, "", "Mpeg play list"},
    {"lstListMode", {6960, 720, 255, 3180}, "", "mode for this track"},
    {"labNodeSet", {4440, 4145, 1935, 255}, "Mode set buttons", nullptr},
    {"cmdMode0", {4440, 4440, 615, 495}, "Mode 0", "sets track for uninterrupted play"},
    {"labUninterrupt", {5040, 4440, 1335, 495}, "Uninterrupted (default)", nullptr},
    {"cmdMode1", {4440, 5040, 615, 495}, "Mode 1", "track play may be interrupted"},
    {"labInterrupt", {5040, 5040, 1335, 495}, "Interrupted", nullptr},
    {"cmdMode2", {4440, 5640, 615, 495}, "Mode 2", "track will play only when button is held down"},
    {"labPlayButton", {5040, 5640, 1335, 495}, "Play while button pressed", nullptr},
    {"Label1", {6600, 4145, 735, 255}, "Edit List", nullptr},
    {"cmdDel", {6646, 4440, 615, 495}, "Delete", "Delete item from Tracks List"},
    {"newbut", {6646, 5040, 615, 495}, "New", "Clear Message Tracks List"},
    {"quit1", {6720, 5760, 495, 375}, "Quit", "Quit program"},
    {"Frame1", {480, 480, 3375, 3615}, "Deleting Existing Files", nullptr},
    {"File2",
     {120, 360, 3135, 1500},
     "",
     "List of Files in the ROOT Directory of the Destination Drive"},
    {"labCard", {120, 1920, 3135, 300}, "", nullptr},
    {"Label3",
     {120, 2280, 3135, 615},
     "WARNING! - THESE FILES WILL BE DELETED FROM THE DESTINATION DRIVE",
     nullptr},
    {"Command1",
     {120, 3000, 975, 375},
     "O.K.",
     "Click to Delete All Files in the ROOT Directory of the Destination Drive"},
    {"Command2", {2280, 3000, 975, 375}, "CANCEL", "Cancel the Delete and Download Operation"},
};

TEST(Form1Design, HoldsEveryControlWithItsBoxCaptionAndTooltip) {
    ASSERT_EQ(form1Design().size(), std::size(drawn));
    for (const Designed& want : drawn) {
        SCOPED_TRACE(want.name);
        const ControlDesign& got = form1Control(want.name);
        EXPECT_EQ(got.box.left, want.box.left);
        EXPECT_EQ(got.box.top, want.box.top);
        EXPECT_EQ(got.box.width, want.box.width);
        EXPECT_EQ(got.box.height, want.box.height);
        EXPECT_STREQ(got.caption, want.caption);
        EXPECT_STREQ(got.tooltip ? got.tooltip : "", want.tooltip ? want.tooltip : "");
    }
    EXPECT_THROW(form1Control("Label8"), std::out_of_range);
}

TEST(Form1Design, FrameHoldsItsControlsAndComesAfterWhatItCovers) {
    std::vector<std::string> inside;
    for (const ControlDesign& d : form1Design())
        if (d.parent == "Frame1")
            inside.emplace_back(d.name);
    EXPECT_EQ(inside,
              (std::vector<std::string>{"File2", "labCard", "Label3", "Command1", "Command2"}));
    for (const char* covered : {"drvDrive1", "Dir1", "File1", "Drive1", "Image1"})
        EXPECT_LT(&form1Control(covered), &form1Control("Frame1")) << covered;
}

TEST(Form1Design, TabOrderAndColours) {
    const std::vector<std::string_view> order = form1TabOrder();
    EXPECT_EQ(order, (std::vector<std::string_view>{"Dir1", "drvDrive1", "txtTEXT1", "cmdFinish",
                                                    "cmdMode0", "cmdMode1", "cmdMode2", "lstList1",
                                                    "cmdDel", "File1", "lstList2", "lstListMode",
                                                    "quit1", "Drive1", "File2", "Command1",
                                                    "Command2", "newbut", "Command3"}));
    EXPECT_EQ(form1Control("Label4").backColour, 0xFFu);
    EXPECT_EQ(form1Control("txtTEXT1").backColour, 0xFFFFu);
    EXPECT_EQ(form1Control("Frame1").backColour, 0xFFu);
    EXPECT_EQ(form1Control("Frame1").captionColour, 0x8000000Du);
    EXPECT_STREQ(form1Control("File1").pattern, "*.mp3;*.nvr");
}

// What a front-end needs of a row before it can build it: each check names the fault it found.
std::vector<std::string> faultsOf(std::span<const ControlDesign> table) {
    using K = ControlKind;
    std::vector<std::string> faults;
    const auto fault = [&faults](const ControlDesign& d, const char* what) {
        faults.push_back(std::string(d.name) + ": " + what);
    };
    const auto rowOf = [table](std::string_view name) -> const ControlDesign* {
        for (const ControlDesign& d : table)
            if (d.name == name)
                return &d;
        return nullptr;
    };
    std::set<std::string_view> names;
    std::set<int> tabs;
    std::set<Control> reached;
    bool controlSeen = false;
    for (const ControlDesign& d : table) {
        const bool drawing = d.kind == K::rectangle || d.kind == K::line;
        if (!names.insert(d.name).second)
            fault(d, "name taken twice");
        if (drawing && controlSeen)
            fault(d, "drawing after a control would cover it");
        controlSeen = controlSeen || !drawing;
        if (d.kind == K::line && d.box.width != 0 && d.box.height != 0)
            fault(d, "line neither across nor down");
        if (d.reached && !reached.insert(*d.reached).second)
            fault(d, "reached as another row is");
        if (d.tabIndex >= 0 && !tabs.insert(d.tabIndex).second)
            fault(d, "tab place taken twice");
        const bool takesFocus = d.kind != K::label && d.kind != K::picture &&
                                d.kind != K::progressBar && d.kind != K::frame && !drawing;
        if (d.tabIndex >= 0 && !takesFocus)
            fault(d, "tab place on a control that takes no focus");
        if ((d.centred || d.bordered || d.breaksWords) && d.kind != K::label)
            fault(d, "label layout on another kind");
        const bool showsBack = d.kind == K::label || d.kind == K::textBox ||
                               d.kind == K::colourButton || d.kind == K::frame;
        if (d.backColour && !showsBack)
            fault(d, "back colour on a kind that shows none");
        if ((d.kind == K::colourButton || d.kind == K::frame) && !d.backColour)
            fault(d, "no back colour to show");
        if ((d.kind == K::frame) != d.captionColour.has_value())
            fault(d, "caption colour on no frame, or a frame without one");
        if ((d.kind == K::fileList) != (d.pattern != nullptr))
            fault(d, "pattern on no file list, or a file list without one");
        TwipsBox room{0, 0, form1Client.width, form1Client.height};
        if (!d.parent.empty()) {
            const ControlDesign* parent = rowOf(d.parent);
            if (!parent || parent->kind != K::frame || parent > &d || drawing) {
                fault(d, "parent is no frame above it");
                continue;
            }
            room = {0, 0, parent->box.width, parent->box.height};
        }
        if (d.box.left < room.left || d.box.top < room.top || d.box.width < 0 || d.box.height < 0 ||
            d.box.left + d.box.width > room.width || d.box.top + d.box.height > room.height)
            fault(d, "box outside its container");
    }
    if (!tabs.empty() &&
        (*tabs.begin() != 0 || *tabs.rbegin() != static_cast<int>(tabs.size()) - 1))
        faults.emplace_back("tab places leave a gap");
    if (reached.size() != static_cast<std::size_t>(controlCount))
        faults.emplace_back("a control the logic reaches has no row");
    return faults;
}

TEST(Form1Design, EveryRowCanBeBuilt) {
    EXPECT_EQ(faultsOf(form1Design()), std::vector<std::string>{});
}

// Each check finds the fault it is there for: a copy of the table with one row spoiled.
TEST(Form1Design, EachFaultOfARowIsFound) {
    struct Spoiled {
        const char* row;
        void (*spoil)(ControlDesign&);
        std::vector<std::string> faults;
    };
    const Spoiled cases[] = {
        {"labCard", [](ControlDesign& d) { d.name = "Label3"; }, {"Label3: name taken twice"}},
        {"labCard",
         [](ControlDesign& d) { d.reached = Control::Label7; },
         {"labCard: reached as another row is", "a control the logic reaches has no row"}},
        {"newbut",
         [](ControlDesign& d) { d.reached.reset(); },
         {"a control the logic reaches has no row"}},
        {"Line2",
         [](ControlDesign& d) { d.box.width = 10; },
         {"Line2: line neither across nor down"}},
        {"newbut",
         [](ControlDesign& d) { d.tabIndex = 0; },
         {"newbut: tab place taken twice", "tab places leave a gap"}},
        {"Label4",
         [](ControlDesign& d) { d.tabIndex = 19; },
         {"Label4: tab place on a control that takes no focus"}},
        {"quit1", [](ControlDesign& d) { d.tabIndex = 30; }, {"tab places leave a gap"}},
        {"quit1",
         [](ControlDesign& d) { d.bordered = true; },
         {"quit1: label layout on another kind"}},
        {"lstList1",
         [](ControlDesign& d) { d.backColour = 0xFF; },
         {"lstList1: back colour on a kind that shows none"}},
        {"cmdDel",
         [](ControlDesign& d) { d.backColour.reset(); },
         {"cmdDel: no back colour to show"}},
        {"Frame1",
         [](ControlDesign& d) { d.captionColour.reset(); },
         {"Frame1: caption colour on no frame, or a frame without one"}},
        {"File2",
         [](ControlDesign& d) { d.pattern = nullptr; },
         {"File2: pattern on no file list, or a file list without one"}},
        {"Command1",
         [](ControlDesign& d) { d.parent = "Label3"; },
         {"Command1: parent is no frame above it"}},
        {"Command2",
         [](ControlDesign& d) { d.box.left = 2500; },
         {"Command2: box outside its container"}},
        {"quit1", [](ControlDesign& d) { d.box.top = 6100; }, {"quit1: box outside its container"}},
        {"Image1",
         [](ControlDesign& d) { d.box.left = -1; },
         {"Image1: box outside its container"}},
    };
    for (const Spoiled& c : cases) {
        SCOPED_TRACE(c.faults.front());
        std::vector<ControlDesign> table(form1Design().begin(), form1Design().end());
        const auto row = std::ranges::find(table, std::string_view(c.row), &ControlDesign::name);
        ASSERT_NE(row, table.end());
        c.spoil(*row);
        EXPECT_EQ(faultsOf(table), c.faults);
    }
    // A rectangle drawn after the controls would paint over them.
    std::vector<ControlDesign> table(form1Design().begin(), form1Design().end());
    std::rotate(table.begin(), table.begin() + 1, table.end());
    EXPECT_EQ(faultsOf(table),
              std::vector<std::string>{"Shape3: drawing after a control would cover it"});
}

// Each control the logic reaches by its Control value is the designed control of that name.
TEST(Form1Design, EveryControlTheLogicReachesIsDesigned) {
    const std::pair<Control, std::string_view> reached[] = {
        {Control::txtTEXT1, "txtTEXT1"},
        {Control::Label4, "Label4"},
        {Control::Label7, "Label7"},
        {Control::Frame1, "Frame1"},
        {Control::cmdDel, "cmdDel"},
        {Control::cmdMode0, "cmdMode0"},
        {Control::cmdMode1, "cmdMode1"},
        {Control::cmdMode2, "cmdMode2"},
        {Control::lstList1, "lstList1"},
        {Control::lstList2, "lstList2"},
        {Control::lstListMode, "lstListMode"},
        {Control::drvDrive1, "drvDrive1"},
        {Control::Drive1, "Drive1"},
        {Control::Dir1, "Dir1"},
        {Control::File1, "File1"},
        {Control::File2, "File2"},
        {Control::labCard, "labCard"},
        {Control::cmdFinish, "cmdFinish"},
        {Control::newbut, "newbut"},
    };
    ASSERT_EQ(std::size(reached), static_cast<std::size_t>(controlCount));
    for (const auto& [control, name] : reached) {
        EXPECT_EQ(nameOf(control), name);
        EXPECT_NO_THROW(form1Control(name)) << name;
    }
}

} // namespace

// The frame lies over the source lists and the destination drive; whatever takes the focus
// there is out of reach while it asks.
TEST(Form1Design, TheWipeQuestionCoversTheDriveAndFolderListsAndSaysItsLabels) {
    EXPECT_EQ(wipeQuestion.frame, "Frame1");
    EXPECT_EQ(wipeQuestion.safeAnswer, "Command2");
    EXPECT_EQ(form1Control(wipeQuestion.safeAnswer).parent, wipeQuestion.frame);
    EXPECT_EQ(coveredBy("Frame1"),
              (std::vector<std::string_view>{"Dir1", "drvDrive1", "File1", "Drive1"}));
    EXPECT_EQ(labelsIn("Frame1"), (std::vector<std::string_view>{"labCard", "Label3"}));
    EXPECT_EQ(questionWords("Deleting Existing Files", {"WARNING!", ""}),
              "Deleting Existing Files - WARNING!");
    EXPECT_EQ(questionWords("", {"a", "b"}), "a - b");
}
