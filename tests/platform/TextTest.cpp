#include "platform/Text.h"

#include <gtest/gtest.h>

namespace kestrel::platform {
namespace {

TEST(Text, TrimCutsOnlyTheGivenBlanksAtTheEnds) {
    struct Case {
        std::string_view text, blanks, trimmed;
    };
    for (const Case& c : {Case{"  a b \r\n", " \t\r\n", "a b"}, Case{"\t x\t", " ", "\t x\t"},
                          Case{"   ", " ", ""}, Case{"", " ", ""}, Case{" 启动 ", " ", "启动"}}) {
        EXPECT_EQ(Trim(c.text, c.blanks), c.trimmed) << c.text;
    }
    EXPECT_EQ(Trim(" \tjava\r\n"), "java");
}

TEST(Text, ReplaceAllReplacesLeftToRightWithoutRescanning) {
    EXPECT_EQ(ReplaceAll("-Xmx{[xmx]}m {[xmx]}", "{[xmx]}", "2048"), "-Xmx2048m 2048");
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("a\r\nb\r\n", "\r\n", ""), "ab");
    EXPECT_EQ(ReplaceAll("text", "", "x"), "text");
}

TEST(Text, SplitKeepsEmptyPieces) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(Split("org.lwjgl:lwjgl:3.3.1:natives-linux", ':'), (V{"org.lwjgl", "lwjgl", "3.3.1", "natives-linux"}));
    EXPECT_EQ(Split("a::b:", ':'), (V{"a", "", "b", ""}));
    EXPECT_EQ(Split("", ':'), (V{""}));
}

}  // namespace
}  // namespace kestrel::platform
