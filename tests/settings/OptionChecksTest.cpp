#include "settings/OptionChecks.h"

#include <gtest/gtest.h>

namespace kestrel::settings {
namespace {

TEST(OptionChecks, TypedNumbersAreWholeNumbersOnly) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"1024", 1024},
        {" 42\t", 42},
        {"+7", 7},
        {"-500", -500},
        {"9223372036854775807", INT64_MAX},
        {"9223372036854775808", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"abc", std::nullopt},
        {"12px", std::nullopt},
        {"1.5", std::nullopt},
        {"1 2", std::nullopt},
        {"０", std::nullopt},  // a full-width digit
    };
    for (const auto& [text, number] : cases) EXPECT_EQ(TypedNumber(text), number) << text;
}

TEST(OptionChecks, EachKeyIsCheckedAsItsBoxWouldCheckIt) {
    constexpr std::int64_t kTotal = 16000;
    const struct {
        const char* key;
        std::string value;
        OptionProblem problem;
    } cases[] = {
        {"Memory", "513", OptionProblem::kNone},
        {"Memory", "16000", OptionProblem::kNone},
        {"Memory", "512", OptionProblem::kOutOfRange},
        {"Memory", "16001", OptionProblem::kOutOfRange},
        {"Memory", "-500", OptionProblem::kOutOfRange},
        {"Memory", "lots", OptionProblem::kNotANumber},
        {"GameWindow_Width", "1", OptionProblem::kNone},
        {"GameWindow_Width", "16384", OptionProblem::kNone},
        {"GameWindow_Width", "0", OptionProblem::kOutOfRange},
        {"GameWindow_Height", "2147483648", OptionProblem::kOutOfRange},
        {"GameWindow_Height", "abc", OptionProblem::kNotANumber},
        {"Launcher_Waiting", "1", OptionProblem::kNone},
        {"Launcher_Waiting", "6", OptionProblem::kOutOfRange},
        {"GameWindow", "5", OptionProblem::kNone},
        {"GameWindow", "0", OptionProblem::kOutOfRange},
        {"Isolation", "True", OptionProblem::kNone},
        {"Musicplayer", "true", OptionProblem::kNotAFlag},
        {"GameFolder_Auto", "", OptionProblem::kNotAFlag},
        {"GameWindow_Title", "我的世界 \\ 1.20 'x'", OptionProblem::kNone},
        {"GameWindow_Title", "", OptionProblem::kNone},
        {"GameWindow_Title", "My \"Game\"", OptionProblem::kUnsafeText},
        {"Java", "/usr/bin/java\nJavaV=\"", OptionProblem::kUnsafeText},
        {"GameFolder", "C:\\games\r", OptionProblem::kUnsafeText},
        {"GameWindow_Watermark", std::string("a\0b", 3), OptionProblem::kUnsafeText},
        {"RINKU_SUTAATO", "x\x7F", OptionProblem::kUnsafeText},
        {"ip", "mc.example.org:25565", OptionProblem::kNone},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(CheckOption(test.key, test.value, kTotal), test.problem) << test.key << "=" << test.value;
    }
    // Keys the launcher writes itself are not the player's to set.
    EXPECT_EQ(ShapeOf("Launcher_Name", kTotal).kind, OptionKind::kUnknown);
}

TEST(OptionChecks, MemoryHasNoUpperBoundWhenTheMachinesTotalIsUnknown) {
    EXPECT_EQ(MemoryRange(0).low, kMinMemoryMb);
    EXPECT_EQ(CheckNumber("65536", MemoryRange(0)), OptionProblem::kNone);
    EXPECT_EQ(CheckNumber("512", MemoryRange(0)), OptionProblem::kOutOfRange);
    EXPECT_EQ(CheckNumber("2048", MemoryRange(1024)), OptionProblem::kOutOfRange);
}

}  // namespace
}  // namespace kestrel::settings
