#pragma once

// The data folder the launcher keeps beside itself, and the constants the
// start-up sets.
//
// KSTfiles, KSTfiles/Backgrounds and KSTfiles/Music are made at every start
// when missing, and the two readme files are written again every time (an
// edited one is put back), in GBK without a line end at the end. Errors are
// ignored: a launcher in a read-only folder still starts.
//
// Threading: free functions; the folders part touches only the file system,
// the constants part only ctx.state (under its lock). Any thread.

#include <string>
#include <string_view>

#include "shell/LauncherContext.h"

namespace kestrel::shell {

// The readme texts (UTF-8 here; written as GBK).
inline constexpr std::string_view kBackgroundsReadme =
    "目前只能识别jpg！！！！\r\n且为了显示效果，请您添加788x455或相同比例的图片";
inline constexpr std::string_view kMusicReadme = "目前只能识别MP3！！！！";
inline constexpr std::string_view kReadmeName = "必读.txt";

// <data folder>/Backgrounds and <data folder>/Music.
std::string BackgroundsFolder(const LauncherContext& ctx);
std::string MusicFolder(const LauncherContext& ctx);

// Creates the three folders and writes the two readme files.
void MakeDataFolders(const LauncherContext& ctx);

// Sets the constants: the launcher version, the client version
// (content::ReadClientVersion: without a trailing line end), the OAuth
// client id, and the update, slogans and notice addresses from ctx.endpoints.
// The built-in server address stays as the state holds it (empty by default:
// the status board then asks the server of the ip setting).
void SetStartUpConstants(LauncherContext& ctx);

}  // namespace kestrel::shell
