#include "net/TextEncoding.h"

#include <gtest/gtest.h>

namespace kestrel::net {
namespace {

TEST(TextEncoding, Utf8ToTextValidates) {
    EXPECT_EQ(Utf8ToText("正在登录..."), "正在登录...");
    // Characters GBK lacks survive: program text is UTF-8.
    EXPECT_EQ(Utf8ToText("한\U0001F600"), "한\U0001F600");
    const struct {
        std::string in, out;
    } cases[] = {
        {"a\x80z", "a?z"},                   // stray continuation byte
        {"a\xE6\xAD", "a?"},                 // truncated at the end
        {"\xE6\xADz", "?z"},                 // truncated before an ASCII byte
        {"\xC0\xAF", "??"},                  // overlong "/"
        {"\xED\xA0\x80", "???"},             // encoded surrogate
        {"\xF4\x90\x80\x80", "????"},        // beyond U+10FFFF
        {std::string("ab\0cd", 5), "ab"},    // ends at NUL
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToText(c.in), c.out) << c.in;
    EXPECT_EQ(TextToUtf8("欢迎,Steve"), "欢迎,Steve");
}

TEST(TextEncoding, GbkBytesThroughUtf16) {
    // The offline UUID hashes the GBK bytes of its input this way.
    const std::string gbk = Utf16ToText(TextToUtf16("玩家", kCodePageUtf8), kCodePageGbk);
    EXPECT_EQ(gbk, "\xCD\xE6\xBC\xD2");
    EXPECT_EQ(Utf16ToText(TextToUtf16("a\U0001F600", kCodePageUtf8), kCodePageGbk), "a?");
    EXPECT_EQ(Utf16ToText(TextToUtf16(gbk, kCodePageGbk), kCodePageUtf8), "玩家");
}

TEST(TextEncoding, ConvertCharsetDefaultsToUtf8ToGbk) {
    EXPECT_EQ(ConvertCharset("登录"), "\xB5\xC7\xC2\xBC");
    EXPECT_EQ(ConvertCharset("登录", "", ""), "\xB5\xC7\xC2\xBC");
    EXPECT_EQ(ConvertCharset("\xB5\xC7\xC2\xBC", "GBK", "UTF-8"), "登录");
    EXPECT_EQ(ConvertCharset(""), "");
    EXPECT_EQ(ConvertCharset("abc", "NO-SUCH", "GBK"), "");
    // Bytes the source cannot read and characters the target cannot hold.
    EXPECT_EQ(ConvertCharset("a\xFFz\xF0\x9F\x98\x80"), "a?z?");
}

TEST(TextEncoding, UnescapeUnicode) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"\\u767b\\u5f55", "登录"},
        {"no escapes here", "no escapes here"},
        {"line\r\nbreak \\u0041", "line\r\nbreak A"},
        {"\rlone leading CR", "lone leading CR"},
        {"it's \\u0027quoted\\u0027", "it's 'quoted'"},
        {"%41%4a %zz 100%", "AJ %zz 100%"},           // %XX decodes too, a bare % stays
        {"\\u12 short", "%u12 short"},                 // not four hex digits
        {"\\ud83d\\ude00", "\U0001F600"},              // an escaped surrogate pair
        {"\\ud83d alone", "? alone"},
        {"%E4", "\xC3\xA4"},                           // %XX is U+00XX, not a byte
        {"cut\\u0000here", "cut"},
    };
    for (const auto& c : cases) EXPECT_EQ(UnescapeUnicode(c.in), c.out) << c.in;
}

TEST(TextEncoding, Base64Decode) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"YWJj", "abc"},
        {"YWI=", "ab"},
        {"YQ==", "a"},
        {"YW\r\nJj", "abc"},
        {" Y W J j ", "abc"},
        {"", ""},
        {"YWI", "ab"},        // the short last group drops its missing byte
        {"YWJj=", "ab"},      // an "=" after a full group shortens it too
        {"YQ==YWJj", "a"},    // the first "=" ends the input
        {"Y", ""},            // never less than nothing
        {"====", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Base64Decode(c.in), c.out) << c.in;
    EXPECT_EQ(Base64Decode("AP8A"), std::string("\0\xFF\0", 3));
}

}  // namespace
}  // namespace kestrel::net
