#pragma once

// Which Java a launch uses. The launch's own requirement check stays as it
// is (the Java's major version must equal the chain's
// javaVersion.majorVersion); this choice runs before it, so that a launch
// which would fail that check takes a Java that passes it instead:
//
// 1. a Java given explicitly for this launch (kestrel-cli's --java) is used
//    as given, and so is the chosen one when the automatic choice is off, the
//    chain names no major version, or the chosen Java already has it;
// 2. else a discovered Java of exactly that major version: a runtime the
//    launcher installed for the chain's component first, then the others in
//    discovery order;
// 3. else the component (jre-legacy when the chain names none) is to be
//    downloaded, and its java used.
//
// Threading: a pure function.

#include <string>
#include <vector>

#include "java/JavaDiscovery.h"
#include "runtimes/RuntimeLayout.h"

namespace kestrel::runtimes {

struct JavaChoiceInput {
    std::string chosen_java;     // the options file's Java, or --java
    int chosen_major = 0;        // its major version (0 when unreadable)
    bool given_explicitly = false;
    bool automatic = true;       // the setting that allows the choice
    std::string required_major;  // javaVersion.majorVersion of the chain; "" for none
    std::string component;       // javaVersion.component of the chain; "" for none
};

struct JavaChoice {
    enum class Kind { kAsChosen, kDiscovered, kDownload };
    Kind kind = Kind::kAsChosen;
    std::string java;       // the Java to launch with; empty for kDownload
    std::string component;  // for kDownload: the component to install
    friend bool operator==(const JavaChoice&, const JavaChoice&) = default;
};

// Versions older than the javaVersion member run on Java 8.
inline constexpr char kLegacyComponent[] = "jre-legacy";

JavaChoice ChooseJava(const JavaChoiceInput& input, const std::vector<java::JavaCandidate>& discovered,
                      const std::vector<InstalledRuntime>& installed);

}  // namespace kestrel::runtimes
