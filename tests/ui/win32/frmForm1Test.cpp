#include "Form1Fixture.h"
#include "core/Colours.h"
#include "core/Form1Design.h"
#include "core/Texts.h"
#include "ui/win32/frmForm1/OkMessageBox.h"
#include "ui/win32/hlpform/hlpform.h"
#include "ui/win32/wingui/MessagePump.h"
#include "ui/win32/wingui/ProcessStart.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace velk;
using namespace velk::test::win32window;

namespace {

TEST_F(frmForm1Test, StartsAsDesigned) {
    const auto& k = m_form->controls();
    wchar_t caption[128] = {};
    GetWindowTextW(m_form->hwnd(), caption, 128);
    EXPECT_EQ(velk::narrow(caption), text::mainCaption);
    RECT client;
    GetClientRect(m_form->hwnd(), &client);
    EXPECT_EQ(client.right, win32::px(7590, m_form->dpi()));
    EXPECT_EQ(client.bottom, win32::px(6405, m_form->dpi()));

    EXPECT_FALSE(k.get<win32::FrameCtrl>("Frame1").isVisible());
    EXPECT_EQ(guidance(), "");
    EXPECT_EQ(k.get<win32::EditCtrl>("txtTEXT1").backColour(), colour::yellow);
    EXPECT_EQ(k.get<win32::LabelCtrl>("Label4").caption(), "");
    EXPECT_EQ(label4Colour(), colour::red);
    EXPECT_EQ(k.get<win32::LabelCtrl>("Label7").text(), "");
    EXPECT_EQ(k.get<win32::ProgressCtrl>("ProgressBar1").value(), 0.0f);
    EXPECT_EQ(k.get<win32::ProgressCtrl>("ProgressBar1").position(), 0);
    for (const char* list : {"lstList1", "lstList2", "lstListMode"})
        EXPECT_TRUE(rows(c(list)).empty()) << list;
    EXPECT_EQ(k.get<win32::DriveList>("drvDrive1").drive(), "c:");
    EXPECT_EQ(k.get<win32::DriveList>("Drive1").drive(), "c:");
    EXPECT_EQ(std::filesystem::path(velk::widen(k.get<win32::FolderList>("Dir1").path())),
              m_here.path());
    EXPECT_EQ(k.get<win32::FileList>("File1").path(), k.get<win32::FolderList>("Dir1").path());
    EXPECT_EQ(rows(k.get<win32::FileList>("File1")), (std::vector<std::string>{"a.mp3", "B.NVR"}));
    EXPECT_EQ(GetFocus(), k.get<win32::FolderList>("Dir1").hwnd());
    EXPECT_EQ(k.get<win32::PictureCtrl>("Image1").bitmapSize().cx, 320);
    EXPECT_EQ(k.get<win32::PictureCtrl>("Image1").bitmapSize().cy, 240);
    EXPECT_EQ(m_form->port().timerInterval(), 100);
    EXPECT_TRUE(m_form->port().timerEnabled());
    for (const char* name : {"cmdDel", "cmdMode0", "cmdMode1", "cmdMode2"})
        EXPECT_EQ(k.get<win32::ColourButton>(name).backColour(), colour::buttonFace) << name;
    for (const char* name :
         {"Command1", "Command2", "Command3", "cmdFinish", "newbut", "quit1", "cmdDel"}) {
        const win32::ButtonCtrl& b = k.get<win32::ButtonCtrl>(name);
        EXPECT_NE(GetWindowLongPtrW(b.hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON) << name;
        EXPECT_EQ(b.text().find('&'), std::string::npos) << name;
    }
}

// Each control is built from its designed row: box, caption, tooltip and place in the frame.
TEST_F(frmForm1Test, ControlsSitWhereDesignedWithCaptionsAndTips) {
    const UINT dpi = m_form->dpi();
    for (const ControlDesign& d : form1Design()) {
        if (d.kind == ControlKind::rectangle || d.kind == ControlKind::line)
            continue; // painted on the window surface
        SCOPED_TRACE(d.name);
        const win32::Ctrl* ctrl = m_form->find(d.name);
        ASSERT_NE(ctrl, nullptr);
        EXPECT_EQ(GetParent(ctrl->hwnd()),
                  d.parent.empty() ? m_form->hwnd() : m_form->find(d.parent)->hwnd());
        RECT r;
        GetWindowRect(ctrl->hwnd(), &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(ctrl->hwnd()), reinterpret_cast<POINT*>(&r), 2);
        const auto px = [dpi](int t) { return static_cast<LONG>(std::lround(t * dpi / 1440.0)); };
        const RECT want{px(d.box.left), px(d.box.top), px(d.box.left) + px(d.box.width),
                        px(d.box.top) + px(d.box.height)};
        EXPECT_EQ(r.left, want.left);
        EXPECT_EQ(r.top, want.top);
        EXPECT_EQ(r.right, want.right);
        const bool driveList = d.kind == ControlKind::driveList;
        // A drive list's window reaches down over its drop-down part; its face is the box.
        if (!driveList) {
            EXPECT_EQ(r.bottom, want.bottom);
        } else {
            // Wine will not make the closed box shorter than its font needs: 2 px over at 96 dpi.
            const int face = static_cast<const win32::DriveList*>(ctrl)->faceHeight();
            EXPECT_GE(face, want.bottom - want.top);
            EXPECT_LE(face, want.bottom - want.top + 2);
        }
        if (d.kind == ControlKind::label || d.kind == ControlKind::button ||
            d.kind == ControlKind::colourButton || d.kind == ControlKind::frame) {
            const auto* label = dynamic_cast<const win32::LabelCtrl*>(ctrl);
            EXPECT_EQ(label ? label->caption() : ctrl->text(), d.caption);
        }
        // A drive list's tip goes on with its selected entry, on a line of its own.
        const std::string tip = m_form->tipOf(*ctrl);
        EXPECT_EQ(driveList ? tip.substr(0, tip.find('\n')) : tip, d.tooltip ? d.tooltip : "");
    }
}

TEST_F(frmForm1Test, FrameHoldsItsControlsWithARedFaceAndABoldCaption) {
    const auto& frame = m_form->controls().get<win32::FrameCtrl>("Frame1");
    for (const char* inside : {"File2", "Label3", "Command1", "Command2"})
        EXPECT_EQ(GetParent(c(inside).hwnd()), frame.hwnd()) << inside;
    EXPECT_EQ(frame.backColour(), colour::red);
    EXPECT_EQ(frame.captionColour(), colour::highlight);
    LOGFONTW font{};
    GetObjectW(m_form->frameFont().handle(), sizeof(font), &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -MulDiv(12, static_cast<int>(m_form->dpi()), 72));
    const std::wstring face = font.lfFaceName;
    EXPECT_TRUE(face == L"Microsoft Sans Serif" ||
                (!win32::Font::installed(L"Microsoft Sans Serif") && face == L"Tahoma"));
    // A face that scales, never the bitmap "MS Sans Serif", which is jagged at 150 %.
    HDC dc = GetDC(frame.hwnd());
    const HGDIOBJ old = SelectObject(dc, m_form->frameFont().handle());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(frame.hwnd(), dc);
    EXPECT_TRUE(metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR));
}

bool lists(const win32::DriveList& drives, const std::string& entry) {
    for (int i = 0; i < drives.count(); ++i)
        if (drives.row(i) == entry)
            return true;
    return false;
}

// Windows tells every window of a volume that came; both drive lists show it without a click.
TEST_F(frmForm1Test, AReaderPluggedInAppearsInBothDriveLists) {
    const auto& k = m_form->controls();
    m_system.addEmptyReader("g:");
    EXPECT_FALSE(lists(k.get<win32::DriveList>("drvDrive1"), "g:"));
    DEV_BROADCAST_VOLUME volume{sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << ('G' - 'A'), 0};
    SendMessageW(m_form->hwnd(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                 reinterpret_cast<LPARAM>(&volume));
    EXPECT_TRUE(lists(k.get<win32::DriveList>("drvDrive1"), "g:"));
    EXPECT_TRUE(lists(k.get<win32::DriveList>("Drive1"), "g:"));
}

// What the monitor makes of each drive is core's; the window's part is the tick and what
// Label4 and the guidance box show.
TEST_F(frmForm1Test, TheTimerDrivesTheMonitor) {
    pickDrive(m_form->controls().get<win32::DriveList>("Drive1"), "e:");
    for (int waited = 0; waited < 3000 && label4Colour() != colour::buttonFace; waited += 10) {
        Sleep(10);
        pump();
    }
    EXPECT_EQ(label4Colour(), colour::buttonFace);
    EXPECT_EQ(m_form->controls().get<win32::LabelCtrl>("Label4").caption(),
              "Removeable Drive   Capacity =  64MBytes");
    EXPECT_EQ(guidance(), text::selectSource);
}

TEST_F(frmForm1Test, TabFollowsTheDesignedOrderAndSkipsTheHiddenFrame) {
    const auto& k = m_form->controls();
    const auto tabFrom = [](HWND from) {
        SetFocus(from);
        const MSG tab{from, WM_KEYDOWN, VK_TAB, 0, 0, {}};
        win32::MessagePump::dispatch(tab);
        return GetFocus();
    };
    EXPECT_EQ(tabFrom(k.get<win32::FolderList>("Dir1").hwnd()),
              k.get<win32::DriveList>("drvDrive1").hwnd());
    EXPECT_EQ(tabFrom(k.get<win32::EditCtrl>("txtTEXT1").hwnd()),
              k.get<win32::ButtonCtrl>("cmdFinish").hwnd());
    EXPECT_EQ(tabFrom(k.get<win32::ListBoxCtrl>("lstList1").hwnd()),
              k.get<win32::ColourButton>("cmdDel").hwnd());
    EXPECT_EQ(tabFrom(k.get<win32::DriveList>("Drive1").hwnd()),
              k.get<win32::ButtonCtrl>("newbut").hwnd());
    EXPECT_EQ(tabFrom(k.get<win32::ButtonCtrl>("Command3").hwnd()),
              k.get<win32::FolderList>("Dir1").hwnd());
    k.get<win32::FrameCtrl>("Frame1").show(true);
    EXPECT_EQ(tabFrom(k.get<win32::DriveList>("Drive1").hwnd()),
              k.get<win32::FileList>("File2").hwnd());
    EXPECT_EQ(tabFrom(k.get<win32::ButtonCtrl>("Command2").hwnd()),
              k.get<win32::ButtonCtrl>("newbut").hwnd());
}

TEST_F(frmForm1Test, QuitEndsTheProgram) {
    click(c("quit1"));
    EXPECT_TRUE(m_form->handlers().ending());
    EXPECT_FALSE(IsWindowVisible(m_form->hwnd()));
    EXPECT_FALSE(m_form->port().timerEnabled());
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(frmForm1Test, ClosingTheWindowEndsTheProgramWithItsHelp) {
    click(c("Command3"));
    ASSERT_NE(m_form->helpWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(m_form->helpWindow()->hwnd()));
    EXPECT_EQ(GetWindow(m_form->helpWindow()->hwnd(), GW_OWNER), m_form->hwnd());
    SendMessageW(m_form->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(m_form->handlers().ending());
    EXPECT_FALSE(IsWindowVisible(m_form->hwnd()));
    EXPECT_FALSE(IsWindowVisible(m_form->helpWindow()->hwnd()));
}

TEST_F(frmForm1Test, AnExceptionInAHandlerIsReportedAndTheWindowGoesOn) {
    std::vector<std::string> shown;
    win32::OkMessageBox::setAnswerer([&](const std::string& message) { shown.push_back(message); });
    m_system.drivesFault = "the drive list broke";
    // Dropping the list down reads the drives again, inside the window procedure.
    SendMessageW(
        m_form->hwnd(), WM_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN),
        reinterpret_cast<LPARAM>(m_form->controls().get<win32::DriveList>("drvDrive1").hwnd()));
    EXPECT_EQ(shown,
              std::vector<std::string>{std::string(text::windowFault) + "the drive list broke"});

    m_system.drivesFault.clear();
    pickDrive(m_form->controls().get<win32::DriveList>("Drive1"), "e:");
    m_form->handlers().Timer1_Timer();
    EXPECT_EQ(m_form->controls().get<win32::LabelCtrl>("Label4").caption(),
              "Removeable Drive   Capacity =  64MBytes");
    win32::OkMessageBox::setAnswerer({});
}

TEST_F(frmForm1Test, SwitchingBackToTheWindowGivesTheFocusBack) {
    const HWND chosen = m_form->controls().get<win32::ButtonCtrl>("cmdFinish").hwnd();
    SetFocus(chosen);
    SendMessageW(m_form->hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    SendMessageW(m_form->hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), chosen);
}

TEST(ProcessStart, EmptyReadersRaiseNoSystemDialog) {
    SetErrorMode(0);
    win32::startProcess();
    EXPECT_TRUE(GetErrorMode() & SEM_FAILCRITICALERRORS);
}

} // namespace
