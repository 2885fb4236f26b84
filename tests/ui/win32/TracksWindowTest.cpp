#include "WindowDriver.h"
#include "core/Colours.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"

#include <gtest/gtest.h>

#include <memory>

using namespace velk;
using namespace velk::test::win32window;

namespace {

using Rows = std::vector<std::string>;

// Browsing, adding and editing tracks through the real window. The source drive's root is a
// folder with letters outside the ANSI code page, which must list, add and measure.
class TracksWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_source.write("intro.mp3", std::string(1'000'000, 'i'));
        m_source.write("LOUD.MP3", std::string(516'000, 'l'));
        m_source.write("notes.txt", "n");
        std::filesystem::create_directory(m_source.path() / "voice");
        m_source.write("voice/hello.nvr", std::string(250'000, 'h'));
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_card.path());

        m_system.addFixed("c:", "C:\\");
        m_system.addFixed("s:", m_source.utf8());
        m_system.addEmptyReader("f:");
        // 4 x 512 x 1978 clusters = 4,050,944 bytes, less the reserve.
        m_system.addCard("e:", m_card.utf8(), {4, 512, 0, 1978});
        m_system.current = "c:";
        m_form = std::make_unique<win32::frmForm1>(m_system);
        m_form->show();
        pickDrive(k().get<win32::DriveList>("Drive1"), "e:");
        m_form->handlers().Timer1_Timer();
        ASSERT_EQ(m_form->handlers().state().cardBytes, 4 * 512 * 1978 - 50000);
    }
    void TearDown() override {
        m_form.reset();
        forgetQuit();
        std::filesystem::current_path(m_previous);
    }

    const win32::Form1Controls& k() const { return m_form->controls(); }
    std::string guidance() const { return k().get<win32::EditCtrl>("txtTEXT1").text(); }
    void add(const std::string& name) {
        const int row = findRow(k().get<win32::FileList>("File1"), name);
        ASSERT_GE(row, 0) << name;
        doubleClickRow(k().get<win32::FileList>("File1"), row);
    }

    TempFolder m_source{"Ansagen B\u00fcro \u65e5\u672c"};
    TempFolder m_card{"card"};
    std::filesystem::path m_previous;
    test::FakeSystem m_system;
    std::unique_ptr<win32::frmForm1> m_form;
};

TEST_F(TracksWindowTest, BrowsingADriveAndItsFolders) {
    pickDrive(k().get<win32::DriveList>("drvDrive1"), "s:");
    EXPECT_EQ(k().get<win32::FolderList>("Dir1").path(), m_source.utf8());
    EXPECT_EQ(rows(k().get<win32::FileList>("File1")), (Rows{"intro.mp3", "LOUD.MP3"}));
    EXPECT_EQ(guidance(), text::selectSource);
    EXPECT_EQ(k().get<win32::EditCtrl>("txtTEXT1").backColour(), colour::yellow);

    // The folders from the root down, each one step in, then the sub-folders one further.
    const int voice = findRow(k().get<win32::FolderList>("Dir1"), "voice");
    ASSERT_GT(voice, 0);
    EXPECT_EQ(k().get<win32::FolderList>("Dir1").depth(voice),
              k().get<win32::FolderList>("Dir1").depth(voice - 1) + 1);
    EXPECT_EQ(k().get<win32::FolderList>("Dir1").depth(0), 0);

    k().get<win32::EditCtrl>("txtTEXT1").setText("left alone");
    SendMessageW(k().get<win32::FolderList>("Dir1").hwnd(), LB_SETCURSEL,
                 static_cast<WPARAM>(voice), 0);
    SendMessageW(k().get<win32::FolderList>("Dir1").hwnd(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(k().get<win32::FolderList>("Dir1").path(), utf8Of(m_source.path() / "voice"));
    EXPECT_EQ(rows(k().get<win32::FileList>("File1")), Rows{"hello.nvr"});
    EXPECT_EQ(guidance(), "left alone");

    doubleClickRow(k().get<win32::FolderList>("Dir1"),
                   findRow(k().get<win32::FolderList>("Dir1"), utf8Of(m_source.path().filename())));
    EXPECT_EQ(k().get<win32::FolderList>("Dir1").path(), m_source.utf8());
}

TEST_F(TracksWindowTest, AReaderWithoutACardKeepsTheFolder) {
    const std::string before = k().get<win32::FolderList>("Dir1").path();
    pickDrive(k().get<win32::DriveList>("drvDrive1"), "f:");
    EXPECT_EQ(guidance(), text::driveUnavailable);
    EXPECT_EQ(k().get<win32::EditCtrl>("txtTEXT1").backColour(), colour::red);
    EXPECT_EQ(k().get<win32::DriveList>("drvDrive1").drive(), "f:");
    EXPECT_EQ(k().get<win32::FolderList>("Dir1").path(), before);
}

TEST_F(TracksWindowTest, ADoubleClickAddsATrackToAllThreeLists) {
    pickDrive(k().get<win32::DriveList>("drvDrive1"), "s:");
    selectRow(k().get<win32::FileList>("File1"), 0);
    EXPECT_TRUE(rows(k().get<win32::ListBoxCtrl>("lstList1")).empty())
        << "a single click adds nothing";

    add("intro.mp3");
    add("LOUD.MP3");
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstList1")), (Rows{"intro.mp3", "LOUD.MP3"}));
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstList2")), (Rows{"1", "2"}));
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), (Rows{"0", "0"}));
    // 1,516,000 bytes on a card of 4,050,944 less 50,000 kept free: 37.89 %.
    EXPECT_EQ(k().get<win32::LabelCtrl>("Label7").text(), "Message Size vs Card Size  37%");
    EXPECT_NEAR(k().get<win32::ProgressCtrl>("ProgressBar1").value(), 37.891f, 0.001f);
    // The bar shows the fraction too, not just the whole percent.
    EXPECT_EQ(k().get<win32::ProgressCtrl>("ProgressBar1").position(), 37891);
}

TEST_F(TracksWindowTest, ArmedEditsApplyToRowsPickedWithMouseOrKeyboard) {
    pickDrive(k().get<win32::DriveList>("drvDrive1"), "s:");
    for (int i = 0; i < 3; ++i)
        add("intro.mp3");
    ASSERT_EQ(rows(k().get<win32::ListBoxCtrl>("lstList1")).size(), 3u);

    click(k().get<win32::ColourButton>("cmdMode2"));
    EXPECT_EQ(k().get<win32::ColourButton>("cmdMode2").backColour(), colour::white);
    selectRow(k().get<win32::ListBoxCtrl>("lstList1"), 0);
    selectRow(k().get<win32::ListBoxCtrl>("lstList1"), 2);
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), (Rows{"2", "0", "2"}));

