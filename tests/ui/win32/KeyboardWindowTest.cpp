#include "WindowFixture.h"
#include "core/IndexReader.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"
#include "ui/win32/frmForm1/OkMessageBox.h"
#include "ui/win32/hlpform/hlpform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using namespace velk;
using namespace velk::test::win32window;

namespace {

using Rows = std::vector<std::string>;

// The window worked with the keyboard alone: every key goes through the program's message
// pump to the control with the focus, and no mouse message is sent.
class KeyboardWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        std::filesystem::create_directory(m_staging.path() / "tracks");
        m_staging.write("tracks/a.mp3", std::string(100, 'a'));
        m_staging.write("tracks/b.nvr", std::string(300, 'b'));
        m_staging.write("tracks/c.mp3", std::string(50, 'c'));
        m_card.write("OLD.TXT", "old");
        WindowFixture::SetUp();
    }
};

TEST_F(KeyboardWindowTest, ThreeTracksWithModesProgrammedFromTheKeyboard) {
    // Dir1 has the focus at start; its sub-folder sits below the open folder.
    ASSERT_EQ(GetFocus(), k().get<win32::FolderList>("Dir1").hwnd());
    press(VK_DOWN);
    press(VK_RETURN);
    // Return takes the row the keyboard is on, then Down moves to the next.
    tabTo(k().get<win32::FileList>("File1"));
    press(VK_RETURN);
    for (int i = 0; i < 2; ++i) {
        press(VK_DOWN);
        press(VK_RETURN);
    }
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstList1")), (Rows{"a.mp3", "b.nvr", "c.mp3"}));

    tabTo(k().get<win32::ColourButton>("cmdMode2"));
    press(VK_SPACE);
    tabTo(k().get<win32::ListBoxCtrl>("lstList1"));
    press(VK_RETURN);
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), (Rows{"2", "0", "0"}));
    tabTo(k().get<win32::ColourButton>("cmdMode1"));
    press(VK_RETURN);
    tabTo(k().get<win32::ListBoxCtrl>("lstList1"));
    press(VK_DOWN);
    press(VK_DOWN);
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), (Rows{"2", "1", "1"}));

    whenAsked([this] {
        tabTo(k().get<win32::ButtonCtrl>("Command1"));
        press(VK_RETURN);
    });
    tabTo(k().get<win32::ButtonCtrl>("cmdFinish"));
    press(VK_RETURN);

    EXPECT_EQ(m_messages, std::vector<std::string>{text::downloadComplete});
    EXPECT_EQ(m_card.read("M0000003.MP3"), std::string(50, 'c'));
    EXPECT_FALSE(m_card.has("OLD.TXT"));
    const std::string index = m_card.read("INDEX123.VKM");
    const IndexContent read = parseIndex({index.begin(), index.end()});
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[0].playMode, 2);
    EXPECT_EQ(read.records[2].playMode, 1);
}

TEST_F(KeyboardWindowTest, EscapeWhileAskingIsCancel) {
    press(VK_DOWN);
    press(VK_RETURN);
    tabTo(k().get<win32::FileList>("File1"));
    press(VK_RETURN);
    ASSERT_EQ(rows(k().get<win32::ListBoxCtrl>("lstList1")).size(), 1u);
    whenAsked([] { press(VK_ESCAPE); });
    tabTo(k().get<win32::ButtonCtrl>("cmdFinish"));
    press(VK_SPACE);
    EXPECT_FALSE(k().get<win32::FrameCtrl>("Frame1").isVisible());
    EXPECT_EQ(m_card.read("OLD.TXT"), "old");
    EXPECT_EQ(m_form->handlers().state().edit.editState, 0);
}

// The question takes the keyboard to CANCEL, keeps Tab off what the frame covers, and gives
// the focus back to the Programme button, which the run had locked.
TEST_F(KeyboardWindowTest, TheQuestionHasTheFocusOnCancelAndGivesItBack) {
    press(VK_DOWN);
    press(VK_RETURN);
    tabTo(k().get<win32::FileList>("File1"));
    press(VK_RETURN);
    std::vector<HWND> reached;
    whenAsked([&] {
        for (int presses = 0; presses < 16; ++presses) {
            reached.push_back(GetFocus());
            press(VK_TAB);
        }
        press(VK_ESCAPE);
    });
    tabTo(k().get<win32::ButtonCtrl>("cmdFinish"));
    press(VK_RETURN);
    ASSERT_FALSE(reached.empty());
    EXPECT_EQ(reached.front(), k().get<win32::ButtonCtrl>("Command2").hwnd());
    for (const HWND covered :
         {k().get<win32::FolderList>("Dir1").hwnd(), k().get<win32::DriveList>("drvDrive1").hwnd(),
          k().get<win32::FileList>("File1").hwnd(), k().get<win32::DriveList>("Drive1").hwnd()})
        EXPECT_EQ(std::count(reached.begin(), reached.end(), covered), 0);
    EXPECT_NE(
        std::count(reached.begin(), reached.end(), k().get<win32::ButtonCtrl>("Command1").hwnd()),
        0);
    EXPECT_NE(std::count(reached.begin(), reached.end(), k().get<win32::FileList>("File2").hwnd()),
              0);
    EXPECT_EQ(GetFocus(), k().get<win32::ButtonCtrl>("cmdFinish").hwnd());
    tabTo(k().get<win32::FolderList>("Dir1"));
}

