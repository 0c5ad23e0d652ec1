#pragma once

// Rules decides what the `rules` of a library or an argument allow on a host.
// It has two readings:
//
//  - The launch's reading, which the classpath, the natives and the command
//    line have always used and which their texts depend on: only the first
//    rule counts, and only the system it names (FirstRuleSystem). The
//    classpath leaves out what it reserves for macOS; the natives unpack a
//    library whose first rule names this system; the JVM arguments take an
//    entry whose first rule names this system without a system version.
//
//  - The full reading, for installing: no `rules` member allows; otherwise
//    the outcome starts as disallowed and every rule that matches sets it
//    (the last match wins). A rule matches when its os.name is this
//    system's, its os.arch this CPU's ("x86" is a 32-bit host), its
//    os.version a regular expression found in the system's version, and each
//    feature it names has the wanted value; features are off unless given.
//    A rule whose action is neither "allow" nor "disallow" changes nothing.
//
// Threading: an evaluator is an immutable value; any thread may use it.

#include <string>
#include <vector>

#include "launch/VersionRecord.h"
#include "platform/HostProfile.h"

namespace kestrel::launch {

// What the launch's reading makes of a rule list.
enum class FirstRuleSystem {
    kNone,                // no rules, or the first names no system
    kThisSystem,          // the first rule names this host's system
    kThisSystemVersioned, // … and also a system version
    kMac,                 // the first rule names "osx"
    kOtherSystem,         // the first rule names another system
};

class Rules {
public:
    // features are the names of the features that are on.
    explicit Rules(platform::HostProfile host, std::vector<std::string> features = {});

    // The launch's reading.
    FirstRuleSystem FirstRule(const RuleList& list) const;
    // The classpath keeps a library unless its first rule names "osx"
    // (whatever the rule's action).
    bool OnLaunchClasspath(const RuleList& list) const { return FirstRule(list) != FirstRuleSystem::kMac; }
    // A library's own jar is a natives archive when its first rule names
    // this system.
    bool UnpackedAtLaunch(const RuleList& list) const;
    // A rule-guarded JVM argument is taken when its first rule names this
    // system and no version.
    bool TakenAtLaunch(const RuleList& list) const { return FirstRule(list) == FirstRuleSystem::kThisSystem; }

    // The full reading.
    bool Allows(const RuleList& list) const;
    bool Matches(const VersionRule& rule) const;

private:
    platform::HostProfile host_;
    std::vector<std::string> features_;
};

}  // namespace kestrel::launch
