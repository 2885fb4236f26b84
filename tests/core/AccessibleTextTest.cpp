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
        {Control::cmdMode2, 0x00FFFFFF, "Armed: the next track selected in the list gets this mode"},
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
        EXPECT_EQ(colourMeaning(c.control, c.colour), c.words) << static_cast<int>(c.control) << " " << c.colour;
}

TEST(AccessibleText, NoControlIsNamedTwiceNorNamesItself) {
    std::set<std::string_view> named;
    for (const NamingLabel& n : namingLabels) {
        EXPECT_TRUE(named.insert(n.control).second) << n.control;
        EXPECT_NE(n.control, n.label);
    }
}
