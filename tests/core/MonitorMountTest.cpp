// The monitor asks the system to mount a card only where a reader does not answer.
#include "core/CardMonitor.h"
#include "core/Colours.h"
#include "core/Module1.h"
#include "support/FakeForm.h"
#include "support/FakeSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velk::test {
namespace {

class MountingSystem : public FakeSystem {
public:
    void requestMount(const std::string& designation) const override {
        asked.push_back(designation);
    }
    mutable std::vector<std::string> asked;
};

TEST(MonitorMount, OnlyAReaderThatDoesNotAnswerIsAskedFor) {
    MountingSystem system;
    system.addCard("e:", "/media/e");
    system.addEmptyReader("f:");
    system.addFixed("c:", "/");
    Module1 state;
    FakeForm form;
    CardMonitor monitor(state, form, system);

    for (const char* drive : {"e:", "c:", "f:", "f:", "e:"}) {
        form.setText(Control::Drive1, drive);
        monitor.Timer1_Timer();
    }
    // Asked at every tick of the empty reader: the system keeps it to once per insertion.
    EXPECT_EQ(system.asked, (std::vector<std::string>{"f:", "f:"}));
    EXPECT_EQ(form.backColour(Control::Label4), colour::buttonFace);

    form.setText(Control::Drive1, "f:");
    monitor.Timer1_Timer();
    EXPECT_EQ(form.text(Control::Label4), "Please insert MMC card");
    EXPECT_EQ(form.text(Control::txtTEXT1), "Please insert MMC card");
}

} // namespace
} // namespace velk::test