    click(k().get<win32::ColourButton>("cmdMode1"));
    // The arrow key moves the selection in the list box itself, which reports it as a change.
    SetFocus(k().get<win32::ListBoxCtrl>("lstList1").hwnd());
    SendMessageW(k().get<win32::ListBoxCtrl>("lstList1").hwnd(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(k().get<win32::ListBoxCtrl>("lstList1").selected(), 1);
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), (Rows{"2", "1", "2"}));
    // A mouse click on the row already selected applies a newly armed edit too.
    click(k().get<win32::ColourButton>("cmdMode0"));
    RECT row;
    SendMessageW(k().get<win32::ListBoxCtrl>("lstList1").hwnd(), LB_GETITEMRECT, 1,
                 reinterpret_cast<LPARAM>(&row));
    const LPARAM at = MAKELPARAM(row.left + 5, row.top + 3);
    SendMessageW(k().get<win32::ListBoxCtrl>("lstList1").hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(k().get<win32::ListBoxCtrl>("lstList1").hwnd(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), (Rows{"2", "0", "2"}));

    click(k().get<win32::ColourButton>("cmdDel"));
    selectRow(k().get<win32::ListBoxCtrl>("lstList1"), 1);
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), (Rows{"2", "2"}));

    click(k().get<win32::ButtonCtrl>("newbut"));
    EXPECT_TRUE(rows(k().get<win32::ListBoxCtrl>("lstList1")).empty());
}

} // namespace
