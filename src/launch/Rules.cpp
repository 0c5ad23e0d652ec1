#include "launch/Rules.h"

#include <algorithm>
#include <regex>

namespace kestrel::launch {

namespace {

// A pattern from a manifest is matched against a short version text; a
// pattern longer than any real one is taken as matching nothing, as is one
// that is no regular expression.
constexpr std::size_t kMaxPatternLength = 256;

bool VersionMatches(const std::string& pattern, const std::string& version) {
    if (pattern.size() > kMaxPatternLength) return false;
    try {
        return std::regex_search(version, std::regex(pattern, std::regex::ECMAScript));
    } catch (const std::regex_error&) {
        return false;
    }
}

}  // namespace

Rules::Rules(platform::HostProfile host, std::vector<std::string> features)
    : host_(std::move(host)), features_(std::move(features)) {}

FirstRuleSystem Rules::FirstRule(const RuleList& list) const {
    if (list.rules.empty() || !list.rules.front().os_name) return FirstRuleSystem::kNone;
    const VersionRule& first = list.rules.front();
    if (*first.os_name == host_.os_name) {
        return first.os_version ? FirstRuleSystem::kThisSystemVersioned : FirstRuleSystem::kThisSystem;
    }
    return *first.os_name == "osx" ? FirstRuleSystem::kMac : FirstRuleSystem::kOtherSystem;
}

bool Rules::UnpackedAtLaunch(const RuleList& list) const {
    const FirstRuleSystem first = FirstRule(list);
    return first == FirstRuleSystem::kThisSystem || first == FirstRuleSystem::kThisSystemVersioned;
}

bool Rules::Matches(const VersionRule& rule) const {
    if (rule.os_name && *rule.os_name != host_.os_name) return false;
    if (rule.os_arch && *rule.os_arch != host_.arch) return false;
    if (rule.os_version && !VersionMatches(*rule.os_version, host_.os_version)) return false;
    for (const auto& [feature, wanted] : rule.features) {
        const bool on = std::find(features_.begin(), features_.end(), feature) != features_.end();
        if (on != wanted) return false;
    }
    return true;
}

bool Rules::Allows(const RuleList& list) const {
    if (!list.given) return true;
    bool allowed = false;
    for (const VersionRule& rule : list.rules) {
        if (rule.action != "allow" && rule.action != "disallow") continue;
        if (Matches(rule)) allowed = rule.action == "allow";
    }
    return allowed;
}

}  // namespace kestrel::launch
