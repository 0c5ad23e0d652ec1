#include "net/KeyLookup.h"

#include <gtest/gtest.h>

namespace kestrel::net {
namespace {

TEST(KeyLookup, TextBetweenFirstOpeningAndNextClosing) {
    const struct {
        std::string text, opening, closing, value;
    } cases[] = {
        {"Memory=\"4096\"\r\nJava=\"\"", "Memory=\"", "\"", "4096"},
        {"Java=\"\"", "Java=\"", "\"", ""},
        // The first occurrence wins, and the search is case-sensitive.
        {"memory=\"1\"Memory=\"2\"Memory=\"3\"", "Memory=\"", "\"", "2"},
        {"JavaV=\"17\"\r\nJava=\"/usr/bin/java\"", "Java=\"", "\"", "/usr/bin/java"},
        {"NAME:\"Steve\",TOKEN:\"x\"", "NAME:\"", "\"", "Steve"},
        {"<update><main>2.1</main></update>", "<main>", "</main>", "2.1"},
        // A closing marker before the opening one does not count.
        {"</main><main>7</main>", "<main>", "</main>", "7"},
        // Either marker missing gives an empty text.
        {"Memory=\"4096", "Memory=\"", "\"", ""},
        {"Java=\"x\"", "Memory=\"", "\"", ""},
        {"", "Memory=\"", "\"", ""},
        {std::string("K=\"a\0b\"", 7), "K=\"", "\"", std::string("a\0b", 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyLookup(c.text, c.opening, c.closing), c.value) << c.text;
}

}  // namespace
}  // namespace kestrel::net