TEST_F(KeyboardWindowTest, ReturnOpensHelpAndChoosesATopic) {
    m_staging.write("velkhlp9.txt", "cards");
    tabTo(k().get<win32::ButtonCtrl>("Command3"));
    press(VK_RETURN);
    const win32::hlpform* help = m_form->helpWindow();
    ASSERT_NE(help, nullptr);
    // The window opens in Text1; Tab leaves it for the topics.
    tabTo(help->hbut(9));
    press(VK_RETURN);
    EXPECT_TRUE(help->hbut(9).isChecked());
    EXPECT_EQ(help->Text1().text(), "cards");
}

// Active Accessibility names a list box and an owner-drawn button by its window text.
TEST_F(KeyboardWindowTest, WindowTextsNameTheListsAndTellAnArmedMode) {
    EXPECT_EQ(k().get<win32::ListBoxCtrl>("lstList1").text(), "Message Tracks List");
    EXPECT_EQ(k().get<win32::ListBoxCtrl>("lstList2").text(), "Track");
    EXPECT_EQ(k().get<win32::FileList>("File1").text(), "Source File");

    click(k().get<win32::ColourButton>("cmdMode0"));
    EXPECT_EQ(k().get<win32::ColourButton>("cmdMode0").text(),
              std::string("Mode 0") + text::stateSeparator + text::armedMode);
    click(k().get<win32::ColourButton>("cmdDel"));
    EXPECT_EQ(k().get<win32::ColourButton>("cmdMode0").text(), "Mode 0");
}

// What the window tells a screen reader, as the reader would hear of it: events caught by a
// hook in this process, and window texts where Wine annotates nothing.
std::vector<std::pair<DWORD, HWND>> heard;
void CALLBACK listen(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_CLIENT)
        heard.emplace_back(event, hwnd);
}
bool wasHeard(DWORD event, HWND hwnd) {
    pump();
    return std::find(heard.begin(), heard.end(), std::make_pair(event, hwnd)) != heard.end();
}

TEST_F(KeyboardWindowTest, ChangesOfLabel4AndTheGuidanceAndTheQuestionAreAnnounced) {
    heard.clear();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, listen,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    pickDrive(k().get<win32::DriveList>("Drive1"), "c:");
    m_form->handlers().Timer1_Timer();
    EXPECT_TRUE(wasHeard(EVENT_OBJECT_NAMECHANGE, k().get<win32::LabelCtrl>("Label4").hwnd()));
    EXPECT_TRUE(
        wasHeard(EVENT_OBJECT_LIVEREGIONCHANGED, k().get<win32::LabelCtrl>("Label4").hwnd()));
    EXPECT_TRUE(
        wasHeard(EVENT_OBJECT_LIVEREGIONCHANGED, k().get<win32::EditCtrl>("txtTEXT1").hwnd()));
    // Wine annotates nothing: the words go where Active Accessibility reads a name.
    EXPECT_EQ(k().get<win32::LabelCtrl>("Label4").text(),
              std::string(text::notFlashCard) + text::stateSeparator + text::destinationNotReady);
    EXPECT_EQ(k().get<win32::LabelCtrl>("Label4").caption(), text::notFlashCard);
    EXPECT_EQ(k().get<win32::ProgressCtrl>("ProgressBar1").text(), text::progressName);

    heard.clear();
    pickDrive(k().get<win32::DriveList>("Drive1"), "e:");
    m_form->handlers().Timer1_Timer();
    press(VK_DOWN);
    press(VK_RETURN);
    tabTo(k().get<win32::FileList>("File1"));
    press(VK_RETURN);
    bool alerted = false;
    whenAsked([&] {
        alerted = wasHeard(EVENT_SYSTEM_ALERT, k().get<win32::FrameCtrl>("Frame1").hwnd());
        press(VK_ESCAPE);
    });
    click(k().get<win32::ButtonCtrl>("cmdFinish"));
    UnhookWinEvent(hook);
    EXPECT_TRUE(alerted);
}

} // namespace
