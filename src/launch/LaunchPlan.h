#pragma once

// LaunchPlan holds the inputs of one launch, read from the settings record and
// the signed-in account when the launch starts: which version, which Java,
// who plays, how much memory, the game window's size, whether the version
// runs in its own game directory, and the watermark shown as the version's
// name and type in the game.
//
// Paths are written in the host profile's separators.
//
// Threading: a plain value.

#include <string>
#include <string_view>

namespace kestrel::launch {

// The watermark a launch shows when the player set none.
inline constexpr std::string_view kLaunchWatermark = "由Kestrel 2安全启动";

struct LaunchPlan {
    std::string version_id;    // a folder name under <game folder>/versions
    std::string java_path;     // the Java executable
    std::string player_name;
    std::string player_uuid;   // may be empty (offline accounts)
    std::string access_token;  // may be empty (offline accounts)
    int memory_mb = 2048;
    int window_width = 854;
    int window_height = 480;
    bool isolation = false;    // the version runs in <game folder>/versions/<id>
    std::string watermark;     // the watermark setting; empty means kLaunchWatermark
    std::string game_folder;   // the current game directory (never the isolated one)
    std::string window_title;  // used by the game-window watcher
    int after_launch_action = 0;
};

// The watermark a launch uses: the setting, or kLaunchWatermark when it is
// empty.
std::string LaunchWatermark(std::string_view setting);

// The watermark setting as a launch leaves it: a setting that is the stand-in
// text (put there for the launch, or typed by the player) becomes empty again,
// which means the same at the next launch.
std::string WatermarkSettingAfterLaunch(std::string_view setting);

// The number of a decimal text as the settings and kestrel-cli give it: an
// optional sign and digits only; any other text counts as 0, and so does a
// number beyond the range of int.
int DecimalOrZero(std::string_view text);

}  // namespace kestrel::launch
