#include "WindowFixture.h"
#include "core/Colours.h"
#include "core/Texts.h"
#include "support/CardIndex.h"
#include "support/FakeSystem.h"
#include "ui/win32/frmForm1/FileDialog.h"
#include "ui/win32/frmForm1/OkMessageBox.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <functional>
#include <memory>

using namespace velk;
using namespace velk::test::win32window;

namespace {

using velk::test::indexRecord;

using Rows = std::vector<std::string>;

const char* const longEntry = "e: [MESSAGES FOR THE FRONT DESK PLAYER]";

/// Posts `paths` to `target` as Explorer drops them: a DROPFILES header, then the wide paths,
/// each NUL-terminated, with one more NUL at the end. The receiver frees the memory.
void dropFiles(HWND target, const std::vector<std::filesystem::path>& paths) {
    std::wstring list;
    for (const auto& p : paths)
        list += p.wstring() + L'\0';
    list += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    ASSERT_NE(memory, nullptr);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(),
                list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    pump();
}

// "Load list from card", Ctrl+L, "Eject card", Ctrl+E, files dropped from Explorer and the
// destination entry read in full, through the real window. The sources sit in a folder named
// outside the ANSI code page.
class CardListWindowTest : public WindowFixture {
protected:
    CardListWindowTest() : WindowFixture("Ansagen B\u00fcro \u65e5\u672c") {}

    void SetUp() override {
        m_source.write("a.mp3", std::string(100, 'a'));
        m_source.write("b.nvr", std::string(300, 'b'));
        m_source.write("c.mp3", std::string(50, 'c'));
        // The card's entry carries a volume label far longer than the closed box.
        m_system.labels["e:"] = longEntry;
        WindowFixture::SetUp();
        ASSERT_EQ(k().get<win32::LabelCtrl>("Label4").backColour(), colour::buttonFace);
        active = this;
    }
    void TearDown() override {
        active = nullptr;
        WindowFixture::TearDown();
    }

    Rows tracks() const { return rows(k().get<win32::ListBoxCtrl>("lstList1")); }

    void addFromSource(const std::string& name) {
        pickDrive(k().get<win32::DriveList>("drvDrive1"), "s:");
        const int row = findRow(k().get<win32::FileList>("File1"), name);
        ASSERT_GE(row, 0) << name;
        doubleClickRow(k().get<win32::FileList>("File1"), row);
    }

    /// Programmes the card with the listed tracks, answering O.K. to the confirmation.
    void programme() {
        m_onTick = [this] {
            if (!k().get<win32::FrameCtrl>("Frame1").isVisible())
                return false;
            click(k().get<win32::ButtonCtrl>("Command1"));
            return true;
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &CardListWindowTest::tick);
        click(k().get<win32::ButtonCtrl>("cmdFinish"));
        KillTimer(nullptr, timer);
        ASSERT_EQ(m_messages, Rows{text::downloadComplete});
        m_messages.clear();
    }

    /// What a shortcut menu's only entry showed.
    struct MenuEntryShown {
        std::string caption;
        bool enabled = false;
    };

    /// Right-clicks `control` and picks its menu's only entry with the keyboard where it is
    /// enabled; returns what the entry showed. With `shot`, the window is saved with the menu open.
    MenuEntryShown chooseFromMenu(HWND control, const char* shot = nullptr) {
        MenuEntryShown shown;
        int ticks = 0;
        m_onTick = [&] {
            const HWND menu = FindWindowW(L"#32768", nullptr);
            if (!menu || !IsWindowVisible(menu))
                return ++ticks > 250;
            if (shown.caption.empty()) {
                const auto popup = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                wchar_t text[128] = {};
                GetMenuStringW(popup, 0, text, 128, MF_BYPOSITION);
                shown.caption = velk::narrow(text);
                shown.enabled = (GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED) == 0;
                if (shot)
                    screenshot(m_form->hwnd(), shot);
                if (!shown.enabled) {
                    EndMenu();
                    return false;
                }
                PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
                PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
            } else if (++ticks > 100) {
                EndMenu(); // never left open to hang the suite
            }
            return false;
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &CardListWindowTest::tick);
        RECT box;
        GetWindowRect(control, &box);
        // As a control's own default handling passes a right click up to its parent.
        SendMessageW(m_form->hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control),
                     MAKELPARAM(box.left + 10, box.top + 10));
        KillTimer(nullptr, timer);
        m_onTick = {};
        return shown;
    }

    std::string loadByMenu() {
        return chooseFromMenu(k().get<win32::ListBoxCtrl>("lstList1").hwnd()).caption;
    }

    /// Ctrl and `key` pressed while `focus` has the keyboard, delivered through the program's pump.
    void pressCtrl(HWND focus, char key = 'L') {
        BYTE keys[256];
        GetKeyboardState(keys);
        const BYTE before = keys[VK_CONTROL];
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(focus, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        pump();
        keys[VK_CONTROL] = before;
        SetKeyboardState(keys);
    }

    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (active && active->m_onTick && active->m_onTick())
            KillTimer(nullptr, id);
    }

