// velk-card's command line: what each command takes, and the usage errors (exit status 2).
#include "ui/cli/Arguments.h"

#include <gtest/gtest.h>

namespace velk::cli {
namespace {

using Args = std::vector<std::string>;

TEST(Arguments, CommandsTakeTheirOwnOptions) {
    const Request p = parseArguments({"programme", "--card", "/dev/sdb", "--card", "e:", "--yes",
                                      "--quiet", "a.mp3", "--", "--odd.mp3:1"});
    EXPECT_EQ(p.command, Request::Command::programme);
    EXPECT_EQ(p.cards, (Args{"/dev/sdb", "e:"}));
    EXPECT_EQ(p.tracks, (Args{"a.mp3", "--odd.mp3:1"}));
    EXPECT_TRUE(p.yes && p.quiet && !p.json);
    EXPECT_EQ(parseArguments({"verify", "--card", "e:", "--list", "l.txt"}).listFile, "l.txt");
    EXPECT_TRUE(parseArguments({"drives", "--json"}).json);
    EXPECT_TRUE(parseArguments({"list", "--help"}).help);
    EXPECT_TRUE(parseArguments({"--version"}).version);
    const Request station = parseArguments({"programme", "--each-inserted", "--yes", "--count",
                                            "12", "--json", "--list", "lobby.txt"});
    EXPECT_TRUE(station.eachInserted && station.json);
    EXPECT_EQ(station.count, 12);
    EXPECT_EQ(parseArguments({"programme", "--card", "e:", "C:\\music\\Intro.MP3:2", "b.Nvr"})
                  .tracks.size(),
              2u);
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
        {{"programme", "--card", "e:", "a.mp3", "--list", "l.txt"},
         "give TRACKs or --list, not both"},
        {{"programme", "--card"}, "--card needs a value"},
        {{"list", "--card", "e:", "--yes"}, "unknown option --yes"},
        {{"list", "--card", "e:", "--card", "f:"}, "give one --card"},
        {{"list", "--card", "e:", "a.mp3"}, "takes no TRACK"},
        {{"drives", "--card", "e:"}, "unknown option --card"},
        {{"--version", "--json"}, "unknown option --json"},
        {{"programme", "--card", "e:", "intro.mp3:3"},
         "intro.mp3:3: the play mode after the last ':' is not 0, 1 or 2"},
        {{"verify", "--card", "e:", "lobby.txt"},
         "lobby.txt: only .mp3 and .nvr files can be tracks"},
        {{"programme", "--card", "e:", "a.mp3", "notes"},
         "notes: only .mp3 and .nvr files can be tracks"},
        {{"programme", "--each-inserted", "--list", "l.txt"},
         "--each-inserted needs --yes: nobody is there to ask"},
        {{"programme", "--each-inserted", "--yes", "--card", "e:", "--list", "l.txt"},
         "--each-inserted takes every reader: give no --card"},
        {{"programme", "--card", "e:", "--count", "3", "a.mp3"}, "--count needs --each-inserted"},
        {{"programme", "--each-inserted", "--yes", "--count", "0", "a.mp3"},
         "--count needs a whole number above 0"},
        {{"programme", "--each-inserted", "--yes", "--count", "x", "a.mp3"},
         "--count needs a whole number above 0"},
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
