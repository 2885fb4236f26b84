#include "ui/win32/hlpform/hlpform.h"
#include "Form1Fixture.h"
#include "WindowDriver.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"
#include "ui/win32/wingui/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>

using namespace velk;
using namespace velk::test::win32window;

namespace {

// The help window opened from the main window's HELP button, with topic files in the current
// folder of the process.
class hlpformTest : public frmForm1Test {
protected:
    void fillHere() override {
        for (int topic = 1; topic <= 9; ++topic)
            if (topic != 4)
                m_here.write("velkhlp" + std::to_string(topic) + ".txt",
                             "Topic " + std::to_string(topic) + "\r\n");
    }

    win32::hlpform& openHelp() {
        click(m_form->controls().get<win32::ButtonCtrl>("Command3"));
        EXPECT_NE(m_form->helpWindow(), nullptr);
        return *m_form->helpWindow();
    }
    static std::vector<int> checked(const win32::hlpform& help) {
        std::vector<int> on;
        for (int topic = 1; topic <= 9; ++topic)
            if (help.hbut(topic).isChecked())
                on.push_back(topic);
        return on;
    }
};

TEST_F(hlpformTest, IsLaidOutAsDesignedAndOwnedByTheMainWindow) {
    EXPECT_EQ(m_form->helpWindow(), nullptr) << "nothing exists before the first HELP";
    const win32::hlpform& help = openHelp();
    wchar_t caption[64] = {};
    GetWindowTextW(help.hwnd(), caption, 64);
    EXPECT_EQ(velk::narrow(caption), text::helpCaption);
    const UINT dpi = GetDpiForWindow(help.hwnd());
    RECT client;
    GetClientRect(help.hwnd(), &client);
    EXPECT_EQ(client.right, win32::px(6180, dpi));
    EXPECT_EQ(client.bottom, win32::px(4845, dpi));
    EXPECT_EQ(GetWindow(help.hwnd(), GW_OWNER), m_form->hwnd());
    EXPECT_NE(GetWindowLongPtrW(help.Text1().hwnd(), GWL_STYLE) & WS_VSCROLL, 0);
    for (int topic = 1; topic <= 9; ++topic) {
        const win32::RadioCtrl& button = help.hbut(topic);
        EXPECT_EQ(button.text(), text::helpTopics[topic - 1]);
        RECT r;
        GetWindowRect(button.hwnd(), &r);
        MapWindowPoints(HWND_DESKTOP, help.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        const RECT want = win32::toPixels({120, 240 + 480 * (topic - 1), 1815, 255}, dpi);
        EXPECT_EQ(r.left, want.left) << topic;
        EXPECT_EQ(r.top, want.top) << topic;
        // The whole caption fits beside the circle: none is cut off.
        HDC dc = GetDC(button.hwnd());
        const HGDIOBJ old = SelectObject(
            dc, reinterpret_cast<HFONT>(SendMessageW(button.hwnd(), WM_GETFONT, 0, 0)));
        const std::wstring caption = velk::widen(text::helpTopics[topic - 1]);
        SIZE size{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(button.hwnd(), dc);
        EXPECT_LE(size.cx + GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi), r.right - r.left) << topic;
    }
}

TEST_F(hlpformTest, HelpShowsTopicOneAndEachButtonItsTopic) {
    const win32::hlpform& help = openHelp();
    EXPECT_TRUE(IsWindowVisible(help.hwnd()));
    EXPECT_EQ(checked(help), std::vector<int>{1});
    EXPECT_EQ(help.Text1().text(), "Topic 1\n");
    EXPECT_EQ(GetFocus(), help.Text1().hwnd());
    screenshot(help.hwnd(), "win32-help");
    for (int topic : {9, 2, 1}) {
        click(help.hbut(topic));
        EXPECT_EQ(checked(help), std::vector<int>{topic});
        EXPECT_EQ(help.Text1().text(), "Topic " + std::to_string(topic) + "\n");
    }
}

TEST_F(hlpformTest, ArrowKeysMoveThroughTheTopicsAndTabFollowsTheDesignedOrder) {
    const win32::hlpform& help = openHelp();
    const auto key = [](HWND at, WPARAM which) {
        SetFocus(at);
        win32::MessagePump::dispatch(MSG{at, WM_KEYDOWN, which, 0, 0, {}});
        return GetFocus();
    };
    EXPECT_EQ(key(help.hbut(3).hwnd(), VK_DOWN), help.hbut(4).hwnd());
    EXPECT_EQ(checked(help), std::vector<int>{4});
    EXPECT_EQ(key(help.hbut(1).hwnd(), VK_UP), help.hbut(9).hwnd());
    EXPECT_EQ(checked(help), std::vector<int>{9});
    EXPECT_EQ(help.Text1().text(), "Topic 9\n");
    EXPECT_EQ(key(help.Text1().hwnd(), VK_TAB), help.hbut(1).hwnd());
    EXPECT_EQ(key(help.hbut(1).hwnd(), VK_TAB), help.hbut(2).hwnd());
    EXPECT_EQ(key(help.hbut(9).hwnd(), VK_TAB), help.Text1().hwnd());
    EXPECT_EQ(checked(help), std::vector<int>{9}) << "Tab only moves the focus";
}

// The box holds the lines as Windows shows them, CR LF between lines, and scrolls a long topic.
TEST_F(hlpformTest, ATopicShowsAsWindowsLinesAndALongOneScrolls) {
    std::string topic;
    for (int line = 1; line <= 200; ++line)
        topic += "line " + std::to_string(line) + "\r\n";
    m_here.write("velkhlp2.txt", topic);
    const win32::hlpform& help = openHelp();
    click(help.hbut(2));
    const HWND box = help.Text1().hwnd();
    EXPECT_EQ(SendMessageW(box, EM_GETLINECOUNT, 0, 0), 201);
    wchar_t raw[25] = {};
    GetWindowTextW(box, raw, 25);
    EXPECT_EQ(std::wstring(raw), L"line 1\r\nline 2\r\nline 3\r\n");
    SCROLLINFO bar{sizeof(bar), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(box, SB_VERT, &bar));
    EXPECT_GT(bar.nMax - bar.nMin + 1, static_cast<int>(bar.nPage));
}

TEST_F(hlpformTest, HelpWhileOpenKeepsTheTopicAndAfterCloseLoadsAgain) {
    win32::hlpform& help = openHelp();
    click(help.hbut(3));
    EXPECT_EQ(&openHelp(), &help);
    EXPECT_EQ(checked(help), std::vector<int>{3});
    EXPECT_EQ(help.Text1().text(), "Topic 3\n");

    SendMessageW(help.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(help.hwnd()));
    EXPECT_EQ(&openHelp(), &help);
    EXPECT_TRUE(IsWindowVisible(help.hwnd()));
    EXPECT_EQ(checked(help), std::vector<int>{1});
    EXPECT_EQ(help.Text1().text(), "Topic 1\n");
}

// Why a topic cannot be shown stands in the empty box; the next topic's text replaces it.
TEST_F(hlpformTest, AMissingTopicSaysSoInTheBox) {
    const win32::hlpform& help = openHelp();
    click(help.hbut(4));
    EXPECT_EQ(help.Text1().text(), "");
    EXPECT_EQ(velk::narrow(help.Text1().placeholder()),
              text::helpNotFound + test::utf8Of(m_here.path() / "velkhlp4.txt"));
    click(help.hbut(5));
    EXPECT_EQ(help.Text1().text(), "Topic 5\n");
    EXPECT_EQ(help.Text1().placeholder(), L"");
}

TEST_F(hlpformTest, FollowsAMoveToAMonitorOfAnotherDpi) {
    const win32::hlpform& help = openHelp();
    moveToDpi(help.hwnd(), 144);
    EXPECT_EQ(help.dpi(), 144u);
    RECT text;
    GetWindowRect(help.Text1().hwnd(), &text);
    MapWindowPoints(HWND_DESKTOP, help.hwnd(), reinterpret_cast<POINT*>(&text), 2);
    EXPECT_EQ(text.left, 204);
    EXPECT_EQ(text.right - text.left, 398);
    EXPECT_LE(fontHeight(help.Text1().hwnd()), -13) << "a face of at least 6 points at 144 dpi";
    EXPECT_EQ(fontHeight(help.hbut(9).hwnd()), fontHeight(help.Text1().hwnd()));
}

} // namespace
