// What the kestrel program makes of its command line, before any window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ProgramArguments.h"

namespace kestrel::app {
namespace {

using Action = ProgramArguments::Action;

TEST(ProgramArguments, EachCommandLineAsksForOneThing) {
    struct Case {
        std::vector<const char*> words;
        Action action;
        std::string grab;
        std::string window = "";
    };
    const Case cases[] = {
        {{}, Action::kRun, ""},
        {{"--grab", "shot.png"}, Action::kRun, "shot.png"},
        {{"--version"}, Action::kVersion, ""},
        {{"--grab", "shot.png", "--version"}, Action::kVersion, "shot.png"},
        {{"--help"}, Action::kHelp, ""},
        {{"-h"}, Action::kHelp, ""},
        // Help wins over a word that would be a usage error.
        {{"--frobnicate", "--help"}, Action::kHelp, ""},
        {{"--version", "--help"}, Action::kHelp, ""},
        {{"--grab"}, Action::kUsageError, ""},
        {{"--frobnicate"}, Action::kUsageError, ""},
        {{"shot.png"}, Action::kUsageError, ""},
        {{"--window", "download"}, Action::kRun, "", "download"},
        {{"--window", "download", "--grab", "list.png"}, Action::kRun, "list.png", "download"},
        {{"--window"}, Action::kUsageError, ""},
        {{"--window", "settings"}, Action::kUsageError, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"kestrel"};
        argv.insert(argv.end(), c.words.begin(), c.words.end());
        const auto arguments = ProgramArguments::Parse(static_cast<int>(argv.size()), argv.data());
        std::string line;
        for (const char* word : c.words) line += std::string(word) + " ";
        EXPECT_EQ(arguments.action, c.action) << line;
        EXPECT_EQ(arguments.grab, c.grab) << line;
        if (c.action == Action::kRun) {
            EXPECT_EQ(arguments.window, c.window) << line;
        }
        EXPECT_EQ(arguments.problem.empty(), c.action != Action::kUsageError) << line;
    }
}

// The version is the one the update check compares with the update feed's.
TEST(ProgramArguments, TheVersionLineIsTheLaunchersVersion) {
    EXPECT_EQ(ProgramVersionLine(), "kestrel 22w02a\n");
}

}  // namespace
}  // namespace kestrel::app
