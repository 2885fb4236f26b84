#include "TrackFixture.h"

#include "core/Colours.h"
#include "core/Texts.h"
#include "core/TrackEditor.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::gaugeCaption;
using Rows = std::vector<std::string>;

constexpr Control buttons[] = {Control::cmdDel, Control::cmdMode0, Control::cmdMode1,
                               Control::cmdMode2};

struct Editor : test::TrackFixture {
    TrackEditor editor{state, form, tracks};

    Editor() { state.cardBytes = 4'000'000; }

    /// Tracks a, b, c of 1,000,000, 200,000 and 30,000 bytes with modes 0, 1 and 2.
    void addThree() {
        add("a.mp3", 1'000'000);
        add("b.mp3", 200'000);
        add("c.mp3", 30'000);
        editor.cmdMode1_Click();
        select(1);
        editor.cmdMode2_Click();
        select(2);
        idle();
    }

    void select(int row) {
        form.select(Control::lstList1, row);
        editor.lstList1_Click();
    }

    /// Nothing armed, buttons as at start.
    void idle() {
        state.edit = EditWords{};
        for (Control c : buttons)
            form.setBackColour(c, colour::buttonFace);
    }

    [[nodiscard]] std::vector<Control> whiteButtons() const {
        std::vector<Control> white;
        for (Control c : buttons)
            if (form.backColour(c) == colour::white)
                white.push_back(c);
            else
                EXPECT_EQ(form.backColour(c), colour::buttonFace);
        return white;
    }

    [[nodiscard]] std::string path(const std::string& name) const {
        return (source.path() / name).string();
    }
};

struct DeleteCase {
    const char* name;
    int row;
    Rows files;
    Rows modes;
    std::int32_t bytes;
    const char* digits;
};
void PrintTo(const DeleteCase& c, std::ostream* os) {
    *os << c.name;
}

class Delete : public Editor, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(Delete, RemovesRowAndRenumbersTheRest) {
    const DeleteCase& c = GetParam();
    addThree();
    ASSERT_EQ(rows(Control::lstListMode), (Rows{"0", "1", "2"}));
    form.setText(Control::txtTEXT1, "something else");

    editor.cmdDel_Click();
    select(c.row);

    EXPECT_EQ(rows(Control::lstList1), c.files);
    EXPECT_EQ(rows(Control::lstList2), (Rows{"1", "2"}));
    EXPECT_EQ(rows(Control::lstListMode), c.modes);
    const TrackTable& t = state.tracks;
    for (int s = 1; s <= 2; ++s) {
        EXPECT_EQ(t.slot(s).srcPath, path(c.files[static_cast<std::size_t>(s - 1)]));
        EXPECT_EQ(t.slot(s).trackNo, s);
        EXPECT_EQ(std::to_string(t.slot(s).playMode), c.modes[static_cast<std::size_t>(s - 1)]);
    }
    EXPECT_EQ(t.slot(3).trackNo, 0);
    EXPECT_EQ(t.trackCount, 2);
    EXPECT_EQ(t.curSlot, 3) << "the delete leaves curSlot alone";
    EXPECT_EQ(t.messageBytes, c.bytes);
    EXPECT_EQ(form.text(Control::Label7), gaugeCaption(c.digits));
    EXPECT_EQ(guidance(), text::selectSource);
    EXPECT_EQ(guidanceColour(), colour::yellow);
    EXPECT_EQ(state.edit.deletePending, 0);
    EXPECT_TRUE(whiteButtons().empty());

    // One shot: the next selection changes nothing.
    select(0);
    EXPECT_EQ(form.rowCount(Control::lstList1), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Delete,
    ::testing::Values(DeleteCase{"first", 0, {"b.mp3", "c.mp3"}, {"1", "2"}, 230'000, "5"},
                      DeleteCase{"middle", 1, {"a.mp3", "c.mp3"}, {"0", "2"}, 1'030'000, "25"},
                      DeleteCase{"last", 2, {"a.mp3", "b.mp3"}, {"0", "1"}, 1'200'000, "30"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Editor, DeletingTheOnlyTrackEmptiesEverything) {
    add("only.mp3", 2'000'000);
    editor.cmdDel_Click();
    select(0);
    EXPECT_EQ(form.rowCount(Control::lstList1), 0);
    EXPECT_EQ(form.rowCount(Control::lstList2), 0);
    EXPECT_EQ(form.rowCount(Control::lstListMode), 0);
    EXPECT_EQ(state.tracks.messageBytes, 0);
    EXPECT_EQ(state.tracks.slot(1).trackNo, 0);
    EXPECT_EQ(form.text(Control::Label7), gaugeCaption("0"));
    EXPECT_FLOAT_EQ(form.progress(), 0.0f);
    EXPECT_EQ(guidance(), text::selectSource);
}

TEST_F(Editor, DeleteOnSmallerCardStillRemovesButLeavesGauge) {
    addThree();
    state.cardBytes = 500'000; // a smaller card measured since
    const std::string gauge = form.text(Control::Label7);
    const float bar = form.progress();

    editor.cmdDel_Click();
    select(2);

    EXPECT_EQ(rows(Control::lstList1), (Rows{"a.mp3", "b.mp3"}));
    EXPECT_EQ(state.tracks.messageBytes, 1'200'000);
    EXPECT_EQ(guidance(), text::exceedsCard);
    EXPECT_EQ(guidanceColour(), colour::red);
    EXPECT_EQ(form.text(Control::Label7), gauge);
    EXPECT_FLOAT_EQ(form.progress(), bar);
}

TEST_F(Editor, DeleteAfterRefusedAddCountsOnlyListedTracks) {
    add("a.mp3", 1'000'000);
    add("b.mp3", 1'000'000);
    add("huge.mp3", 3'000'000); // refused, but its path stays in the spare slot 3
    ASSERT_EQ(state.tracks.slot(3).srcPath, path("huge.mp3"));

    editor.cmdDel_Click();
    select(0);
    EXPECT_EQ(rows(Control::lstList1), Rows{"b.mp3"});
    EXPECT_EQ(state.tracks.messageBytes, 1'000'000);
    EXPECT_EQ(guidance(), text::selectSource);

    add("c.mp3", 5);
    EXPECT_EQ(rows(Control::lstList2), (Rows{"1", "2"}));
    EXPECT_EQ(state.tracks.slot(2).srcPath, path("c.mp3"));
}

TEST_F(Editor, ModeChangeStaysArmedForEveryRow) {
    addThree();
    form.setText(Control::txtTEXT1, "untouched");
    const auto gaugeWrites = form.label7History.size();

    editor.cmdMode2_Click();
    select(0);
    select(1);
    EXPECT_EQ(rows(Control::lstListMode), (Rows{"2", "2", "2"}));
    editor.cmdMode0_Click();
    select(2);
    EXPECT_EQ(rows(Control::lstListMode), (Rows{"2", "2", "0"}));
    EXPECT_EQ(state.tracks.slot(3).playMode, 0);
    EXPECT_EQ(state.tracks.slot(1).playMode, 2);

    EXPECT_EQ(whiteButtons(), std::vector<Control>{Control::cmdMode0});
    EXPECT_EQ(state.edit.editState, 2);
    EXPECT_EQ(guidance(), "untouched");
    EXPECT_EQ(form.label7History.size(), gaugeWrites);
    EXPECT_EQ(rows(Control::lstList1), (Rows{"a.mp3", "b.mp3", "c.mp3"}));
}

// Buttons pressed in order, then what the words and the buttons show.
struct ArmCase {
    const char* name;
    std::vector<void (TrackEditor::*)()> clicks;
    std::int16_t deletePending;
    std::int16_t editState;
    std::int16_t pendingMode;
    std::vector<Control> white;
};
void PrintTo(const ArmCase& c, std::ostream* os) {
    *os << c.name;
}

class Arming : public Editor, public ::testing::WithParamInterface<ArmCase> {};

TEST_P(Arming, WordsAndColoursAgree) {
    const ArmCase& c = GetParam();
    for (auto click : c.clicks)
        (editor.*click)();
    EXPECT_EQ(state.edit.deletePending, c.deletePending);
    EXPECT_EQ(state.edit.editState, c.editState);
    EXPECT_EQ(state.edit.pendingMode, c.pendingMode);
    EXPECT_EQ(whiteButtons(), c.white);
}

using E = TrackEditor;
INSTANTIATE_TEST_SUITE_P(
    Sequences, Arming,
    ::testing::Values(
        ArmCase{"nothing", {}, 0, 0, 0, {}},
        ArmCase{"delete", {&E::cmdDel_Click}, 1, 0, 0, {Control::cmdDel}},
        ArmCase{"mode0", {&E::cmdMode0_Click}, 0, 2, 0, {Control::cmdMode0}},
        ArmCase{"mode1", {&E::cmdMode1_Click}, 0, 2, 1, {Control::cmdMode1}},
        ArmCase{"mode2", {&E::cmdMode2_Click}, 0, 2, 2, {Control::cmdMode2}},
        ArmCase{"deleteThenMode1",
                {&E::cmdDel_Click, &E::cmdMode1_Click},
                0,
                2,
                1,
                {Control::cmdMode1}},
        ArmCase{"mode2ThenDeleteKeepsMode",
                {&E::cmdMode2_Click, &E::cmdDel_Click},
                1,
                0,
                2,
                {Control::cmdDel}},
        ArmCase{"mode1ThenMode0",
                {&E::cmdMode1_Click, &E::cmdMode0_Click},
                0,
                2,
                0,
                {Control::cmdMode0}},
        ArmCase{"deleteTwice", {&E::cmdDel_Click, &E::cmdDel_Click}, 1, 0, 0, {Control::cmdDel}},
        ArmCase{"clearDisarmsMode", {&E::cmdMode2_Click, &E::newbut_Click}, 0, 0, 0, {}},
        ArmCase{"clearDisarmsDelete", {&E::cmdDel_Click, &E::newbut_Click}, 0, 0, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Editor, ModeArmedThenDeleteDeletesOnceThenNothing) {
    addThree();
    editor.cmdMode0_Click();
    editor.cmdDel_Click();
    select(1);
    EXPECT_EQ(rows(Control::lstList1), (Rows{"a.mp3", "c.mp3"}));
    EXPECT_EQ(rows(Control::lstListMode), (Rows{"0", "2"}));
    select(1);
    EXPECT_EQ(rows(Control::lstListMode), (Rows{"0", "2"})) << "mode 0 was disarmed by Delete";
    EXPECT_EQ(form.rowCount(Control::lstList1), 2);
}

TEST_F(Editor, SelectionThatCannotApplyChangesNothing) {
    // Each: how the list is left, then the armed edit must survive the selection.
    struct Case {
        const char* name;
        std::function<void()> arrange;
        int row;
    };
    const Case cases[] = {
        {"emptyList", [] {}, 0},
        {"noRowSelected", [this] { add("a.mp3", 10); }, -1},
        {"staleRowPastTheEnd", [this] { add("a.mp3", 10); }, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        editor.newbut_Click();
        c.arrange();
        editor.cmdDel_Click();
        form.setText(Control::txtTEXT1, "kept");
        const Rows before = rows(Control::lstList1);
        select(c.row);
        EXPECT_EQ(rows(Control::lstList1), before);
        EXPECT_EQ(state.edit.deletePending, 1);
        EXPECT_EQ(whiteButtons(), std::vector<Control>{Control::cmdDel});
        EXPECT_EQ(guidance(), "kept");
    }
}

TEST_F(Editor, SelectionWithNothingArmedChangesNothing) {
    addThree();
    form.setText(Control::txtTEXT1, "kept");
    const auto gaugeWrites = form.label7History.size();
    for (int row = 0; row < 3; ++row)
        select(row);
    EXPECT_EQ(rows(Control::lstList1), (Rows{"a.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(rows(Control::lstListMode), (Rows{"0", "1", "2"}));
    EXPECT_EQ(guidance(), "kept");
    EXPECT_EQ(form.label7History.size(), gaugeWrites);
}

TEST_F(Editor, ClearEmptiesTableAndNextAddIsTrackOne) {
    for (std::int32_t card : {4'000'000, 0}) {
        SCOPED_TRACE(card);
        state.cardBytes = 4'000'000;
        addThree();
        editor.cmdMode2_Click();
        state.cardBytes = card;
        state.tracks.copiedBytes = 1234;
        form.setText(Control::txtTEXT1, "kept");

        editor.newbut_Click();

        for (Control list : {Control::lstList1, Control::lstList2, Control::lstListMode})
            EXPECT_EQ(form.rowCount(list), 0);
        const TrackTable& t = state.tracks;
        for (int s = 1; s <= TrackTable::slotCount; ++s) {
            EXPECT_TRUE(t.slot(s).srcPath.empty());
            EXPECT_EQ(t.slot(s).trackNo, 0);
            EXPECT_EQ(t.slot(s).playMode, 0);
        }
        EXPECT_EQ(t.curSlot, 0);
        EXPECT_EQ(t.trackCount, 0);
        EXPECT_EQ(t.messageBytes, 0);
        EXPECT_EQ(t.copiedBytes, 1234);
        EXPECT_EQ(state.cardBytes, card);
        EXPECT_EQ(form.text(Control::Label7), gaugeCaption("0"));
        EXPECT_FLOAT_EQ(form.progress(), 0.0f);
        EXPECT_EQ(guidance(), "kept");
        EXPECT_TRUE(whiteButtons().empty());

        state.cardBytes = 4'000'000;
        add("new.mp3", 10);
        EXPECT_EQ(rows(Control::lstList2), Rows{"1"});
        EXPECT_EQ(rows(Control::lstListMode), Rows{"0"});
        EXPECT_EQ(state.tracks.trackCount, 1);
        editor.newbut_Click();
    }
}

TEST_F(Editor, EveryHandlerWaitsOutAProgrammingRun) {
    addThree();
    editor.cmdMode1_Click();
    state.runInProgress = true;
    for (auto handler :
         {&E::cmdDel_Click, &E::cmdMode0_Click, &E::cmdMode2_Click, &E::newbut_Click}) {
        (editor.*handler)();
        EXPECT_EQ(state.edit.editState, 2);
        EXPECT_EQ(state.edit.pendingMode, 1);
        EXPECT_EQ(whiteButtons(), std::vector<Control>{Control::cmdMode1});
        EXPECT_EQ(form.rowCount(Control::lstList1), 3);
    }
    select(0);
    EXPECT_EQ(rows(Control::lstListMode), (Rows{"0", "1", "2"}));

    state.runInProgress = false;
    select(0);
    EXPECT_EQ(rows(Control::lstListMode), (Rows{"1", "1", "2"}));
}

} // namespace
} // namespace velk
