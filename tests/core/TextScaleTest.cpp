#include "core/TextScale.h"

#include <gtest/gtest.h>

using namespace velk;

TEST(TextScale, TheWindowGrowsWithTheSystemsTextUpToTheScreen) {
    struct Case {
        double points;
        double largest;
        double scale;
    };
    const Case cases[] = {
        {9.0, 3.0, 1.0},    // Windows as installed
        {13.5, 3.0, 1.5},   // "Make text bigger" at 150 %
        {20.25, 3.0, 2.25}, // at its largest, 225 %
        {20.25, 1.8, 1.8},  // a screen too small for that
        {8.25, 3.0, 1.0},   // Wine's smaller default: never smaller than designed
        {13.5, 0.8, 1.0},   // a screen smaller than the window itself
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(textScale(c.points, c.largest), c.scale) << c.points << " " << c.largest;
}
