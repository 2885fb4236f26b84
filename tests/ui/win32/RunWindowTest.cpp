#include "WindowFixture.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"
#include "ui/win32/frmForm1/OkMessageBox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

using namespace velk;
using namespace velk::test::win32window;

namespace {

// The programming run through the real window: the frame, its buttons and the message box.
// The operator answers the confirmation from a thread timer, which the run's wait in
// GetMessage delivers.
class RunWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        m_source.write("a.mp3", std::string(100, 'a'));
        m_source.write("b.nvr", std::string(300, 'b'));
        m_card.write("OLD.TXT", "old");
        WindowFixture::SetUp();
        pickDrive(k().get<win32::DriveList>("drvDrive1"), "s:");
        doubleClickRow(k().get<win32::FileList>("File1"),
                       findRow(k().get<win32::FileList>("File1"), "a.mp3"));
        doubleClickRow(k().get<win32::FileList>("File1"),
                       findRow(k().get<win32::FileList>("File1"), "b.nvr"));
        ASSERT_EQ(rows(k().get<win32::ListBoxCtrl>("lstList1")).size(), 2u);
    }
};

TEST_F(RunWindowTest, OkProgrammesTheCard) {
    bool lockedWhileAsking = false;
    std::string cardAsked;
    whenAsked([&] {
        lockedWhileAsking = !k().get<win32::ColourButton>("cmdDel").isEnabled() &&
                            !k().get<win32::ButtonCtrl>("cmdFinish").isEnabled() &&
                            !k().get<win32::FileList>("File1").isEnabled() &&
                            k().get<win32::ButtonCtrl>("quit1").isEnabled();
        cardAsked = k().get<win32::LabelCtrl>("labCard").text();
        screenshot(m_form->hwnd(), "win32-confirm");
        click(k().get<win32::ButtonCtrl>("Command1"));
    });
    click(k().get<win32::ButtonCtrl>("cmdFinish"));
    EXPECT_EQ(cardAsked, "Card e:");

    EXPECT_EQ(m_asked, std::vector<std::string>{"OLD.TXT"});
    EXPECT_TRUE(lockedWhileAsking);
    EXPECT_EQ(m_messages, std::vector<std::string>{text::downloadComplete});
    EXPECT_EQ(m_card.read("M0000001.MP3"), std::string(100, 'a'));
    EXPECT_FALSE(k().get<win32::FrameCtrl>("Frame1").isVisible());
    EXPECT_TRUE(k().get<win32::ButtonCtrl>("cmdFinish").isEnabled());
}

// The taskbar button shows the failure of a run: a source gone after it was added.
TEST_F(RunWindowTest, AFailedRunTurnsTheTaskbarButtonRed) {
    std::filesystem::remove(m_source.path() / "b.nvr");
    whenAsked([&] { click(k().get<win32::ButtonCtrl>("Command1")); });
    click(k().get<win32::ButtonCtrl>("cmdFinish"));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(k().get<win32::EditCtrl>("txtTEXT1").text(), text::failedCardUnchanged);
    EXPECT_EQ(m_form->taskbar().state(), win32::TaskbarProgress::State::error);
}

TEST_F(RunWindowTest, CancelLeavesTheCard) {
    whenAsked([&] { click(k().get<win32::ButtonCtrl>("Command2")); });
    click(k().get<win32::ButtonCtrl>("cmdFinish"));

    EXPECT_EQ(m_asked, std::vector<std::string>{"OLD.TXT"});
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_card.read("OLD.TXT"), "old");
    EXPECT_FALSE(m_card.has("M0000001.MP3"));
}

TEST_F(RunWindowTest, QuitDuringTheConfirmationTouchesNothing) {
    whenAsked([&] { click(k().get<win32::ButtonCtrl>("quit1")); });
    click(k().get<win32::ButtonCtrl>("cmdFinish"));

    EXPECT_TRUE(m_form->handlers().ending());
    EXPECT_EQ(m_card.read("OLD.TXT"), "old");
    EXPECT_FALSE(m_card.has("M0000001.MP3"));
}

TEST_F(RunWindowTest, ALogoffWaitsWhileTheRunWrites) {
    const auto askToEnd = [this] {
        return SendMessageW(m_form->hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    };
    LRESULT duringRun = TRUE;
    whenAsked([&] {
        duringRun = askToEnd();
        click(k().get<win32::ButtonCtrl>("Command1"));
    });
    EXPECT_EQ(askToEnd(), TRUE);
    click(k().get<win32::ButtonCtrl>("cmdFinish"));
    EXPECT_EQ(duringRun, FALSE);
    EXPECT_EQ(askToEnd(), TRUE);
    EXPECT_EQ(m_messages, std::vector<std::string>{text::downloadComplete});
}

TEST_F(RunWindowTest, ALogoffForcedDuringTheQuestionEndsTheProgramAndTouchesNothing) {
    whenAsked([&] { SendMessageW(m_form->hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF); });
    click(k().get<win32::ButtonCtrl>("cmdFinish"));
    EXPECT_TRUE(m_form->handlers().ending());
    EXPECT_EQ(m_card.read("OLD.TXT"), "old");
    EXPECT_FALSE(m_card.has("M0000001.MP3"));
}

// Past MAX_PATH characters: the operator opens it folder by folder, adds a file and programmes it.
TEST_F(RunWindowTest, ASourceDeeperThanMaxPathIsListedAddedAndCopied) {
    const auto step = [](int depth) {
        return "folder " + std::to_string(depth) + " with a long name to pass the limit";
    };
    std::filesystem::path deep = m_source.path();
    int depth = 0;
    for (; deep.native().size() <= 300; ++depth) {
        deep /= fromUtf8(step(depth));
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep.native()).c_str(), nullptr))
            << GetLastError();
    }
    m_source.write(utf8Of(std::filesystem::relative(deep, m_source.path()) / "deep.mp3"),
                   "deep audio");
    // The folder list shows the new folder once it reads the drive again.
    pickDrive(k().get<win32::DriveList>("drvDrive1"), "c:");
    pickDrive(k().get<win32::DriveList>("drvDrive1"), "s:");
    for (int i = 0; i < depth; ++i)
        doubleClickRow(k().get<win32::FolderList>("Dir1"),
                       findRow(k().get<win32::FolderList>("Dir1"), step(i)));
    ASSERT_GT(k().get<win32::FolderList>("Dir1").path().size(), 300u);
    EXPECT_EQ(rows(k().get<win32::FileList>("File1")), std::vector<std::string>{"deep.mp3"});
    doubleClickRow(k().get<win32::FileList>("File1"), 0);
    ASSERT_EQ(rows(k().get<win32::ListBoxCtrl>("lstList1")).size(), 3u)
        << k().get<win32::EditCtrl>("txtTEXT1").text();

    whenAsked([&] { click(k().get<win32::ButtonCtrl>("Command1")); });
    click(k().get<win32::ButtonCtrl>("cmdFinish"));
    EXPECT_EQ(m_messages, std::vector<std::string>{text::downloadComplete});
    EXPECT_EQ(m_card.read("M0000003.MP3"), "deep audio");
}

} // namespace
