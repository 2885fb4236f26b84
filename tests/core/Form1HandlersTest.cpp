#include "core/Form1Handlers.h"
#include "core/Colours.h"
#include "support/FakeForm.h"
#include "support/FakeSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velk;

namespace {

class Form1HandlersTest : public ::testing::Test {
protected:
    test::FakeSystem system;
    test::FakeForm form;
    Form1Handlers handlers{form, system};
};

TEST_F(Form1HandlersTest, ReadsTheDestinationListAgainOnlyWhenItsStatusChanged) {
    system.addCard("e", "/e");
    form.setText(Control::Drive1, "e");
    handlers.Form_Load();
    EXPECT_EQ(form.timerInterval, 100);
    EXPECT_TRUE(form.timerEnabled);

    handlers.Timer1_Timer();
    handlers.Timer1_Timer();
    EXPECT_EQ(form.refreshed, std::vector<Control>{Control::Drive1})
        << "the second tick found it unchanged";
    system.table["e"].space.reset();
    handlers.Timer1_Timer();
    EXPECT_EQ(form.refreshed.size(), 2u);
}

TEST_F(Form1HandlersTest, TheTickOpensASourceDriveThatAnsweredLate) {
    system.addFixed("n", "/");
    system.notAnswering.insert("n");
    form.setText(Control::drvDrive1, "n");
    handlers.drvDrive1_Change();
    system.notAnswering.clear();
    handlers.Timer1_Timer();
    EXPECT_EQ(form.text(Control::Dir1), "/");
}

TEST_F(Form1HandlersTest, ADeviceChangeReadsBothDriveListsAgain) {
    handlers.Form_DeviceChange();
    EXPECT_EQ(form.refreshed, (std::vector<Control>{Control::drvDrive1, Control::Drive1}));
}

// The taskbar's view of a run: progress while it goes, its failure while the message box says
// why and until the guidance box turns to something else.
TEST_F(Form1HandlersTest, ARunIsShownOutsideTheWindowAsItGoesAndFails) {
    // The run stages its index in the current folder.
    const test::TempFolder work;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    system.addCard("e", "/e");
    form.setText(Control::Drive1, "e");
    form.onMessageBox = [this](test::FakeForm& f, const std::string&) {
        handlers.Timer1_Timer(); // the tick that the message box's own loop delivers
        f.setBackColour(Control::txtTEXT1, colour::red);
        handlers.Timer1_Timer();
    };
    // Label4 is red: the run is refused with a message box.
    handlers.cmdFinish_Click();
    using Shown = std::vector<std::pair<RunShown, float>>;
    EXPECT_EQ(form.runsShown, (Shown{{RunShown::progress, 0.0f}, {RunShown::failed, 0.0f}}));
    handlers.Timer1_Timer();
    EXPECT_EQ(form.runsShown.size(), 2u);
    form.setBackColour(Control::txtTEXT1, colour::yellow);
    handlers.Timer1_Timer();
    EXPECT_EQ(form.runsShown.back().first, RunShown::none);
    std::filesystem::current_path(previous);
}

TEST_F(Form1HandlersTest, EndingStopsTheTimerClosesHelpAndQuitsOnce) {
    handlers.Form_Load();
    handlers.quit1_Click();
    EXPECT_TRUE(handlers.ending());
    EXPECT_EQ(form.quits, 1);
    EXPECT_FALSE(form.timerEnabledAtQuit);
    EXPECT_EQ(form.helpClosesAtQuit, 1);

    // The window's close that follows Quit, and a tick already queued, change nothing.
    handlers.endProgram();
    system.addCard("e", "/e");
    form.setText(Control::Drive1, "e");
    handlers.Timer1_Timer();
    EXPECT_EQ(form.quits, 1);
    EXPECT_EQ(form.helpCloses, 1);
    EXPECT_EQ(form.text(Control::Label4), "");
}

} // namespace
