#pragma once

// The check of the name a new version gets in the download window, before
// anything is installed: it names a folder directly below versions (so no
// separator, no "..", no drive prefix), it can be saved as the selected
// version (no double quote, no control character: the options file has no
// escaping), and no version folder of that name exists yet, so an install
// never overwrites another version. The one exception is a game version
// installed again under its own id with no loader: that install completes
// what is missing and keeps what is there.
//
// Threading: looks at the disk (one folder test); call it where that may
// wait, or accept the few microseconds it takes.

#include <optional>
#include <string>

#include "install/Loaders.h"

namespace kestrel::shell {

inline constexpr const char* kNameEmpty = "请填写新版本的名称";
inline constexpr const char* kNameUnsafe = "名称不能含有 / \\ \" 、“..”或控制字符";
inline constexpr const char* kNameTooLong = "名称太长了(最多 100 个字符)";
inline constexpr const char* kNameTaken = "已有同名的版本,请换一个名称";

// The problem with name as a Chinese text for the player, or "" when it may
// be used. reinstall: the name is the game version's own id and no loader
// is chosen.
std::string VersionNameProblem(const std::string& name, const std::string& game_dir, bool reinstall);

// The name the window offers for a game version, with no loader its own id,
// with a loader the id that loader gives its versions:
// "fabric-loader-0.16.9-1.21.1", "quilt-loader-0.27.1-1.21.1",
// "1.20.1-forge-47.4.10" (from the Maven version "1.20.1-47.4.10"),
// "neoforge-21.1.209".
std::string DefaultVersionName(const std::string& game_version, std::optional<install::Loader> loader,
                               const std::string& loader_version);

}  // namespace kestrel::shell
