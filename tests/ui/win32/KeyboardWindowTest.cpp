#include "WindowFixture.h"
#include "core/IndexReader.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"
#include "ui/win32/hlpform/hlpform.h"
#include "ui/win32/frmForm1/OkMessageBox.h"

#include <gtest/gtest.h>

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
    ASSERT_EQ(GetFocus(), k().Dir1.hwnd());
    press(VK_DOWN);
    press(VK_RETURN);
    // Return takes the row the keyboard is on, then Down moves to the next.
    tabTo(k().File1);
    press(VK_RETURN);
    for (int i = 0; i < 2; ++i) {
        press(VK_DOWN);
        press(VK_RETURN);
    }
    EXPECT_EQ(rows(k().lstList1), (Rows{"a.mp3", "b.nvr", "c.mp3"}));

    tabTo(k().cmdMode2);
    press(VK_SPACE);
    tabTo(k().lstList1);
    press(VK_RETURN);
    EXPECT_EQ(rows(k().lstListMode), (Rows{"2", "0", "0"}));
    tabTo(k().cmdMode1);
    press(VK_RETURN);
    tabTo(k().lstList1);
    press(VK_DOWN);
    press(VK_DOWN);
    EXPECT_EQ(rows(k().lstListMode), (Rows{"2", "1", "1"}));

    whenAsked([this] {
        tabTo(k().Command1);
        press(VK_RETURN);
    });
    tabTo(k().cmdFinish);
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
    tabTo(k().File1);
    press(VK_RETURN);
    ASSERT_EQ(rows(k().lstList1).size(), 1u);
    whenAsked([] { press(VK_ESCAPE); });
    tabTo(k().cmdFinish);
    press(VK_SPACE);
    EXPECT_FALSE(k().Frame1.isVisible());
    EXPECT_EQ(m_card.read("OLD.TXT"), "old");
    EXPECT_EQ(m_form->handlers().state().edit.editState, 0);
}

TEST_F(KeyboardWindowTest, ReturnOpensHelpAndChoosesATopic) {
    m_staging.write("velkhlp9.txt", "cards");
    tabTo(k().Command3);
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
    EXPECT_EQ(k().lstList1.text(), "Message Tracks List");
    EXPECT_EQ(k().lstList2.text(), "Track");
    EXPECT_EQ(k().File1.text(), "Source File");

    click(k().cmdMode0);
    EXPECT_EQ(k().cmdMode0.text(), std::string("Mode 0") + text::stateSeparator + text::armedMode);
    click(k().cmdDel);
    EXPECT_EQ(k().cmdMode0.text(), "Mode 0");
}

} // namespace
