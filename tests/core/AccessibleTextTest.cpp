#include "core/AccessibleText.h"
#include "core/Colours.h"

#include <gtest/gtest.h>

#include <set>

using namespace velk;

TEST(AccessibleText, ColoursThatCarryAStateAreSpokenAsWords) {
    struct Case {
        Control control;
        std::uint32_t colour;
        std::string_view words;
    };
    const Case cases[] = {
        {Control::cmdMode2, 0x00FFFFFF,
         "Armed: the next track selected in the list gets this mode"},
        {Control::cmdMode0, 0x8000000F, ""},
        {Control::cmdDel, 0x00FFFFFF, "Armed: the next track selected in the list is deleted"},
        {Control::Label4, 0x000000FF, "Destination not ready"},
        {Control::Label4, 0x8000000F, "Destination ready"},
        // Any other grey is not the ready flag.
        {Control::Label4, 0x80000010, "Destination not ready"},
        {Control::txtTEXT1, 0x000000FF, "Warning"},
        {Control::txtTEXT1, 0x0000FFFF, ""},
        {Control::lstList1, 0x00FFFFFF, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(colourMeaning(c.control, c.colour), c.words)
            << static_cast<int>(c.control) << " " << c.colour;
}

TEST(AccessibleText, NoControlIsNamedTwiceNorNamesItself) {
    std::set<std::string_view> named;
    for (const NamingLabel& n : namingLabels) {
        EXPECT_TRUE(named.insert(n.control).second) << n.control;
        EXPECT_NE(n.control, n.label);
    }
}

// Shown on screen in a dark or high-contrast scheme: short enough for a 41-pixel button.
TEST(AccessibleText, ColoursThatCarryAStateAreShownAsWords) {
    struct Case {
        Control control;
        std::uint32_t colour;
        std::string_view word;
    };
    const Case cases[] = {
        {Control::cmdMode1, 0x00FFFFFF, "Armed"},
        {Control::cmdDel, 0x00FFFFFF, "Armed"},
        {Control::cmdDel, 0x8000000F, ""},
        {Control::Label4, 0x000000FF, "Destination not ready"},
        {Control::Label4, 0x8000000F, "Destination ready"},
        {Control::txtTEXT1, 0x000000FF, "Warning"},
        {Control::txtTEXT1, 0x0000FFFF, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(colourWord(c.control, c.colour), c.word)
            << static_cast<int>(c.control) << " " << c.colour;

    EXPECT_EQ(withWordBelow("Mode 0", "Armed"), "Mode 0\nArmed");
    EXPECT_EQ(withWordBelow("Mode 0", ""), "Mode 0");
    EXPECT_EQ(guidanceHeading("Warning"), "Guidance Box - Warning");
    EXPECT_EQ(guidanceHeading(""), "Guidance Box");
}
