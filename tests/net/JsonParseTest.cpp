#include <gtest/gtest.h>

#include <random>

#include "net/JsonDocument.h"

namespace kestrel::net {
namespace {

struct ParseCase {
    std::string text;
    int code;  // 0: parses
};

TEST(JsonParse, AcceptsAndRefuses) {
    const ParseCase cases[] = {
        {"{}", 0},
        {"[1,2]", 0},
        {"{'a':'b'}", 0},
        {R"({'a':'say "hi"'})", 0},
        {R"({"a":"\u767b\ud83d\ude00"})", 0},
        {" \t\r\n{\"a\":[true,false,null,-0.5e+3,0]} \n", 0},
        {"\"top level string\"", 0},
        {"12", 0},
        {"\xEF\xBB\xBF{\"bom\":1}", 0},
        {"", kJsonEmpty},
        {"   ", kJsonUnterminated},
        {"null", kJsonBadToken},
        {"{\"a\":1", kJsonUnterminated},
        {"[1,2", kJsonUnterminated},
        {"{\"a\":\"unterminated", kJsonUnterminated},
        {"{\"a\":\"cut \xE6\xAD", kJsonUnterminated},
        {"{\"a\":1}}", kJsonOutOfPlace},
        {"{\"a\" 1}", kJsonOutOfPlace},
        {"[1,]", kJsonOutOfPlace},
        {"{,}", kJsonOutOfPlace},
        {"[1 2]", kJsonOutOfPlace},
        {"{a:1}", kJsonBadToken},
        {"[True]", kJsonBadToken},
        {"[nul]", kJsonBadToken},
        {"[01]", kJsonBadToken},
        {"[1.]", kJsonBadToken},
        {"[-]", kJsonBadToken},
        {"[.5]", kJsonBadToken},
        {"[\"\\x41\"]", kJsonBadToken},
        {"[\"\\u12G4\"]", kJsonBadToken},
        {"[\"raw\nline\"]", kJsonBadToken},
        {"[\"bad \xFF utf8\"]", kJsonBadToken},
        {"[\"overlong \xC0\xAF\"]", kJsonBadToken},
        {"\x89PNG\r\n\x1a\n", kJsonBadToken},
    };
    for (const ParseCase& c : cases) {
        JsonDocument document;
        document.SetText("stale", "x");
        EXPECT_EQ(document.Parse(c.text), c.code == 0) << c.text;
        EXPECT_EQ(document.last_parse().code, c.code) << c.text;
        // A failed parse leaves an empty object.
        if (c.code != 0) {
            EXPECT_EQ(document.ToText(), "{}") << c.text;
        }
    }
}

TEST(JsonParse, RoundTripKeepsLexemesOrderAndText) {
    const std::string cases[] = {
        R"({"n":1.50,"e":1E+05,"z":-0,"big":123456789012345678901234567890})",
        R"({"b":1,"a":2,"c":{"y":[],"x":{}}})",
        R"(["a\/b","\"\\","\b\f\n\r\t","\u0001","登录 ü"])",
    };
    for (const std::string& text : cases) {
        JsonDocument document;
        ASSERT_TRUE(document.Parse(text));
        EXPECT_EQ(document.ToText(), text);
    }
    JsonDocument document;
    ASSERT_TRUE(document.Parse(R"({'s':'a/b','u':"\u00e9\t"})"));
    EXPECT_EQ(document.ToText(), R"({"s":"a\/b","u":"é\t"})");
    ASSERT_TRUE(document.Parse(R"(["\ud800x"])"));  // a lone surrogate has no UTF-8 form
    EXPECT_EQ(document.GetText("[0]"), "?x");
}

TEST(JsonParse, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    for (const char* open : {"[", "{\"a\":"}) {
        std::string deep;
        for (int i = 0; i < 100000; ++i) deep += open;
        JsonDocument document;
        EXPECT_FALSE(document.Parse(deep));
        EXPECT_EQ(document.last_parse().code, kJsonTooLarge);
    }
    std::string ok = std::string(JsonParser::kMaxDepth, '[') + std::string(JsonParser::kMaxDepth, ']');
    EXPECT_TRUE(JsonDocument().Parse(ok));
    std::string too_deep = "[" + ok + "]";
    EXPECT_FALSE(JsonDocument().Parse(too_deep));
}

TEST(JsonParse, RandomGarbageNeverParsesAsSomethingItIsNot) {
    // Random bytes, and random truncations of a valid document: nothing may
    // crash, and whatever parses must write back text that parses again to
    // the same text.
    std::mt19937 random(20261209);
    const std::string valid = R"({"a":[1,2.5,{"b":"c\u00e9"}],"d":'e',"f":true})";
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        if (round % 2) {
            text = valid.substr(0, random() % valid.size());
        } else {
            text.resize(random() % 64);
            for (char& c : text) c = static_cast<char>(random() % 256);
        }
        JsonDocument document;
        if (document.Parse(text)) {
            JsonDocument again;
            ASSERT_TRUE(again.Parse(document.ToText())) << text;
            EXPECT_EQ(again.ToText(), document.ToText());
        }
    }
}

}  // namespace
}  // namespace kestrel::net
