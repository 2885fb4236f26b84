#include "core/Form1Handlers.h"
#include "support/FakeForm.h"
#include "support/FakeSystem.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(form.refreshed, std::vector<Control>{Control::Drive1}) << "the second tick found it unchanged";
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
