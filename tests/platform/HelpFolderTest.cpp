#include "platform/HelpFolder.h"
#include "support/Bytes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace velk {
namespace {

// The installed topics are read where they are; a program whose topics are not installed
// beside it (one run from its build tree) reads them from the folder it started in.
TEST(HelpFolder, TheInstalledTopicsWhereTheyAreElseTheCurrentFolder) {
    const test::TempFolder installed;
    const test::TempFolder here;
    const fs::path before = fs::current_path();
    fs::current_path(here.path());
    const fs::path current = fs::current_path();

    EXPECT_EQ(helpFolder(installed.path()), current) << "no topics installed";
    EXPECT_EQ(helpFolder(installed.path() / "missing"), current);
    EXPECT_EQ(helpFolder(fs::path()), current);
    EXPECT_EQ(helpFolder(), current) << "the test program has no topics beside it";
    test::writeBytes(installed.path() / "velkhlp1.txt", "INTRODUCTION\r\n");
    EXPECT_EQ(helpFolder(installed.path()), installed.path());

    EXPECT_TRUE(fs::is_regular_file(programFile()));
    EXPECT_EQ(programFile().stem().string().rfind("test_", 0), 0u) << programFile();
    fs::current_path(before);
}

} // namespace
} // namespace velk
