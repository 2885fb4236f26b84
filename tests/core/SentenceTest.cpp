#include "core/Sentence.h"

#include <gtest/gtest.h>

namespace velk::test {
namespace {

TEST(Sentence, FillsNamedPlacesOnly) {
    struct Case {
        const char* sentence;
        std::initializer_list<Filling> values;
        const char* filled;
    };
    const Case cases[] = {
        {"capacity used {bytes} bytes", {{"bytes", "512"}}, "capacity used 512 bytes"},
        {"{a}{b}{a}", {{"a", "1"}, {"b", "2"}}, "121"},
        {"{unknown} stays", {{"bytes", "1"}}, "{unknown} stays"},
        // A value is never read for places: a file may well be called "{bytes}.mp3".
        {"Copying {file}", {{"file", "{bytes}.mp3"}, {"bytes", "9"}}, "Copying {bytes}.mp3"},
        {"open { without close", {}, "open { without close"},
        {"  blanks  {x}  ", {{"x", ""}}, "  blanks    "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fill(c.sentence, c.values), c.filled) << c.sentence;
}

} // namespace
} // namespace velk::test
