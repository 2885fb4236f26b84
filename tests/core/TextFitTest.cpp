#include "core/TextFit.h"

#include <gtest/gtest.h>

namespace velk {
namespace {

// A box that holds `width` bytes, as a stand-in for one measured in pixels.
auto holds(std::size_t width) {
    return [width](const std::string& text) { return text.size() <= width; };
}

TEST(TextFit, KeepsStartAndEndAndDropsTheFewestMiddleCharacters) {
    const struct {
        std::string text;
        std::size_t width;
        std::string shown;
    } cases[] = {
        {"Copying C:\\a.mp3", 40, "Copying C:\\a.mp3"},
        {"Copying C:\\Music\\Ansagen\\Empfang.mp3", 21, "Copying C\xE2\x80\xA6pfang.mp3"},
        {"Copying C:\\Music\\Ansagen\\Empfang.mp3", 4,
         "\xE2\x80\xA6"
         "3"},
        {"Copying C:\\Music\\Ansagen\\Empfang.mp3", 0, "\xE2\x80\xA6"},
        // "日本" is three bytes a character: neither is cut in two.
        {"\xE6\x97\xA5\xE6\x9C\xAC-\xE6\x97\xA5\xE6\x9C\xAC", 9,
         "\xE6\x97\xA5\xE2\x80\xA6\xE6\x9C\xAC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(elideMiddle(c.text, holds(c.width)), c.shown) << c.text << " in " << c.width;
}

TEST(TextFit, ShrinksTheHelpCaptionsByHalfPointsToNoLessThanSix) {
    // Captions ten pixels wide a point, as a stand-in for a measured face.
    const auto widestAt = [](double points) { return static_cast<int>(points * 10); };
    const struct {
        int width;
        double points;
    } cases[] = {{200, 8.0}, {80, 8.0}, {79, 7.5}, {70, 7.0}, {64, 6.0}, {10, 6.0}};
    for (const auto& c : cases)
        EXPECT_EQ(fittingPointSize(helpCaptionSteps, c.width, widestAt), c.points) << c.width;
}

} // namespace
} // namespace velk
