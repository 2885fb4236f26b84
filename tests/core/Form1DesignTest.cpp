#include "core/Form1Design.h"

#include <gtest/gtest.h>

#include <string>
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
    {"Image1", {2160, 3120, 1815, 1335}, "", "VELK Message Assembler - builds message cards for the VELK player"},
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
    {"File2", {120, 360, 3135, 1500}, "", "List of Files in the ROOT Directory of the Destination Drive"},
    {"labCard", {120, 1920, 3135, 300}, "", nullptr},
    {"Label3", {120, 2280, 3135, 615}, "WARNING! - THESE FILES WILL BE DELETED FROM THE DESTINATION DRIVE", nullptr},
    {"Command1", {120, 3000, 975, 375}, "O.K.", "Click to Delete All Files in the ROOT Directory of the Destination Drive"},
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
    EXPECT_EQ(inside, (std::vector<std::string>{"File2", "labCard", "Label3", "Command1", "Command2"}));
    for (const char* covered : {"drvDrive1", "Dir1", "File1", "Drive1", "Image1"})
        EXPECT_LT(&form1Control(covered), &form1Control("Frame1")) << covered;
}

TEST(Form1Design, TabOrderAndColours) {
    const std::vector<std::string_view> order = form1TabOrder();
    EXPECT_EQ(order, (std::vector<std::string_view>{"Dir1", "drvDrive1", "txtTEXT1", "cmdFinish", "cmdMode0",
                                                    "cmdMode1", "cmdMode2", "lstList1", "cmdDel", "File1",
                                                    "lstList2", "lstListMode", "quit1", "Drive1", "File2",
                                                    "Command1", "Command2", "newbut", "Command3"}));
    EXPECT_EQ(form1Control("Label4").backColour, 0xFFu);
    EXPECT_EQ(form1Control("txtTEXT1").backColour, 0xFFFFu);
    EXPECT_EQ(form1Control("Frame1").backColour, 0xFFu);
    EXPECT_EQ(form1Control("Frame1").captionColour, 0x8000000Du);
    EXPECT_STREQ(form1Control("File1").pattern, "*.mp3;*.nvr");
}

TEST(Form1Design, EveryControlTheLogicReachesIsDesigned) {
    for (int i = 0; i < controlCount; ++i) {
        const std::string_view name = nameOf(static_cast<Control>(i));
        EXPECT_NO_THROW(form1Control(name)) << name;
    }
    EXPECT_EQ(nameOf(Control::txtTEXT1), "txtTEXT1");
    EXPECT_EQ(nameOf(Control::newbut), "newbut");
}

} // namespace

// The frame lies over the source lists and the destination drive; whatever takes the focus
// there is out of reach while it asks.
TEST(Form1Design, TheWipeQuestionCoversTheDriveAndFolderListsAndSaysItsLabels) {
    EXPECT_EQ(wipeQuestion.frame, "Frame1");
    EXPECT_EQ(wipeQuestion.safeAnswer, "Command2");
    EXPECT_EQ(form1Control(wipeQuestion.safeAnswer).parent, wipeQuestion.frame);
    EXPECT_EQ(coveredBy("Frame1"), (std::vector<std::string_view>{"Dir1", "drvDrive1", "File1", "Drive1"}));
    EXPECT_EQ(labelsIn("Frame1"), (std::vector<std::string_view>{"labCard", "Label3"}));
    EXPECT_EQ(questionWords("Deleting Existing Files", {"WARNING!", ""}), "Deleting Existing Files - WARNING!");
    EXPECT_EQ(questionWords("", {"a", "b"}), "a - b");
}
