#include "net/JsonDocument.h"

#include <gtest/gtest.h>

namespace kestrel::net {
namespace {

JsonDocument Parsed(std::string_view text) {
    JsonDocument document;
    EXPECT_TRUE(document.Parse(text)) << text;
    return document;
}

// One read of a path on a document, with the texts GetText and GetJson give.
struct ReadCase {
    std::string json;
    std::string path;
    std::string text;
    std::string as_json;
};

class JsonReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(JsonReads, TextAndJson) {
    const ReadCase& c = GetParam();
    const JsonDocument document = Parsed(c.json);
    EXPECT_EQ(document.GetText(c.path), c.text);
    EXPECT_EQ(document.GetJson(c.path), c.as_json);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, JsonReads,
    ::testing::Values(
        ReadCase{R"({"DisplayClaims":{"xui":[{"uhs":"abc"}]}})", "DisplayClaims.xui[0].uhs", "abc", R"("abc")"},
        ReadCase{R"({"DisplayClaims":{"xui":[]}})", "DisplayClaims.xui[0].uhs", "", ""},
        ReadCase{R"({"x":1})", "a.b.c", "", ""},
        ReadCase{R"({"n":1.50})", "n", "1.50", "1.50"},
        ReadCase{R"({"value":"abc"})", "value[0]", "", ""},
        ReadCase{R"({"rules":[{"action":"allow","os":{"name":"osx"}}]})", "rules", "",
                 R"([{"action":"allow","os":{"name":"osx"}}])"},
        ReadCase{R"({"a.b":1,"a":{"b":2}})", R"(a\.b)", "1", "1"},
        ReadCase{R"({"a.b":1,"a":{"b":2}})", "['a.b']", "1", "1"},
        ReadCase{R"({"a.b":1,"a":{"b":2}})", "a.b", "2", "2"},
        ReadCase{R"({"skins":{"default":{"url":"u"}}})", "skins['default'].url", "u", R"("u")"},
        ReadCase{R"({"a[0]":"x"})", R"(a\[0\])", "x", R"("x")"},
        ReadCase{R"({"b":true,"z":null})", "b", "true", "true"},
        ReadCase{R"({"b":true,"z":null})", "z", "", ""},
        ReadCase{R"({"first":"1","second":"2"})", "[1]", "2", R"("2")"},  // an index on an object
        ReadCase{R"([[1,2],[3,[4,5]]])", "[1][1][0]", "4", "4"},
        ReadCase{R"({"o":{}})", "o", "", "{}"},
        ReadCase{R"({"a":"x"})", "a..b", "", ""},   // malformed paths name nothing
        ReadCase{R"({"a":["x"]})", "a[x]", "", ""},
        ReadCase{R"({"a":["x"]})", "a[0", "", ""},
        ReadCase{R"({"a":["x"]})", "a[0]b", "", ""}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return "case" + std::to_string(info.index); });

TEST(JsonDocument, CountKeysAndTypes) {
    const JsonDocument document = Parsed(R"({"b":1,"a":2,"s":"text","n":null,"t":false,"o":{},"l":[7,8]})");
    EXPECT_EQ(document.Keys(""), (std::vector<std::string>{"b", "a", "s", "n", "t", "o", "l"}));
    EXPECT_EQ(document.Keys("l"), (std::vector<std::string>{"0", "1"}));
    EXPECT_TRUE(document.Keys("s").empty());
    EXPECT_EQ(document.Count(""), 7u);
    for (const char* path : {"s", "b", "n", "missing", "o"}) EXPECT_EQ(document.Count(path), 0u) << path;
    const std::pair<const char*, int> types[] = {{"s", 6}, {"b", 2}, {"t", 1}, {"o", 4}, {"l", 5}, {"n", 0},
                                                 {"missing", 0}};
    for (const auto& [path, type] : types) EXPECT_EQ(document.TypeOf(path), type) << path;
    EXPECT_FALSE(document.Exists("n"));
    EXPECT_TRUE(document.Exists("t"));
    EXPECT_EQ(Parsed("[1,2,3]").Count(""), 3u);
}

TEST(JsonDocument, IntegerReadings) {
    const JsonDocument document = Parsed(
        R"({"i":42,"neg":-7,"real":1.50,"negreal":-2.9,"exp":1e3,"t":true,"f":false,"s":"12abc",)"
        R"("sr":"1.5","sneg":"-3x","none":"abc","o":{},"huge":123456789012345678901234,"hugereal":1e400})");
    const std::pair<const char*, std::int64_t> cases[] = {
        {"i", 42},    {"neg", -7},  {"real", 1}, {"negreal", -2}, {"exp", 1000}, {"t", 1},
        {"f", 0},     {"s", 12},    {"sr", 1},   {"sneg", -3},    {"none", 0},   {"o", 0},
        {"missing", 0}, {"huge", INT64_MAX}, {"hugereal", INT64_MAX}};
    for (const auto& [path, value] : cases) EXPECT_EQ(document.GetInteger(path), value) << path;
}

TEST(JsonDocument, WritesCreateWhatThePathNeeds) {
    JsonDocument document;
    EXPECT_TRUE(document.SetText("Properties.UserTokens[0]", "t"));
    EXPECT_EQ(document.ToText(), R"({"Properties":{"UserTokens":["t"]}})");

    document.Reset();
    EXPECT_TRUE(document.SetText("x[2]", "v"));
    EXPECT_EQ(document.ToText(), R"({"x":[null,null,"v"]})");

    document.Reset();
    document.SetText("a", "string");
    EXPECT_TRUE(document.SetText("a.b", "v"));
    EXPECT_EQ(document.ToText(), R"({"a":{"b":"v"}})");

    // The Mojang sign-in body: member order as written, strings as strings.
    document.Reset();
    document.SetText("agent.name", "Minecraft");
    document.SetJson("agent.version", "1");
    document.SetText("username", "u");
    document.SetText("agent.name", "Minecraft2");  // an existing member keeps its place
    document.SetJson("requestUser", "true");
    document.SetJson("empty", "");
    EXPECT_EQ(document.ToText(),
              R"({"agent":{"name":"Minecraft2","version":1},"username":"u","requestUser":true,"empty":{}})");
}

TEST(JsonDocument, TextsAreStoredVerbatimAndEscapedOnTheWayOut) {
    JsonDocument document;
    const std::string tricky = "it's \"quoted\" C:\\path a/b\r\n\t\x01\x1f 登录";
    ASSERT_TRUE(document.SetText("v", tricky));
    EXPECT_EQ(document.ToText(), R"({"v":"it's \"quoted\" C:\\path a\/b\r\n\t\u0001\u001f 登录"})");
    EXPECT_EQ(document.GetText("v"), tricky);
    JsonDocument back;
    ASSERT_TRUE(back.Parse(document.ToText()));
    EXPECT_EQ(back.GetText("v"), tricky);
}

TEST(JsonDocument, FailedWritesChangeNothing) {
    JsonDocument document;
    document.SetText("keep", "1");
    EXPECT_FALSE(document.SetJson("v", "{broken"));
    EXPECT_FALSE(document.SetText("a..b", "v"));
    EXPECT_FALSE(document.SetText("x[999999999]", "v"));  // no runaway allocation
    EXPECT_EQ(document.ToText(), R"({"keep":"1"})");
    document.Clear();
    EXPECT_FALSE(document.SetText("a", "v"));
    EXPECT_EQ(document.GetText("keep"), "");
    EXPECT_EQ(document.ToText(), "");
    document.Reset();
    EXPECT_EQ(document.ToText(), "{}");
}

TEST(JsonDocument, GetDocumentIsADeepCopy) {
    JsonDocument document = Parsed(R"({"profile":{"name":"Steve","skins":[{"url":"u"}]}})");
    JsonDocument profile = document.GetDocument("profile");
    EXPECT_EQ(profile.GetText("skins[0].url"), "u");
    profile.SetText("name", "Alex");
    EXPECT_EQ(document.GetText("profile.name"), "Steve");
    const JsonDocument missing = document.GetDocument("nothing");
    EXPECT_EQ(missing.ToText(), "");
    EXPECT_FALSE(missing.Exists(""));
}

TEST(JsonDocument, LargeObjectsFindEveryMemberAndKeepOrder) {
    std::string json = "{";
    for (int i = 0; i < 500; ++i) json += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":" + std::to_string(i);
    json += ",\"k7\":\"late\"}";  // a repeated name: the later value wins, in the earlier place
    JsonDocument document = Parsed(json);
    EXPECT_EQ(document.Count(""), 500u);
    EXPECT_EQ(document.GetText("k7"), "late");
    EXPECT_EQ(document.GetText("k499"), "499");
    EXPECT_EQ(document.Keys("")[7], "k7");
    // Members added after the lookup index was built are found too.
    document.SetText("added", "yes");
    EXPECT_EQ(document.GetText("added"), "yes");
    EXPECT_EQ(document.GetText("k0"), "0");
    EXPECT_EQ(Parsed(R"({"a":1,"b":2,"a":3})").ToText(), R"({"a":3,"b":2})");
}

}  // namespace
}  // namespace kestrel::net