    static inline CardListWindowTest* active = nullptr;
    std::function<bool()> m_onTick;
};

TEST_F(CardListWindowTest, AProgrammedCardLoadsBackByMenuAndByCtrlL) {
    addFromSource("a.mp3");
    addFromSource("b.nvr");
    addFromSource("c.mp3");
    click(k().get<win32::ColourButton>("cmdMode2"));
    selectRow(k().get<win32::ListBoxCtrl>("lstList1"), 0);
    click(k().get<win32::ColourButton>("cmdMode1"));
    selectRow(k().get<win32::ListBoxCtrl>("lstList1"), 2);
    ASSERT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), (Rows{"2", "0", "1"}));
    programme();

    const Rows names{"M0000001.MP3", "M0000002.MP3", "M0000003.MP3"};
    const auto expectCardList = [&](const char* how) {
        SCOPED_TRACE(how);
        EXPECT_EQ(tracks(), names);
        EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstList2")), (Rows{"1", "2", "3"}));
        EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), (Rows{"2", "0", "1"}));
        EXPECT_TRUE(m_messages.empty()) << m_messages.front();
    };

    click(k().get<win32::ButtonCtrl>("newbut"));
    ASSERT_TRUE(tracks().empty());
    EXPECT_EQ(loadByMenu(), "Load list from card\tCtrl+L");
    expectCardList("menu");

    click(k().get<win32::ButtonCtrl>("newbut"));
    ASSERT_TRUE(tracks().empty());
    pressCtrl(k().get<win32::ButtonCtrl>("cmdFinish").hwnd());
    expectCardList("Ctrl+L on a button");

    // Loading again replaces the list rather than adding to it.
    pressCtrl(k().get<win32::ListBoxCtrl>("lstList1").hwnd());
    expectCardList("Ctrl+L on the list");
}

// After DOWNLOAD COMPLETE one action ejects the card: Drive1's menu or Ctrl+E, wherever the
// focus is. The menu shows the command greyed while no card is ready.
TEST_F(CardListWindowTest, EjectCardByDrive1sMenuAndByCtrlE) {
    addFromSource("a.mp3");
    programme();
    const MenuEntryShown shown =
        chooseFromMenu(k().get<win32::DriveList>("Drive1").hwnd(), "win32-eject-menu");
    EXPECT_EQ(shown.caption, "Eject card\tCtrl+E");
    EXPECT_TRUE(shown.enabled);
    EXPECT_EQ(m_system.ejectsAsked, Rows{"e:"});
    EXPECT_EQ(m_messages, Rows{"The MMC card in e: can now be taken out of the reader"});

    m_form->handlers().Timer1_Timer();
    ASSERT_EQ(k().get<win32::LabelCtrl>("Label4").caption(), "Please insert MMC card");
    EXPECT_FALSE(chooseFromMenu(k().get<win32::DriveList>("Drive1").hwnd()).enabled);

    ASSERT_EQ(m_system.mountCard("e:"), "");
    m_form->handlers().Timer1_Timer();
    pressCtrl(k().get<win32::EditCtrl>("txtTEXT1").hwnd(), 'E');
    EXPECT_EQ(m_system.ejectsAsked, (Rows{"e:", "e:"}));
}

// Which indexes are refused, and why, is core's; the window shows the reason and keeps its list.
TEST_F(CardListWindowTest, ACorruptedIndexIsRefusedAndChangesNothing) {
    m_card.write("M0000001.MP3", "one");
    m_card.write("INDEX123.VKM", "\x03" + indexRecord(1, 0, "M0000001.MP3"));
    addFromSource("b.nvr");
    pressCtrl(k().get<win32::ButtonCtrl>("cmdFinish").hwnd());
    EXPECT_EQ(m_messages, Rows{"Loading the list from the MMC card failed: " +
                               utf8Of(m_card.path() / "INDEX123.VKM") +
                               ": the INDEX file's count byte says 3 tracks, but it holds "
                               "records for 1"});
    EXPECT_EQ(tracks(), Rows{"b.nvr"});
    EXPECT_EQ(rows(k().get<win32::ListBoxCtrl>("lstListMode")), Rows{"0"});
}

TEST_F(CardListWindowTest, ListSavedByCtrlSOpensByCtrlOAndARefusedOneChangesNothing) {
    addFromSource("a.mp3");
    addFromSource("b.nvr");
    std::string chosen = utf8Of(m_source.path() / "tracks.txt");
    win32::FileDialog::setAnswerer([&](win32::FileDialog::Purpose) { return chosen; });
    pressCtrl(k().get<win32::ListBoxCtrl>("lstList1").hwnd(), 'S');
    click(k().get<win32::ButtonCtrl>("newbut"));
    pressCtrl(k().get<win32::ButtonCtrl>("cmdFinish").hwnd(), 'O');
    EXPECT_EQ(tracks(), (Rows{"a.mp3", "b.nvr"}));

    std::string seventeen;
    for (int i = 0; i < 17; ++i)
        seventeen += "1\t" + utf8Of(m_source.path() / "c.mp3") + "\n";
    m_source.write("long.txt", seventeen);
    chosen = utf8Of(m_source.path() / "long.txt");
    SendMessageW(m_form->hwnd(), WM_COMMAND, win32::frmForm1::mnuOpenList, 0);
    win32::FileDialog::setAnswerer({});
    EXPECT_EQ(k().get<win32::EditCtrl>("txtTEXT1").text(), "Reached Maximum Track Number");
    EXPECT_EQ(tracks(), (Rows{"a.mp3", "b.nvr"}));
    EXPECT_TRUE(m_messages.empty()) << m_messages.front();
}

