// velk-card's command line: what each command takes, and the usage errors (exit status 2).
#include "ui/cli/Arguments.h"

#include <gtest/gtest.h>

namespace velk::cli {
namespace {

using Args = std::vector<std::string>;

TEST(Arguments, CommandsTakeTheirOwnOptions) {
    const Request p = parseArguments({"programme", "--card", "/dev/sdb", "--card", "e:", "--yes", "--quiet", "a.mp3",
                                      "--", "--odd.mp3:1"});
    EXPECT_EQ(p.command, Request::Command::programme);
    EXPECT_EQ(p.cards, (Args{"/dev/sdb", "e:"}));
    EXPECT_EQ(p.tracks, (Args{"a.mp3", "--odd.mp3:1"}));
    EXPECT_TRUE(p.yes && p.quiet && !p.json);
    EXPECT_EQ(parseArguments({"verify", "--card", "e:", "--list", "l.txt"}).listFile, "l.txt");
    EXPECT_TRUE(parseArguments({"drives", "--json"}).json);
    EXPECT_TRUE(parseArguments({"list", "--help"}).help);
    EXPECT_TRUE(parseArguments({"--version"}).version);
}

TEST(Arguments, UsageErrorsSayWhatIsWrong) {
    const struct {
        Args arguments;
        const char* error;
    } cases[] = {
        {{}, "no command given"},
        {{"format", "--card", "e:"}, "unknown command format"},
        {{"programme", "a.mp3"}, "no --card given"},
        {{"programme", "--card", "e:"}, "no TRACK and no --list given"},
        {{"programme", "--card", "e:", "a.mp3", "--list", "l.txt"}, "give TRACKs or --list, not both"},
        {{"programme", "--card"}, "--card needs a value"},
        {{"list", "--card", "e:", "--yes"}, "unknown option --yes"},
        {{"list", "--card", "e:", "--card", "f:"}, "give one --card"},
        {{"list", "--card", "e:", "a.mp3"}, "takes no TRACK"},
        {{"drives", "--card", "e:"}, "unknown option --card"},
        {{"--version", "--json"}, "unknown option --json"},
    };
    for (const auto& c : cases) {
        try {
            (void)parseArguments(c.arguments);
            ADD_FAILURE() << "accepted: " << c.error;
        } catch (const UsageError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    }
}

} // namespace
} // namespace velk::cli
