#include "core/CardMonitor.h"
#include "core/Colours.h"
#include "core/Module1.h"
#include "core/ProgressShown.h"
#include "core/Texts.h"
#include "support/FakeForm.h"
#include "support/FakeSystem.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace velk {
namespace {

using test::FakeForm;
using test::FakeSystem;

struct Monitor : ::testing::Test {
    Module1 state;
    FakeForm form;
    FakeSystem system;
    CardMonitor monitor{state, form, system};

    void choose(const std::string& designation) { form.setText(Control::Drive1, designation); }
    void tick() { monitor.Timer1_Timer(); }
    std::string label4() const { return form.text(Control::Label4); }
    std::string guidance() const { return form.text(Control::txtTEXT1); }
};

std::string capacity(const std::string& megabytes) {
    return "Removeable Drive   Capacity =  " + megabytes + "MBytes";
}

// One ready card per row: what the drive answers and what the tick must make of it.
struct CardCase {
    const char* name;
    SpaceCounts counts;
    std::int32_t driveBytes;
    std::int32_t cardBytes;
    const char* megabytes;
};

class ReadyCard : public Monitor, public ::testing::WithParamInterface<CardCase> {};

TEST_P(ReadyCard, SetsCapacityFlagAndCaption) {
    const CardCase& c = GetParam();
    system.addCard("e", "/card", c.counts);
    choose("e");
    tick();
    EXPECT_EQ(state.monitor.driveBytes, c.driveBytes);
    EXPECT_EQ(state.cardBytes, c.cardBytes);
    EXPECT_EQ(form.backColour(Control::Label4), colour::buttonFace);
    EXPECT_EQ(label4(), capacity(c.megabytes));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ReadyCard,
    ::testing::Values(
        CardCase{"card64MB", {4, 512, 100, 31000}, 63'488'000, 63'438'000, "64"},
        CardCase{"exactly64000000", {1, 512, 0, 125000}, 64'000'000, 63'950'000, "65"},
        // 2 GiB and up no longer fits 32 bits: the counts stay capped, the caption tells the truth.
        CardCase{"twoGiB",
                 {64, 512, 0, 65536},
                 std::numeric_limits<std::int32_t>::max(),
                 std::numeric_limits<std::int32_t>::max() - 50000,
                 "2148"},
        CardCase{"largestAccepted",
                 {1, 500, 0, 5'000'000},
                 std::numeric_limits<std::int32_t>::max(),
                 std::numeric_limits<std::int32_t>::max() - 50000,
                 "2501"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Monitor, FixedDiskIsNotAFlashCardAtEveryTick) {
    system.addFixed("/", "/");
    choose("/");
    form.setBackColour(Control::txtTEXT1, colour::red);
    for (int i = 0; i < 3; ++i) {
        form.setText(Control::txtTEXT1, "written by someone else");
        tick();
        EXPECT_EQ(guidance(), text::selectDestination);
        EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::red) << "colour is left as it was";
        EXPECT_EQ(form.backColour(Control::Label4), colour::red);
        EXPECT_EQ(label4(), text::notFlashCard);
    }
    EXPECT_EQ(state.cardBytes, 0);
    EXPECT_EQ(system.spaceQueries, 0) << "a fixed disk is never asked for its space";
}

TEST_F(Monitor, EmptyReaderAsksForACard) {
    system.addEmptyReader("r");
    choose("r");
    form.setBackColour(Control::txtTEXT1, colour::red);
    tick();
    EXPECT_EQ(guidance(), text::insertCard);
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::yellow);
    EXPECT_EQ(form.backColour(Control::Label4), colour::red);
    EXPECT_EQ(label4(), text::insertCard);
    EXPECT_EQ(form.timerInterval, 100);
    EXPECT_TRUE(form.timerEnabled);
    EXPECT_EQ(state.cardBytes, 0);
}

TEST_F(Monitor, GuidanceWrittenOnlyWhenComingFromRed) {
    system.addCard("e", "/e");
    system.addCard("f", "/f", {8, 512, 0, 31000});
    choose("e");
    form.setBackColour(Control::txtTEXT1, colour::red);
    tick();
    EXPECT_EQ(guidance(), text::selectSource);
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::yellow);

