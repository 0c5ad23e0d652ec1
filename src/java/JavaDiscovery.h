#pragma once

// Java discovery finds the installed Java runtimes, so the settings page can
// offer them and start-up can pick one when no Java is configured.
//
// Under the Windows profile it keeps the Windows rules: the runtimes beside
// the registered Java home (platform::RegisteredJavaHome: the registry entry
// on Windows). Every sub-folder of the folder that holds the registered home
// is a candidate when it holds bin/<java executable>; several JDKs and JREs
// under one folder are thus all offered, while a runtime elsewhere on the
// disk is found only when the registration points there. Candidates keep the
// folder listing's order; nothing is removed as a duplicate.
//
// Under the Linux profile the runtimes are searched for wherever Linux puts
// them, the launcher's own included, each once (JavaSearch.h).
//
// An empty list means "not found", whether nothing is registered or the
// registered home no longer exists; callers then show kJavaNotFoundAtStartup
// or kJavaNotFoundInSettings.
//
// Threading: free functions reading the file system (and, for DiscoverJava,
// the environment, and running Java executables that lack a release file);
// safe from any thread, but not meant for the window's thread.

#include <string>
#include <vector>

#include "platform/HostProfile.h"

namespace kestrel::java {

// One discovered runtime.
struct JavaCandidate {
    std::string version_label;  // the major version ("8", "17"), or kVersionUnknown
    std::string path;           // the executable, in the profile's separators
    std::string bitness_label;  // "64", "32" or kBitsUnknown
};

inline constexpr char kVersionUnknown[] = "获取失败";
inline constexpr char kBitsUnknown[] = "未知";

// What the launcher says when no Java was found: at start-up (no Java path
// configured yet), and when the player asks the settings page to detect one.
// Both are shown in a warning box captioned kJavaNotFoundCaption.
inline constexpr char kJavaNotFoundAtStartup[] = "未自动检测到Java,请您前往设置手动选择!";
inline constexpr char kJavaNotFoundInSettings[] = "未自动检测到Java,请您手动选择!";
inline constexpr char kJavaNotFoundCaption[] = "Kestrel2";

// The machine's runtimes. Under the Linux profile the launcher's own are
// looked for in game_folder's runtime/ folder, and in the default game folder
// (<program folder>/.minecraft) when none is given.
std::vector<JavaCandidate> DiscoverJava(const platform::HostProfile& profile);
std::vector<JavaCandidate> DiscoverJava(const platform::HostProfile& profile, const std::string& game_folder);

// The runtimes beside a given home, written in the profile's separators
// (a "/" is taken as a separator too). A blank home, or one that is not an
// existing folder, gives an empty list.
std::vector<JavaCandidate> DiscoverJavaBeside(const std::string& registered_home,
                                              const platform::HostProfile& profile);

// The candidate record of one executable (the label of a Java that the player
// picks by hand).
JavaCandidate DescribeJava(const std::string& executable, const platform::HostProfile& profile);

}  // namespace kestrel::java
