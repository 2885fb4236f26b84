#include "core/DriveChoice.h"

#include <gtest/gtest.h>

namespace velk {
namespace {

std::vector<std::string> labels(const DriveChoice& choice) {
    std::vector<std::string> out;
    for (const DriveEntry& row : choice.rows())
        out.push_back(row.label);
    return out;
}

const std::vector<DriveEntry> drives = {{"/", "/ [system]"}, {"/dev/sdb", "/dev/sdb (card)"}};

TEST(DriveChoice, KeepsTheChosenDriveWhenTheSystemNoLongerListsIt) {
    DriveChoice choice;
    choice.fill(drives);
    EXPECT_EQ(choice.chosenRow(), -1) << "nothing chosen yet";
    EXPECT_EQ(labels(choice), (std::vector<std::string>{"/ [system]", "/dev/sdb (card)"}));
    choice.choose("/dev/sdb");
    EXPECT_EQ(choice.chosenRow(), 1);

    choice.fill({drives[0]});
    EXPECT_EQ(labels(choice), (std::vector<std::string>{"/ [system]", "/dev/sdb"}));
    EXPECT_EQ(choice.drive(), "/dev/sdb");
    EXPECT_EQ(choice.chosenRow(), 1);

    choice.fill(drives);
    EXPECT_EQ(labels(choice), (std::vector<std::string>{"/ [system]", "/dev/sdb (card)"}))
        << "back by its label";
    EXPECT_EQ(choice.chosenRow(), 1);
}

TEST(DriveChoice, ChoosingAnUnlistedDriveAddsItsRow) {
    DriveChoice choice;
    choice.fill(drives);
    EXPECT_TRUE(choice.choose("/dev/sdz"));
    EXPECT_EQ(labels(choice),
              (std::vector<std::string>{"/ [system]", "/dev/sdb (card)", "/dev/sdz"}));
    EXPECT_EQ(choice.chosenRow(), 2);
    EXPECT_FALSE(choice.choose("/dev/sdz")) << "the same drive again";
    EXPECT_EQ(choice.rows().size(), 3u);
}

TEST(DriveChoice, OnlyAPickOfAnotherDriveIsAChange) {
    DriveChoice choice;
    choice.fill(drives);
    choice.choose("/");
    const struct {
        int row;
        bool change;
        const char* chosen;
    } picks[] = {{0, false, "/"},         {1, true, "/dev/sdb"},  {1, false, "/dev/sdb"},
                 {-1, false, "/dev/sdb"}, {2, false, "/dev/sdb"}, {0, true, "/"}};
    for (const auto& p : picks) {
        EXPECT_EQ(choice.pick(p.row), p.change) << p.row;
        EXPECT_EQ(choice.drive(), p.chosen) << p.row;
    }
}

} // namespace
} // namespace velk