    form.setText(Control::txtTEXT1, "a later text");
    tick();
    EXPECT_EQ(guidance(), "a later text");

    choose("f"); // ready to ready: capacity follows, guidance stays
    tick();
    EXPECT_EQ(state.cardBytes, 8 * 512 * 31000 - 50000);
    EXPECT_EQ(label4(), capacity("127"));
    EXPECT_EQ(guidance(), "a later text");
}

TEST_F(Monitor, PulledCardKeepsLastCapacity) {
    system.addCard("e", "/e");
    choose("e");
    tick();
    system.table["e"].space.reset();
    tick();
    EXPECT_EQ(label4(), text::insertCard);
    EXPECT_EQ(state.cardBytes, 63'438'000);
    EXPECT_EQ(state.monitor.driveBytes, 63'488'000) << "formed from the last counts";

    choose("nowhere"); // another, unknown drive
    tick();
    EXPECT_EQ(label4(), text::notFlashCard);
    EXPECT_EQ(state.cardBytes, 63'438'000);
}

// The windows read Drive1's entries again only when a tick changed Label4's words.
TEST_F(Monitor, SaysWhenTheDestinationsStatusChanged) {
    system.addCard("e", "/e");
    choose("e");
    const struct {
        const char* what;
        std::function<void()> before;
        bool changed;
    } ticks[] = {
        {"first ready tick", [] {}, true},
        {"the same card again", [] {}, false},
        {"card pulled", [&] { system.table["e"].space.reset(); }, true},
        {"still no card", [] {}, false},
        {"a card of another size",
         [&] {
             system.table["e"].space = SpaceCounts{8, 512, 0, 31000};
         },
         true},
    };
    for (const auto& t : ticks) {
        t.before();
        tick();
        EXPECT_EQ(monitor.statusChanged(), t.changed) << t.what;
    }
}

TEST(ProgressShownTest, KeepsTheBarBetweenEmptyAndFull) {
    const struct {
        float value;
        float shown;
    } cases[] = {{0.0f, 0.0f},
                 {37.9f, 37.9f},
                 {100.0f, 100.0f},
                 {133.3f, 100.0f},
                 {-1.0f, 0.0f},
                 {std::numeric_limits<float>::quiet_NaN(), 0.0f},
                 {std::numeric_limits<float>::infinity(), 0.0f}};
    for (const auto& c : cases)
        EXPECT_EQ(progressShown(c.value), c.shown) << c.value;
}

TEST_F(Monitor, FullAndEmptyCardOfOneSizeGiveTheSameCapacity) {
    system.addCard("e", "/e", {4, 512, 0, 31000});
    choose("e");
    tick();
    const auto empty = state.cardBytes;
    system.table["e"].space->freeClusters = 31000;
    tick();
    EXPECT_EQ(state.cardBytes, empty);
}

TEST_F(Monitor, DriveLargerThanAnyCardIsRefusedWithoutOverflow) {
    system.addCard("e", "/e");
    choose("e");
    tick();
    form.setText(Control::txtTEXT1, "kept");
    system.addCard("big", "/big", {8, 512, 0, 4'000'000}); // 16 GB removable disk
    choose("big");
    tick();
    EXPECT_EQ(form.backColour(Control::Label4), colour::red);
    EXPECT_EQ(label4(), text::notFlashCard);
    EXPECT_EQ(guidance(), "kept");
    EXPECT_EQ(state.cardBytes, 63'438'000);
    EXPECT_GE(state.monitor.driveBytes, 0);

    // Once it stops answering it is an empty reader again, not "not a flash card".
    system.table["big"].space.reset();
    tick();
    EXPECT_EQ(label4(), text::insertCard);
}

TEST_F(Monitor, TickNeverTouchesTheGauge) {
    system.addCard("e", "/e");
    choose("e");
    form.setText(Control::Label7, "Message Size vs Card Size  12%");
    form.setProgress(12.5f);
    tick();
    EXPECT_EQ(form.text(Control::Label7), "Message Size vs Card Size  12%");
    EXPECT_FLOAT_EQ(form.progress(), 12.5f);
}

} // namespace
} // namespace velk
