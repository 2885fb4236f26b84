#include "core/SubFolders.h"

#include <gtest/gtest.h>

namespace velk {
namespace {

using Names = std::vector<std::string>;

FolderEntry folder(const char* name, bool hidden = false) {
    return {name, true, hidden};
}
FolderEntry file(const char* name) {
    return {name, false, false};
}

TEST(SubFolders, ShowsTheVisibleFoldersInReadingOrderAndRefusesAnUnlistedFolder) {
    const struct {
        const char* what;
        FolderListing listing;
        std::optional<Names> shown;
    } cases[] = {
        {"not listed", {false, {folder("voice")}}, std::nullopt},
        {"empty card", {true, {}}, Names{}},
        {"files, hidden and dot folders",
         {true,
          {file("a.mp3"), folder(".Trashes"), folder("System Volume Information", true),
           folder("voice")}},
         Names{"voice"}},
        {"case ignored, then exact",
         {true, {folder("zoo"), folder("apple"), folder("Mango"), folder("Apple")}},
         Names{"Apple", "apple", "Mango", "zoo"}},
        {"accented and Cyrillic capitals",
         {true,
          {folder("\u00d6l"), folder("\u041c\u043e\u0441\u043a\u0432\u0430"), folder("\u00e4pfel"),
           folder("\u043c\u0438\u0440"), folder("zebra")}},
         Names{"zebra", "\u00e4pfel", "\u00d6l", "\u043c\u0438\u0440",
               "\u041c\u043e\u0441\u043a\u0432\u0430"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shownSubfolders(c.listing), c.shown) << c.what;
}

} // namespace
} // namespace velk
