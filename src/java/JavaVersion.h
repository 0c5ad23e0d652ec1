#pragma once

// The two facts the launcher needs about a Java executable: its major version
// (for the candidate label and for a version's Java requirement) and its
// bitness (for the candidate label).
//
// The major version is the text before the first "." of the executable's
// version (platform::ExecutableVersion): "8" for 1.8.0_301, "17" for 17.0.2.
// A version's Java requirement compares it, converted to an integer (empty
// counts as 0), with the manifests' javaVersion.majorVersion for equality.
//
// Paths are written in the profile's separators; the file they name is read
// with the machine's own.
//
// Threading: free functions reading the file system; safe from any thread.

#include <string>
#include <string_view>

#include "platform/HostProfile.h"

namespace kestrel::java {

// The major version text of a Java executable; empty when it cannot be read.
std::string JavaMajorVersion(const std::string& executable, const platform::HostProfile& profile);

// The major version as a number for the requirement check: the value of the
// text's leading digits, 0 when there are none.
int JavaMajorNumber(std::string_view major_text);

// JavaMajorVersion, or kVersionUnknown when it is empty.
std::string JavaVersionLabel(const std::string& executable, const platform::HostProfile& profile);

// "64", "32" or kBitsUnknown, from OS_ARCH of the `release` file in the
// executable's home (two levels above it).
std::string JavaBitness(const std::string& executable, const platform::HostProfile& profile);

// The bitness label of an OS_ARCH value.
std::string BitnessOfArch(std::string_view os_arch);

}  // namespace kestrel::java
