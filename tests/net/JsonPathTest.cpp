#include "net/JsonPath.h"

#include <gtest/gtest.h>

namespace kestrel::net {
namespace {

// Renders a path's segments as "name|[3]|name" for comparison; "!" marks a
// malformed path.
std::string Segments(std::string_view path) {
    JsonPathCursor cursor(path);
    JsonPathSegment segment;
    std::string out;
    while (cursor.Next(segment)) {
        if (!out.empty()) out += "|";
        out += segment.is_index ? "[" + std::to_string(segment.index) + "]" : std::string(segment.name);
    }
    return cursor.malformed() ? out + "!" : out;
}

TEST(JsonPath, Grammar) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"DisplayClaims.xui[0].uhs", "DisplayClaims|xui|[0]|uhs"},
        {"arguments.game[12].value[0]", "arguments|game|[12]|value|[0]"},
        {"[3][4]", "[3]|[4]"},
        {"skins['default'].url", "skins|default|url"},
        {"['a.b']", "a.b"},
        {"['it\\'s']", "it's"},
        {"a\\.b.c", "a.b|c"},
        {"a\\\\b", "a\\b"},
        {"a\\[0\\]", "a[0]"},
        {".a", "!"},
        {"a.", "a!"},
        {"a..b", "a!"},
        {"a[", "a!"},
        {"a[x]", "a!"},
        {"a[0]b", "a|[0]!"},
        {"a['b", "a!"},
        {"a[99999999999999999999999]", "a!"},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(Segments(path), expected) << path;
}

}  // namespace
}  // namespace kestrel::net
