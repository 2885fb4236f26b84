#include "TrackFixture.h"

#include "core/Colours.h"
#include "core/SourceBrowser.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::FakeForm;
using test::FakeSystem;
using test::TempFolder;

struct Browser : ::testing::Test {
    TempFolder root;
    FakeForm form;
    FakeSystem system;
    SourceBrowser browser{form, system};

    Browser() {
        form.setText(Control::Dir1, "/previous");
        form.setText(Control::File1, "/previous");
        form.setText(Control::txtTEXT1, "earlier text");
        form.setBackColour(Control::txtTEXT1, colour::buttonFace);
        form.setTextLog.clear();
    }

    /// The operator picks a drive; the window raises Dir1_Change when Dir1's path changed.
    void pick(const std::string& designation) {
        const std::string before = form.text(Control::Dir1);
        form.setText(Control::drvDrive1, designation);
        browser.drvDrive1_Change();
        if (form.text(Control::Dir1) != before)
            browser.Dir1_Change();
    }
};

TEST_F(Browser, ReadableDriveOpensItsRoot) {
    system.addFixed("d", root.str());
    pick("d");
    EXPECT_EQ(form.text(Control::Dir1), root.str());
    EXPECT_EQ(form.text(Control::File1), root.str());
    EXPECT_EQ(form.setTextLog, std::vector<std::string>{"Dir1=" + root.str()});
    EXPECT_EQ(form.text(Control::txtTEXT1), text::selectSource);
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::yellow);
}

// Drives whose root cannot be opened: what the guidance box then shows.
struct FailCase {
    const char* name;
    void (*arrange)(FakeSystem& system, const fs::path& scratch);
    const char* guidance;
    std::uint32_t colour;
};
void PrintTo(const FailCase& c, std::ostream* os) {
    *os << c.name;
}

class Unopenable : public Browser, public ::testing::WithParamInterface<FailCase> {};

TEST_P(Unopenable, ListsKeepThePreviousFolder) {
    const FailCase& c = GetParam();
    c.arrange(system, root.path());
    pick("x");
    EXPECT_EQ(form.text(Control::drvDrive1), "x");
    EXPECT_EQ(form.text(Control::Dir1), "/previous");
    EXPECT_EQ(form.text(Control::File1), "/previous");
    EXPECT_TRUE(form.setTextLog.empty());
    EXPECT_EQ(form.text(Control::txtTEXT1), c.guidance);
    EXPECT_EQ(form.backColour(Control::txtTEXT1), c.colour);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, Unopenable,
    ::testing::Values(FailCase{"noMedium",
                               [](FakeSystem& s, const fs::path&) { s.addEmptyReader("x"); },
                               text::driveUnavailable, colour::red},
                      FailCase{"otherFailure", [](FakeSystem&, const fs::path&) {}, "earlier text",
                               colour::buttonFace},
                      FailCase{"rootGone",
                               [](FakeSystem& s, const fs::path& scratch) {
                                   s.addFixed("x", (scratch / "unmounted").string());
                               },
                               "earlier text", colour::buttonFace},
                      FailCase{"rootIsAFile",
                               [](FakeSystem& s, const fs::path& scratch) {
                                   test::makeFile(scratch / "plain", 3);
                                   s.addFixed("x", (scratch / "plain").string());
                               },
                               "earlier text", colour::buttonFace}),
    [](const auto& info) { return std::string(info.param.name); });

// Root reads every folder, so root tries the unreadable root as an ordinary user, in a child.
TEST_F(Browser, UnreadableRootShowsNothing) {
    const fs::path top = root.path() / "top";
    fs::create_directories(top / "unreadable");
    fs::permissions(root.path(), fs::perms::all);
    fs::permissions(top, fs::perms::all);
    fs::permissions(top / "unreadable",
                    fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec);
    system.addFixed("x", (top / "unreadable").string());
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                std::_Exit(2);
            pick("x");
            const bool untouched = form.text(Control::Dir1) == "/previous" &&
                                   form.setTextLog.empty() &&
                                   form.text(Control::txtTEXT1) == "earlier text" &&
                                   form.backColour(Control::txtTEXT1) == colour::buttonFace;
            std::_Exit(untouched ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(Browser, InsertedCardOpensAfterPickingAnotherDriveFirst) {
    system.addFixed("c", root.str());
    system.addEmptyReader("e");
    const fs::path card = root.path() / "card";
    fs::create_directory(card);

    pick("e");
    EXPECT_EQ(form.text(Control::txtTEXT1), text::driveUnavailable);
    system.addCard("e", card.string()); // the operator inserts the card
    pick("c");
    pick("e");
    EXPECT_EQ(form.text(Control::Dir1), card.string());
    EXPECT_EQ(form.text(Control::File1), card.string());
    EXPECT_EQ(form.text(Control::txtTEXT1), text::selectSource);
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::yellow);
}

// A network drive whose server is gone: the window goes on, and says so until the drive
// answers, then opens it if it is still the one chosen.
TEST_F(Browser, ADriveThatDoesNotAnswerIsShownSoAndOpensWhenItAnswers) {
    system.addFixed("n", root.str());
    system.notAnswering.insert("n");
    pick("n");
    EXPECT_EQ(form.text(Control::Dir1), "/previous");
    EXPECT_EQ(form.text(Control::txtTEXT1), text::sourceNotAnswering);
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::red);
    EXPECT_EQ(form.refreshed, std::vector<Control>{Control::drvDrive1})
        << "its entry says it is not answering";

    browser.Timer1_Timer();
    EXPECT_EQ(form.text(Control::Dir1), "/previous");
    system.notAnswering.clear();
    browser.Timer1_Timer();
    EXPECT_EQ(form.text(Control::Dir1), root.str());
    EXPECT_EQ(form.text(Control::txtTEXT1), text::selectSource);
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::yellow);
    EXPECT_EQ(form.refreshed.size(), 2u);
}

TEST_F(Browser, ADriveThatAnswersAfterTheOperatorMovedOnOpensNothing) {
    system.addFixed("n", root.str());
    system.addEmptyReader("e");
    system.notAnswering.insert("n");
    pick("n");
    pick("e");
    system.notAnswering.clear();
    browser.Timer1_Timer();
    EXPECT_EQ(form.text(Control::Dir1), "/previous");
    EXPECT_EQ(form.text(Control::txtTEXT1), text::driveUnavailable);
}

TEST_F(Browser, OpeningAFolderMovesFileListOnly) {
    form.setText(Control::Dir1, (root.path() / "sub").string());
    browser.Dir1_Change();
    EXPECT_EQ(form.text(Control::File1), (root.path() / "sub").string());
    EXPECT_EQ(form.text(Control::txtTEXT1), "earlier text");
    EXPECT_EQ(form.backColour(Control::txtTEXT1), colour::buttonFace);

    browser.txtTEXT1_Change();
    EXPECT_EQ(form.text(Control::txtTEXT1), "earlier text");
}

TEST_F(Browser, PickedFileInTheOpenedRootBecomesATrack) {
    test::makeFile(root.path() / "intro.mp3", 1000);
    system.addFixed("d", root.str());
    pick("d");

    Module1 state;
    state.cardBytes = 4000;
    TrackList tracks(state, form, system);
    form.addRow(Control::File1, "intro.mp3");
    form.select(Control::File1, 0);
    tracks.File1_DblClick();
    EXPECT_EQ(state.tracks.slot(1).srcPath, (root.path() / "intro.mp3").string());
    EXPECT_EQ(form.text(Control::Label7), test::gaugeCaption("25"));
}

} // namespace
} // namespace velk
