#include "WindowFixture.h"
#include "core/Form1Design.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>

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

} // namespace

} // namespace velk::test::win32window
