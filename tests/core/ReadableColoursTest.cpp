#include "core/ReadableColours.h"

#include <gtest/gtest.h>

using namespace velk;

TEST(ReadableColours, TextStandsOutFromItsBackColour) {
    struct Case {
        std::uint32_t back;
        std::uint32_t text;
    };
    const Case cases[] = {
        {0x0000FFFF, 0x00000000}, // the guidance box's yellow
        {0x000000FF, 0x00000000}, // red: 5.3 to 1 with black, 4.0 with white
        {0x00FFFFFF, 0x00000000}, // an armed button
        {0x00800000, 0x00FFFFFF}, // a dark blue
        {0x00000000, 0x00FFFFFF},
        {0x8000000F, 0x80000012}, // the button face takes the button text, whatever the scheme
        {0x8000000D, 0x8000000E}, // the highlight its own text
        {0x80000005, 0x80000008}, // the window its text
    };
    for (const Case& c : cases)
        EXPECT_EQ(textColourOn(c.back), c.text) << std::hex << c.back;
}

TEST(ReadableColours, ALockedCaptionIsGreyOnAFixedColourAndTheSystemsGreyOnItsOwn) {
    EXPECT_EQ(lockedTextColourOn(0x00FFFFFF), 0x00808080u);
    EXPECT_EQ(lockedTextColourOn(0x8000000F), 0x80000011u);
}

TEST(ReadableColours, DarkAndHighContrastSchemesTellColoursInWords) {
    EXPECT_FALSE(coloursInWords(false, 0x00FFFFFF, 0x00000000)); // the light default
    EXPECT_TRUE(coloursInWords(false, 0x00000000, 0x00FFFFFF));  // a dark theme
    EXPECT_TRUE(coloursInWords(false, 0x00302A28, 0x00E0E0E0));  // dark grey, light grey text
    EXPECT_TRUE(coloursInWords(true, 0x00FFFFFF, 0x00000000));   // High Contrast White
    // Green text on black is dark by luminance, though green is the brighter channel.
    EXPECT_TRUE(coloursInWords(false, 0x00000000, 0x0000FF00));
    EXPECT_FALSE(coloursInWords(false, 0x0000FF00, 0x00FF0000));
}
