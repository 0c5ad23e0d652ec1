#include <gtest/gtest.h>

#include "launch/CommandLine.h"
#include "launch/Placeholders.h"
#include "launch/RepeatedOptions.h"
#include "platform/Process.h"

namespace kestrel::launch {
namespace {

TEST(Quoting, EveryValueSurvivesTheWindowsSplitAloneAndInsideAnArgument) {
    const std::vector<std::string> values = {
        "", "plain", "a b", "a\"b", "a\\\"b", "trail\\", "trail\\\\", "\"", "\\", "\\\\\"", "tab\there",
        "${auth_uuid}", "--server evil", "玩家 名", "C:\\Program Files\\Java\\", "a\\b\\c", "\"\"", "x\"\" y",
    };
    for (const std::string& value : values) {
        const std::string line = "\"java\" --x " + QuoteIfNeeded(value) + " -Dp=" + QuoteArgument(value) + "!";
        const std::vector<std::string> expected = {"java", "--x", value, "-Dp=" + value + "!"};
        EXPECT_EQ(platform::SplitCommandLine(line), expected) << line;
    }
}

TEST(Quoting, OrdinaryValuesKeepTheirPlainForm) {
    EXPECT_EQ(QuoteArgument("C:\\Games\\.minecraft\\assets"), "\"C:\\Games\\.minecraft\\assets\"");
    EXPECT_EQ(QuoteArgument("Tern 2.8.220830-A12"), "\"Tern 2.8.220830-A12\"");
    EXPECT_EQ(QuoteIfNeeded("Steve"), "Steve");
    EXPECT_EQ(QuoteIfNeeded("C:\\x\\y"), "C:\\x\\y");
    EXPECT_EQ(QuoteIfNeeded("Big Steve"), "\"Big Steve\"");
    EXPECT_EQ(QuoteIfNeeded("a\"b"), "\"a\\\"b\"");
    EXPECT_EQ(QuoteArgument("dir\\"), "\"dir\\\\\"");
}

TEST(Placeholders, ReplacementsAreNeverScannedAgainAndUnknownOnesStay) {
    const std::vector<Placeholder> table = {
        {"${a}", "${b}", true},
        {"${b}", "B", false},
    };
    EXPECT_EQ(SubstitutePlaceholders("${a} ${b} ${B} ${A} ${c} $ ${", table), "${b} B B ${A} ${c} $ ${");
    EXPECT_EQ(SubstitutePlaceholders("", table), "");
}

TEST(RepeatedOptions, LaterOptionsWithAKnownKeyAreCutOut) {
    struct Case {
        std::string in, out;
    };
    const std::vector<Case> cases = {
        {" --username a --version b --username c --tweakClass t", " --username a --version b --tweakClass t"},
        {" --a 1 --b 2 --a 3 --b 4 --c 5", " --a 1 --b 2 --c 5"},
        // A quoted value runs to its closing quote and one character more.
        {" --dir \"x --y\" --dir \"z\" --k v", " --dir \"x --y\" --k v"},
        {" --tweakClass one --tweakClass two", " --tweakClass one "},
        {" --flag --flag", " --flag "},
        {"no options here", "no options here"},
        {" --a 1 --a", " --a 1 "},
    };
    for (const Case& c : cases) EXPECT_EQ(RemoveRepeatedOptions(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace kestrel::launch
