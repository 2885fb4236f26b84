// "Eject card": when it may be used, and what the operator sees after it.
#include "RunFixture.h"

#include "core/CardEject.h"
#include "core/CardMonitor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velk::test {
namespace {

struct EjectFixture : RunFixture {
    CardEject eject{state, form, system};
    CardMonitor monitor{state, form, system};
};

TEST_F(EjectFixture, OnlyAReadyCardThatNoRunHoldsIsEjected) {
    struct Case {
        const char* what;
        std::uint32_t label4;
        bool running;
        bool enabled;
    };
    const Case cases[] = {
        {"a ready card", colour::buttonFace, false, true},
        {"no card ready", colour::red, false, false},
        {"a ready card that a run holds", colour::buttonFace, true, false},
        {"no card, during a run", colour::red, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system.ejectsAsked.clear();
        system.ejected.clear();
        form.messages.clear();
        form.setBackColour(Control::Label4, c.label4);
        state.runInProgress = c.running;
        EXPECT_EQ(eject.enabled(), c.enabled);
        eject.Drive1_EjectCard();
        EXPECT_EQ(system.ejectsAsked,
                  c.enabled ? std::vector<std::string>{"e:"} : std::vector<std::string>{});
        EXPECT_EQ(form.messages.size(), c.enabled ? 1u : 0u);
    }
}

TEST_F(EjectFixture, AnEjectedCardCanBeTakenOutAndTheNextTickShowsNoCard) {
    form.setText(Control::txtTEXT1, "You may now remove the MMC card - capacity used 5 bytes");
    form.setBackColour(Control::txtTEXT1, colour::yellow);
    eject.Drive1_EjectCard();
    EXPECT_EQ(form.messages,
              std::vector<std::string>{"The MMC card in e: can now be taken out of the reader"});
    monitor.Timer1_Timer();
    EXPECT_EQ(form.text(Control::Label4), "Please insert MMC card");
    EXPECT_EQ(form.backColour(Control::Label4), colour::red);
    EXPECT_EQ(form.text(Control::txtTEXT1), "Please insert MMC card");
    EXPECT_FALSE(eject.enabled()) << "nothing is left to eject";
}

TEST_F(EjectFixture, ARefusedEjectSaysSoInRedAndTheCardStaysReady) {
    system.ejectRefusals["e:"] =
        "the MMC card is in use by bash (pid 4242) - close the files and folders open "
        "on it, then eject it again";
    eject.Drive1_EjectCard();
    EXPECT_EQ(form.messages,
              std::vector<std::string>{
                  "Ejecting the MMC card in e: failed: the MMC card is in use by bash (pid 4242) - "
                  "close the files and folders open on it, then eject it again"});
    EXPECT_EQ(form.text(Control::txtTEXT1), "The MMC card was NOT ejected - do not remove it yet");
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::red);
    monitor.Timer1_Timer();
    EXPECT_TRUE(eject.enabled()) << "the card stays ready: close what holds it and try again";
}

// The run holds the card from its first step to its last: an eject pressed while it asks, or
// while it copies, does nothing; after DOWNLOAD COMPLETE one action ejects.
TEST_F(EjectFixture, AfterDownloadCompleteOneActionEjects) {
    addTrack("a.mp3", "first");
    std::vector<bool> enabledDuringRun;
    answer(true, [&](FakeForm&) {
        enabledDuringRun.push_back(eject.enabled());
        eject.Drive1_EjectCard();
    });
    run.cmdFinish_Click();
    ASSERT_EQ(form.messages, std::vector<std::string>{"DOWNLOAD COMPLETE"});
    ASSERT_FALSE(enabledDuringRun.empty());
    EXPECT_EQ(std::count(enabledDuringRun.begin(), enabledDuringRun.end(), true), 0);
    EXPECT_TRUE(system.ejectsAsked.empty());

    eject.Drive1_EjectCard();
    EXPECT_EQ(system.ejectsAsked, std::vector<std::string>{"e:"});
    EXPECT_EQ(form.messages.back(), "The MMC card in e: can now be taken out of the reader");
}

} // namespace
} // namespace velk::test
