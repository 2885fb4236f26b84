#include "WindowFixture.h"
#include "core/Colours.h"
#include "core/Form1Design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace velk::test::win32window {

namespace {

class ControlsWindowTest : public WindowFixture {};

// Each designed control is made as its kind asks, found by its name, and refused as another type.
TEST_F(ControlsWindowTest, EachControlIsMadeByItsKindAndFoundOnlyAsItsType) {
    using K = ControlKind;
    const std::map<ControlKind, std::wstring> windowClass = {{K::label, L"Static"},
                                                             {K::button, L"Button"},
                                                             {K::colourButton, L"Button"},
                                                             {K::driveList, L"ComboBox"},
                                                             {K::folderList, L"ListBox"},
                                                             {K::fileList, L"ListBox"},
                                                             {K::listBox, L"ListBox"},
                                                             {K::textBox, L"Edit"},
                                                             {K::progressBar, L"msctls_progress32"},
                                                             {K::picture, L"Static"},
                                                             {K::frame, L"VelkFrame"}};
    std::size_t made = 0;
    for (const ControlDesign& d : form1Design()) {
        if (d.kind == K::rectangle || d.kind == K::line)
            continue;
        ++made;
        wchar_t name[64] = {};
        GetClassNameW(k().get(d.name).hwnd(), name, 64);
        EXPECT_EQ(std::wstring(name), windowClass.at(d.kind)) << d.name;
    }
    EXPECT_EQ(k().all().size(), made);
    EXPECT_THROW((void)k().get<win32::ListBoxCtrl>("Label4"), std::logic_error);
    EXPECT_THROW((void)k().get<win32::ColourButton>("newbut"), std::logic_error);
    EXPECT_THROW((void)k().get("Label8"), std::logic_error);
}

// What the port reads and writes follows from a control's kind. Where a screen reader cannot
// be told a state otherwise (Wine), a button's and a list's window texts carry words for it,
// which are no text of theirs.
TEST_F(ControlsWindowTest, AButtonsTextIsItsCaptionAndAListHasNone) {
    win32::Form1Port& port = m_form->port();
    click(k().get<win32::ColourButton>("cmdMode1"));
    ASSERT_EQ(port.backColour(Control::cmdMode1), colour::white);
    EXPECT_EQ(port.text(Control::cmdMode1), "Mode 1");
    EXPECT_EQ(port.text(Control::lstList1), "");
    EXPECT_EQ(port.text(Control::Frame1), "Deleting Existing Files");
}

// Every label, frame and list takes the back colour it is given, and draws with it.
TEST_F(ControlsWindowTest, EveryLabelFrameAndListTakesItsBackColour) {
    win32::Form1Port& port = m_form->port();
    const std::pair<Control, UINT> painted[] = {{Control::labCard, WM_CTLCOLORSTATIC},
                                                {Control::Label7, WM_CTLCOLORSTATIC},
                                                {Control::lstList2, WM_CTLCOLORLISTBOX},
                                                {Control::File2, WM_CTLCOLORLISTBOX},
                                                {Control::Frame1, 0}};
    for (const auto& [c, message] : painted) {
        SCOPED_TRACE(nameOf(c));
        port.setBackColour(c, colour::yellow);
        EXPECT_EQ(port.backColour(c), colour::yellow);
        if (!message)
            continue;
        const HWND control = k().get(nameOf(c)).hwnd();
        HDC dc = GetDC(control);
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(GetParent(control), message, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(control)));
        ReleaseDC(control, dc);
        LOGBRUSH drawn{};
        ASSERT_TRUE(GetObjectW(brush, sizeof drawn, &drawn));
        EXPECT_EQ(drawn.lbColor, RGB(255, 255, 0));
    }
    EXPECT_EQ(k().get<win32::FrameCtrl>("Frame1").backColour(), colour::yellow);
}

// The bar keeps the value it is given and draws the share core says it shows.
TEST_F(ControlsWindowTest, TheBarDrawsWhatCoreSaysItShows) {
    win32::Form1Port& port = m_form->port();
    port.setProgress(150.0f);
    EXPECT_EQ(port.progress(), 150.0f);
    EXPECT_EQ(k().get<win32::ProgressCtrl>("ProgressBar1").position(), 100000);
    port.setProgress(std::nanf(""));
    EXPECT_EQ(k().get<win32::ProgressCtrl>("ProgressBar1").position(), 0);
}

} // namespace

} // namespace velk::test::win32window
