#include "core/CaseFold.h"

#include <gtest/gtest.h>

namespace velk::test {
namespace {

// Card and drive names fold the way FAT folds them, whatever the locale: only A-Z, so that
// the bytes of a UTF-8 name are never changed or matched against another letter.
TEST(CaseFold, OnlyAsciiLettersFold) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"INDEX123.VKM", "index123.vkm", true},
        {"E:", "e:", true},
        {"M0000001.MP3", "M0000001.MP", false},
        {"\xc3\x89t\xc3\xa9.mp3", "\xc3\xa9t\xc3\xa9.mp3", false}, // É and é stay apart
        {"[@`{", "[@`{", true},
        {"@", "`", false}, // the bytes next to A and a
        {"[", "{", false},
        {"", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sameIgnoringCase(c.a, c.b), c.same) << c.a << " / " << c.b;
    EXPECT_EQ(folded("Ab\xc3\x89Z"), "ab\xc3\x89z");
    EXPECT_TRUE(endsWithIgnoringCase("talk.MP3", ".mp3"));
    EXPECT_FALSE(endsWithIgnoringCase("mp3", ".mp3"));
}

} // namespace
} // namespace velk::test
