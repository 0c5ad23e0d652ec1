#include "platform/Charsets.h"

#include <gtest/gtest.h>

namespace kestrel::platform {
namespace {

TEST(Charsets, GbkRoundTripAndUnrepresentableCharacters) {
    // "登录" in GBK is B5 C7 C2 BC.
    EXPECT_EQ(ToCodePage(u"登录", 936), "\xB5\xC7\xC2\xBC");
    EXPECT_EQ(FromCodePage("\xB5\xC7\xC2\xBC", 936), u"登录");
    // GBK has no emoji and no Korean syllables: each becomes one "?".
    EXPECT_EQ(ToCodePage(u"a\U0001F600b한", 936), "a?b?");
    // A lone surrogate cannot be encoded anywhere.
    EXPECT_EQ(ToCodePage(std::u16string(u"x") + char16_t(0xD800) + u"y", 65001), "x?y");
}

TEST(Charsets, InputEndsAtNulAndUnknownCodePagesGiveNothing) {
    EXPECT_EQ(ToCodePage(std::u16string(u"ab\0cd", 5), 936), "ab");
    EXPECT_EQ(FromCodePage(std::string("ab\0cd", 5), 65001), u"ab");
    EXPECT_EQ(ToCodePage(u"abc", 12345), "");
    EXPECT_EQ(FromCodePage("abc", 12345), u"");
    EXPECT_FALSE(DecodeCharset("abc", "NO-SUCH-CHARSET").has_value());
}

TEST(Charsets, UnreadableBytesBecomeQuestionMarks) {
    // 0x81 opens a GBK double-byte character; 0x20 cannot end it.
    EXPECT_EQ(FromCodePage("a\x81 b", 936), u"a? b");
    // A truncated sequence at the end.
    EXPECT_EQ(FromCodePage("a\xB5", 936), u"a?");
    EXPECT_EQ(FromCodePage("\xF0\x9F\x98\x80", 65001), u"\U0001F600");
}

}  // namespace
}  // namespace kestrel::platform
