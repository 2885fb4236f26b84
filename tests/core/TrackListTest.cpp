#include "TrackFixture.h"

#include "core/Colours.h"
#include "core/Paths.h"
#include "core/Texts.h"
#include "support/NotFound.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <string>

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::gaugeCaption;
using test::makeFile;

using Tracks = test::TrackFixture;

constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
const std::string sep(1, static_cast<char>(fs::path::preferred_separator));

TEST_F(Tracks, AddAppendsTrackWithNextNumberAndModeZero) {
    add("first.mp3", 1'000'000);
    add("second.nvr", 516'000);

    EXPECT_EQ(rows(Control::lstList1), (std::vector<std::string>{"first.mp3", "second.nvr"}));
    EXPECT_EQ(rows(Control::lstList2), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(rows(Control::lstListMode), (std::vector<std::string>{"0", "0"}));
    const TrackTable& t = state.tracks;
    EXPECT_EQ(t.slot(2).srcPath, source.str() + sep + "second.nvr");
    EXPECT_EQ(t.slot(2).trackNo, 2);
    EXPECT_EQ(t.slot(2).playMode, 0);
    EXPECT_EQ(t.curSlot, 2);
    EXPECT_EQ(t.trackCount, 2);
    EXPECT_EQ(t.messageBytes, 1'516'000);
    EXPECT_EQ(t.copiedBytes, 1'516'000);
    EXPECT_EQ(guidance(), text::selectSource);
    EXPECT_EQ(guidanceColour(), colour::yellow);
    EXPECT_EQ(form.text(Control::Label7), gaugeCaption("1"));
}

TEST_F(Tracks, SixteenthIsAddedSeventeenthRefused) {
    for (int i = 1; i <= 15; ++i)
        add("t" + std::to_string(i) + ".mp3", 10);
    add("t16.mp3", 10);
    ASSERT_EQ(form.rowCount(Control::lstList1), 16);
    EXPECT_EQ(rows(Control::lstList2).back(), "16");

    const auto gaugeWrites = form.label7History.size();
    add("t17.mp3", 10);
    EXPECT_EQ(guidance(), text::maxTracks);
    EXPECT_EQ(guidanceColour(), colour::red);
    EXPECT_EQ(form.rowCount(Control::lstList1), 16);
    EXPECT_EQ(form.rowCount(Control::lstList2), 16);
    EXPECT_EQ(form.rowCount(Control::lstListMode), 16);
    EXPECT_EQ(state.tracks.messageBytes, 160);
    EXPECT_EQ(state.tracks.curSlot, 16);
    EXPECT_EQ(state.tracks.trackCount, 16);
    EXPECT_TRUE(state.tracks.slot(17).srcPath.empty());
    EXPECT_EQ(form.label7History.size(), gaugeWrites);
}

// A card already holding `listed` bytes of message, then one more file.
struct CapacityCase {
    const char* name;
    std::int32_t cardBytes;
    std::uintmax_t listed;
    std::uintmax_t added;
    bool accepted;
};
void PrintTo(const CapacityCase& c, std::ostream* os) {
    *os << c.name;
}

class Capacity : public Tracks, public ::testing::WithParamInterface<CapacityCase> {};

TEST_P(Capacity, RefusalLeavesTheListAndTotalAsTheyWere) {
    const CapacityCase& c = GetParam();
    state.cardBytes = c.cardBytes;
    add("listed.mp3", c.listed);
    ASSERT_EQ(form.rowCount(Control::lstList1), 1);
    const auto gaugeWrites = form.label7History.size();

    add("added.mp3", c.added);

    const TrackTable& t = state.tracks;
    EXPECT_EQ(t.curSlot, 2);
    EXPECT_EQ(t.trackCount, 2);
    EXPECT_EQ(t.slot(2).srcPath, source.str() + sep + "added.mp3");
    if (c.accepted) {
        EXPECT_EQ(form.rowCount(Control::lstList1), 2);
        EXPECT_EQ(t.messageBytes, static_cast<std::int64_t>(c.listed + c.added));
        EXPECT_EQ(guidance(), text::selectSource);
        EXPECT_EQ(form.label7History.size(), gaugeWrites + 1);
    } else {
        EXPECT_EQ(guidance(), text::exceedsCard);
        EXPECT_EQ(guidanceColour(), colour::red);
        EXPECT_EQ(rows(Control::lstList1), std::vector<std::string>{"listed.mp3"});
        EXPECT_EQ(form.rowCount(Control::lstList2), 1);
        EXPECT_EQ(form.rowCount(Control::lstListMode), 1);
        EXPECT_EQ(t.messageBytes, static_cast<std::int64_t>(c.listed));
        EXPECT_EQ(form.label7History.size(), gaugeWrites);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, Capacity,
    ::testing::Values(
        CapacityCase{"exactlyFull", 4'000'000, 1'000'000, 3'000'000, true},
        CapacityCase{"oneByteOver", 4'000'000, 1'000'000, 3'000'001, false},
        CapacityCase{"emptyFileOnFullCard", 4'000'000, 4'000'000, 0, true},
        // The largest card the monitor reports: a sum past 32 bits must be refused, not wrap.
        CapacityCase{"totalPastInt32", int32Max - 50'000, 2'000'000'000, 200'000'000, false},
        CapacityCase{"singleFilePastInt32", int32Max - 50'000, 0, 3'000'000'000, false},
        CapacityCase{"fileWhoseSizeWrapsToSmall", int32Max - 50'000, 10, 4'294'967'396, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tracks, BeforeAnyCardOnlyEmptyFilesFit) {
    state.cardBytes = 0;
    add("some.mp3", 1);
    EXPECT_EQ(guidance(), text::exceedsCard);
    EXPECT_EQ(form.rowCount(Control::lstList1), 0);

    add("empty.mp3", 0);
    EXPECT_EQ(form.rowCount(Control::lstList1), 1);
    EXPECT_EQ(form.text(Control::Label7), gaugeCaption("0"));
    EXPECT_FLOAT_EQ(form.progress(), 0.0f);
}

struct GaugeCase {
    const char* name;
    std::int32_t messageBytes;
    std::int32_t cardBytes;
    const char* digits;
    float bar;
};
void PrintTo(const GaugeCase& c, std::ostream* os) {
    *os << c.name;
}

class Gauge : public Tracks, public ::testing::WithParamInterface<GaugeCase> {};

TEST_P(Gauge, CaptionTruncatesBarKeepsFraction) {
    const GaugeCase& c = GetParam();
    state.tracks.messageBytes = c.messageBytes;
    state.cardBytes = c.cardBytes;
    tracks.updateGauge();
    EXPECT_EQ(form.text(Control::Label7), gaugeCaption(c.digits));
    EXPECT_FLOAT_EQ(form.progress(), c.bar);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Gauge,
    ::testing::Values(GaugeCase{"quarter", 1'000'000, 4'000'000, "25", 25.0f},
                      GaugeCase{"fraction", 1'516'000, 4'000'000, "37", 37.9f},
                      // 0.29 is not exact in binary: the product falls just short of 29.
                      GaugeCase{"justBelow29", 29'000'000, 100'000'000, "28", 29.0f},
                      GaugeCase{"full", 4'000'000, 4'000'000, "100", 100.0f},
                      GaugeCase{"emptyMessage", 0, 4'000'000, "0", 0.0f},
                      GaugeCase{"noCardMeasured", 0, 0, "0", 0.0f},
                      // Files may grow after they were added; the bar cannot go past its end.
                      GaugeCase{"overfull", 6'000'000, 4'000'000, "150", 100.0f}),
    [](const auto& info) { return std::string(info.param.name); });

struct JoinCase {
    const char* name;
    std::string folder;
    std::string expected;
};
void PrintTo(const JoinCase& c, std::ostream* os) {
    *os << c.name;
}

class Join : public ::testing::TestWithParam<JoinCase> {};

TEST_P(Join, ExactlyOneSeparator) {
    EXPECT_EQ(joinPath(GetParam().folder, "a.mp3"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, Join,
    ::testing::Values(JoinCase{"root", sep, sep + "a.mp3"},
                      JoinCase{"subfolder", sep + "music", sep + "music" + sep + "a.mp3"},
                      JoinCase{"trailingSeparator", sep + "music" + sep,
                               sep + "music" + sep + "a.mp3"},
                      JoinCase{"slashAlwaysSeparates", "/music/", "/music/a.mp3"},
                      JoinCase{"noFolder", "", "a.mp3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tracks, FolderEndingInSeparatorGetsNoSecondOne) {
    showFolder(source.str() + sep);
    add("root.mp3", 5);
    EXPECT_EQ(state.tracks.slot(1).srcPath, source.str() + sep + "root.mp3");
    EXPECT_EQ(state.tracks.messageBytes, 5);
}

TEST_F(Tracks, SameNamesAndSameFilesAreAllListed) {
    add("song.mp3", 100);
    const fs::path other = source.path() / "other";
    fs::create_directory(other);
    showFolder(other.string());
    add("song.mp3", 30);
    doubleClick("song.mp3");
    EXPECT_EQ(rows(Control::lstList1),
              (std::vector<std::string>{"song.mp3", "song.mp3", "song.mp3"}));
    EXPECT_EQ(state.tracks.slot(1).srcPath, source.str() + sep + "song.mp3");
    EXPECT_EQ(state.tracks.slot(3).srcPath, other.string() + sep + "song.mp3");
    EXPECT_EQ(state.tracks.messageBytes, 160);
}

TEST_F(Tracks, DoubleClickWithoutSelectionDoesNothing) {
    offer("a.mp3", 10);
    form.setText(Control::txtTEXT1, "earlier text");
    form.setBackColour(Control::txtTEXT1, colour::red);
    form.select(Control::File1, -1);
    tracks.File1_DblClick();
    form.select(Control::File1, 5); // a stale index past the end of the list
    tracks.File1_DblClick();
    EXPECT_EQ(guidance(), "earlier text");
    EXPECT_EQ(guidanceColour(), colour::red);
    EXPECT_EQ(form.rowCount(Control::lstList1), 0);
    EXPECT_EQ(state.tracks.curSlot, 0);
}

TEST_F(Tracks, DoubleClickDuringProgrammingRunDoesNothing) {
    add("kept.mp3", 10);
    state.runInProgress = true;
    add("late.mp3", 10);
    EXPECT_EQ(rows(Control::lstList1), std::vector<std::string>{"kept.mp3"});
    EXPECT_EQ(state.tracks.curSlot, 1);
    EXPECT_TRUE(state.tracks.slot(2).srcPath.empty());
}

// Files that File1 listed but that cannot be measured at the double-click.
struct UnmeasurableCase {
    const char* name;
    void (*make)(const fs::path& file);
    std::string reason;
};
void PrintTo(const UnmeasurableCase& c, std::ostream* os) {
    *os << c.name;
}

class Unmeasurable : public Tracks, public ::testing::WithParamInterface<UnmeasurableCase> {};

TEST_P(Unmeasurable, RefusedWithReasonAndNothingMoves) {
    const UnmeasurableCase& c = GetParam();
    add("good.mp3", 40);
    const auto gaugeWrites = form.label7History.size();
    c.make(source.path() / "bad.mp3");
    list("bad.mp3");

    doubleClick("bad.mp3");

    EXPECT_EQ(guidance(), std::string("Cannot read bad.mp3 - ") + c.reason);
    EXPECT_EQ(guidanceColour(), colour::red);
    const TrackTable& t = state.tracks;
    EXPECT_EQ(t.curSlot, 1);
    EXPECT_EQ(t.trackCount, 1);
    EXPECT_TRUE(t.slot(2).srcPath.empty());
    EXPECT_EQ(t.messageBytes, 40);
    EXPECT_EQ(rows(Control::lstList1), std::vector<std::string>{"good.mp3"});
    EXPECT_EQ(form.label7History.size(), gaugeWrites);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Unmeasurable,
    ::testing::Values(UnmeasurableCase{"vanished", [](const fs::path&) {}, test::fileNotFound()},
                      UnmeasurableCase{
                          "danglingLink",
                          [](const fs::path& f) { fs::create_symlink(f.string() + ".gone", f); },
                          test::fileNotFound()},
                      UnmeasurableCase{"folder", [](const fs::path& f) { fs::create_directory(f); },
                                       "not a file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tracks, FileThatCannotBeOpenedIsRefused) {
    offer("locked.mp3", 10);
    fs::permissions(source.path() / "locked.mp3", fs::perms::none);
    fs::permissions(source.path(), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    // Root reads any file, so the double-click runs in a child that has given that up.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && ::setuid(65534) != 0)
                std::_Exit(2);
            doubleClick("locked.mp3");
            std::cerr << guidance() << std::endl;
            const bool refused = guidanceColour() == colour::red &&
                                 form.rowCount(Control::lstList1) == 0 && state.tracks.curSlot == 0;
            std::_Exit(refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "Cannot read locked\\.mp3 - Permission denied");
}

TEST_F(Tracks, GtflensReadsListedSizesAfresh) {
    add("grows.mp3", 100);
    add("goes.mp3", 200);
    add("stays.mp3", 300);
    makeFile(source.path() / "grows.mp3", 1100);
    fs::remove(source.path() / "goes.mp3");
    // lstList1 decides what is listed, not what the spare slots hold.
    state.tracks.slot(4).srcPath = (source.path() / "stays.mp3").string();

    tracks.gtflens();
    // The vanished file counts nothing; the programming run reports it when it copies.
    EXPECT_EQ(state.tracks.messageBytes, 1400);
    EXPECT_EQ(state.tracks.copiedBytes, 1400);
}

TEST_F(Tracks, GtflensSaturatesInsteadOfWrapping) {
    state.cardBytes = int32Max - 50'000;
    add("a.mp3", 1'000'000'000);
    add("b.mp3", 1'000'000'000);
    ASSERT_EQ(form.rowCount(Control::lstList1), 2);
    makeFile(source.path() / "b.mp3", 1'500'000'000);

    tracks.gtflens();
    EXPECT_EQ(state.tracks.messageBytes, int32Max);
    EXPECT_GT(state.tracks.messageBytes, state.cardBytes);
}

} // namespace
} // namespace velk
