#pragma once

// Asking a Java executable itself what it is, for a runtime whose home has no
// `release` file (or one without the version): `java
// -XshowSettings:properties -version` prints the system properties, among
// them java.version, os.arch and sun.arch.data.model, on standard error and
// ends at once. The run has a time limit (platform::ProgramOutput), so a
// broken or hanging executable costs at most that long and yields no facts.
//
// Threading: free functions; safe from any thread.

#include <stop_token>
#include <string>
#include <string_view>

#include "platform/ProgramOutput.h"
#include "platform/Result.h"

namespace kestrel::java {

// What a runtime says about itself; a field is empty when it was not said.
struct JavaFacts {
    std::string java_version;  // as JAVA_VERSION writes it: "1.8.0_402", "17.0.10", "21"
    std::string os_arch;       // "amd64", "aarch64", "x86", ...
    std::string data_model;    // "64" or "32" (sun.arch.data.model)
};

// The facts in the output of `java -XshowSettings:properties -version`.
// Properties are the "    key = value" lines; when java.version is missing,
// the version line (`openjdk version "17.0.10" 2024-01-16`) stands in.
JavaFacts ParseJavaSettings(std::string_view output);

// Runs the executable as above within the limits: the one way the launcher
// asks a Java about itself, for discovery and for a Java picked by hand. An
// error when it could not be started.
Result<platform::ProgramRun> AskJava(const std::string& executable, const platform::ProgramLimits& limits,
                                     std::stop_token stop = {});

// AskJava's facts; empty facts when it could not be started, did not end in
// time or printed no properties.
JavaFacts ProbeJava(const std::string& executable, const platform::ProgramLimits& limits);

// The bitness label of the facts: the data model when it is 64 or 32, else
// that of os.arch (BitnessOfArch), else kBitsUnknown.
std::string BitnessOfFacts(const JavaFacts& facts);

// The major version label of a JAVA_VERSION text ("1.8.0_402" gives "8",
// "21" gives "21"); empty when it does not start with a number.
std::string MajorOfJavaVersion(std::string_view java_version);

}  // namespace kestrel::java
