#include "WindowDriver.h"
#include "core/Colours.h"
#include "core/Texts.h"
#include "platform/System.h"
#include "support/WineCard.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace velk;
using namespace velk::test::win32window;

namespace {

// The real window over the real drive queries, in a Wine prefix whose E: is a removable drive
// with a card: what each kind of drive answers is pinned by the platform's and core's tests.
TEST(DrivesWindowTest, MonitorShowsARealCard) {
    const auto system = makeSystem();
    win32::frmForm1 form(*system);
    form.show();
    const auto& k = form.controls();

    if (const std::string why = test::whyNoWineCard(); !why.empty())
        GTEST_SKIP() << why;
    pickDrive(k.get<win32::DriveList>("Drive1"), "e:");
    form.handlers().Timer1_Timer();
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA("e:", &sectors, &bytes, &freeClusters, &clusters));
    const long long size = 1LL * sectors * bytes * clusters;
    EXPECT_EQ(
        k.get<win32::LabelCtrl>("Label4").caption().rfind("Removeable Drive   Capacity =  ", 0), 0u)
        << k.get<win32::LabelCtrl>("Label4").caption();
    EXPECT_EQ(k.get<win32::LabelCtrl>("Label4").backColour(), colour::buttonFace);
    EXPECT_EQ(k.get<win32::EditCtrl>("txtTEXT1").text(), text::selectSource);
    if (size == 64'000'000) { // a tmpfs card, as the prefix makes one when it may mount
        EXPECT_EQ(k.get<win32::LabelCtrl>("Label4").caption(),
                  "Removeable Drive   Capacity =  65MBytes");
    }
    if (size < 0x7FFFFFFF) {
        EXPECT_EQ(form.handlers().state().cardBytes, size - 50000);
    }
}

} // namespace
