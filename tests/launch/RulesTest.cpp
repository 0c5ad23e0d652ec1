#include "launch/Rules.h"

#include <gtest/gtest.h>

#include "net/JsonDocument.h"

namespace kestrel::launch {
namespace {

// The rules member of a library written as JSON ("" for none).
RuleList RulesOf(const std::string& rules_json) {
    const std::string library = rules_json.empty() ? R"({"name":"a:b:1"})"
                                                   : R"({"name":"a:b:1","rules":)" + rules_json + "}";
    net::JsonDocument document;
    EXPECT_TRUE(document.Parse(R"({"libraries":[)" + library + "]}")) << rules_json;
    return VersionRecord::Read(document.Find(""), document.ToText()).libraries.at(0).rules;
}

platform::HostProfile LinuxHost() {
    platform::HostProfile host = platform::HostProfile::Linux64();
    host.os_version = "6.1.0-13-amd64";
    return host;
}

struct RuleCase {
    const char* rules;
    FirstRuleSystem launch;  // what the launch's reading sees
    bool installed;          // what the full reading allows
};

// The same rules under both readings on a 64-bit Linux host whose release is
// 6.1: the launch looks at the first rule's system only, installing follows
// every rule.
TEST(Rules, BothReadingsOnOneTable) {
    using enum FirstRuleSystem;
    const RuleCase cases[] = {
        {"", kNone, true},
        {"[]", kNone, false},
        {R"([{"action":"allow"}])", kNone, true},
        {R"([{"action":"allow"},{"action":"disallow","os":{"name":"osx"}}])", kNone, true},
        {R"([{"action":"allow"},{"action":"disallow","os":{"name":"linux"}}])", kNone, false},
        {R"([{"action":"allow","os":{"name":"osx"}}])", kMac, false},
        {R"([{"action":"disallow","os":{"name":"osx"}},{"action":"allow"}])", kMac, true},
        {R"([{"action":"allow","os":{"name":"linux"}}])", kThisSystem, true},
        {R"([{"action":"disallow","os":{"name":"linux"}}])", kThisSystem, false},
        {R"([{"action":"allow","os":{"name":"windows"}}])", kOtherSystem, false},
        {R"([{"action":"allow","os":{"name":"linux","version":"^6\\."}}])", kThisSystemVersioned, true},
        {R"([{"action":"allow","os":{"name":"linux","version":"^10\\."}}])", kThisSystemVersioned, false},
        {R"([{"action":"allow","os":{"name":"linux","version":"(["}}])", kThisSystemVersioned, false},
        {R"([{"action":"allow","os":{"arch":"x86"}}])", kNone, false},
        {R"([{"action":"allow","os":{"arch":"x86_64"}}])", kNone, true},
        {R"([{"action":"allow","features":{"is_demo_user":true}}])", kNone, false},
        {R"([{"action":"allow","features":{"has_custom_resolution":false}}])", kNone, true},
        {R"([{"action":"allow"},{"action":"sometimes","os":{"name":"linux"}}])", kNone, true},
        {R"([{"os":{"name":"linux"}}])", kThisSystem, false},
        // An object in place of the list is read by position, as always.
        {R"({"first":{"action":"allow","os":{"name":"osx"}}})", kMac, false},
    };
    const Rules rules(LinuxHost());
    for (const RuleCase& c : cases) {
        const RuleList list = RulesOf(c.rules);
        EXPECT_EQ(rules.FirstRule(list), c.launch) << c.rules;
        EXPECT_EQ(rules.Allows(list), c.installed) << c.rules;
    }
}

TEST(Rules, FeaturesAndTheHostDecideTheFullReading) {
    const RuleList demo = RulesOf(R"([{"action":"allow","features":{"is_demo_user":true}}])");
    EXPECT_TRUE(Rules(LinuxHost(), {"is_demo_user"}).Allows(demo));
    // A 32-bit Windows 10 host.
    platform::HostProfile windows = platform::HostProfile::Windows64();
    windows.arch = "x86";
    windows.os_version = "10.0";
    const Rules on_windows(windows);
    EXPECT_TRUE(on_windows.Allows(RulesOf(R"([{"action":"allow","os":{"name":"windows","arch":"x86"}}])")));
    EXPECT_TRUE(on_windows.Allows(RulesOf(R"([{"action":"allow","os":{"name":"windows","version":"^10\\."}}])")));
    EXPECT_FALSE(on_windows.Allows(RulesOf(R"([{"action":"allow","os":{"name":"linux"}}])")));
    EXPECT_EQ(on_windows.FirstRule(RulesOf(R"([{"action":"allow","os":{"name":"linux"}}])")),
              FirstRuleSystem::kOtherSystem);
}

}  // namespace
}  // namespace kestrel::launch