TEST_F(CardListWindowTest, ThreeFilesDroppedFromExplorerOneOfThemText) {
    m_source.write("notes.txt", "not audio");
    m_source.write("beep.NVR", "beep");
    dropFiles(
        k().get<win32::ListBoxCtrl>("lstList1").hwnd(),
        {m_source.path() / "c.mp3", m_source.path() / "notes.txt", m_source.path() / "beep.NVR"});
    EXPECT_EQ(tracks(), (Rows{"c.mp3", "beep.NVR"}));
    EXPECT_EQ(k().get<win32::EditCtrl>("txtTEXT1").text(),
              "Only .mp3 and .nvr files can be added - not added: notes.txt");
    EXPECT_EQ(k().get<win32::EditCtrl>("txtTEXT1").backColour(), colour::red);

    // Explorer offers a drop only to a window that says it takes files: the tracks list alone.
    for (const win32::Ctrl* c :
         {static_cast<const win32::Ctrl*>(&k().get<win32::FileList>("File1")),
          static_cast<const win32::Ctrl*>(&k().get<win32::ListBoxCtrl>("lstList2"))})
        EXPECT_FALSE(GetWindowLongPtrW(c->hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << c->name();
    EXPECT_TRUE(GetWindowLongPtrW(k().get<win32::ListBoxCtrl>("lstList1").hwnd(), GWL_EXSTYLE) &
                WS_EX_ACCEPTFILES);
    EXPECT_FALSE(GetWindowLongPtrW(m_form->hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(CardListWindowTest, NothingIsDroppedWhileTheRunAsks) {
    addFromSource("a.mp3");
    bool disabled = false;
    m_onTick = [&] {
        if (!k().get<win32::FrameCtrl>("Frame1").isVisible())
            return false;
        disabled = !k().get<win32::ListBoxCtrl>("lstList1").isEnabled();
        dropFiles(k().get<win32::ListBoxCtrl>("lstList1").hwnd(), {m_source.path() / "c.mp3"});
        click(k().get<win32::ButtonCtrl>("Command2"));
        return true;
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &CardListWindowTest::tick);
    click(k().get<win32::ButtonCtrl>("cmdFinish"));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(disabled);
    EXPECT_EQ(tracks(), Rows{"a.mp3"});
}

TEST_F(CardListWindowTest, TheDestinationEntryCanBeReadInFull) {
    const auto& drive = k().get<win32::DriveList>("Drive1");
    const LRESULT selected = SendMessageW(drive.hwnd(), CB_GETCURSEL, 0, 0);
    ASSERT_EQ(drive.row(static_cast<int>(selected)), longEntry);

    SendMessageW(drive.hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(drive.hwnd(), &info));
    RECT list, box;
    GetClientRect(info.hwndList, &list);
    GetWindowRect(drive.hwnd(), &box);
    SendMessageW(drive.hwnd(), CB_SHOWDROPDOWN, FALSE, 0);
    HDC dc = GetDC(info.hwndList);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(info.hwndList, WM_GETFONT, 0, 0)));
    SIZE needed{};
    const std::wstring entry = velk::widen(longEntry);
    GetTextExtentPoint32W(dc, entry.c_str(), static_cast<int>(entry.size()), &needed);
    SelectObject(dc, old);
    ReleaseDC(info.hwndList, dc);
    EXPECT_GT(needed.cx, box.right - box.left) << "the entry must be longer than the closed box";
    EXPECT_GE(list.right - list.left, needed.cx + GetSystemMetrics(SM_CXVSCROLL));

    EXPECT_EQ(m_form->tipOf(drive), std::string("Drive Letter for the MMC Card\n") + longEntry);
    // The entry is read again only when the card's status changes.
    m_system.labels["e:"] = "e: [SHORT]";
    m_form->handlers().Timer1_Timer();
    EXPECT_EQ(m_form->tipOf(drive), std::string("Drive Letter for the MMC Card\n") + longEntry);
    m_system.table["e:"].space.reset();
    m_form->handlers().Timer1_Timer();
    EXPECT_EQ(k().get<win32::LabelCtrl>("Label4").caption(), text::insertCard);
    EXPECT_EQ(m_form->tipOf(drive), "Drive Letter for the MMC Card\ne: [SHORT]");
    EXPECT_EQ(drive.drive(), "e:");
}

} // namespace
