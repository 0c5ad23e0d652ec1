#pragma once

// SettingsRecord is the in-memory form of the launcher's options file: every
// user setting (version, game folder, Java, memory, game window, after-launch
// action, a few personal touches) plus the current game directory derived
// from the game folder. The options file (OptionsFile.h) loads and saves it.
// It lives below the windows so that the installing code and kestrel-cli read
// the same settings the settings window writes.
//
// Threading: a plain value type. The owner of the process-wide state keeps
// the one live record and replaces each value whole under its lock; the
// launch takes a copy when it starts.

#include <cstdint>
#include <string>
#include <string_view>

#include "net/UrlRewriter.h"

namespace kestrel::settings {

// The launcher's own version, a constant of the build.
inline constexpr std::string_view kLauncherVersion = "22w02a";

// What the launcher does once the game window is up (`Launcher_Waiting`).
enum AfterLaunch : std::int32_t {
    kExitLauncher = 1,     // "启动游戏后结束运行"
    kMinimise = 2,         // "启动游戏后最小化"
    kHideUntilExit = 3,    // "游戏结束后可见(暂时隐藏)"
    kRestartAfterExit = 4, // "游戏结束后重新启动"
    kDoNothing = 5,        // "不进行任何操作"
};

// How the game window is sized (`GameWindow`).
enum GameWindowMode : std::int32_t {
    kWindowDefault = 1,      // "默认", 854 × 480
    kWindowCustom = 2,       // "自定义", as typed
    kWindowMaximised = 3,    // "最大化", the primary screen's size
    kWindowFullScreen = 4,   // "全屏", the primary screen's size
    kWindowAsLauncher = 5,   // "与启动器相同", 790 × 486
};

// Where game files are downloaded from (`DownloadSource`).
enum class DownloadSource {
    kOfficial,  // "official": the services' own addresses
    kBmclapi,   // "bmclapi": the BMCLAPI mirror
};

// The text of a download source in the options file, and back; any other
// text reads as the official source.
std::string_view DownloadSourceText(DownloadSource source);
DownloadSource DownloadSourceFromText(std::string_view text);

// The mirror whose addresses a download source stands for.
net::Mirror MirrorOf(DownloadSource source);

inline constexpr std::int32_t kDefaultWindowWidth = 854;
// How many files an install or the launch's check fetches at once
// (`DownloadThreads`).
inline constexpr std::int32_t kDefaultDownloadJobs = 16;
inline constexpr std::int32_t kDefaultWindowHeight = 480;

struct SettingsRecord {
    std::string selected_version;      // RINKU_SUTAATO; empty = none chosen
    std::string game_folder;           // GameFolder
    bool game_folder_auto = false;     // GameFolder_Auto: use <program folder>/.minecraft
    std::string server_address;        // ip
    bool music_player = false;         // Musicplayer
    std::string java_path;             // Java
    std::string java_label;            // JavaV
    std::int32_t memory = 0;           // Memory, MB
    bool isolation = false;            // Isolation
    std::int32_t launcher_waiting = 0; // Launcher_Waiting, an AfterLaunch value
    std::int32_t game_window = 0;      // GameWindow, a GameWindowMode value
    std::int32_t game_window_width = 0;
    std::int32_t game_window_height = 0;
    std::string game_window_title;     // empty = leave the game's title alone
    std::string game_window_watermark; // empty = the launch uses its own watermark
    std::int32_t advanced = 0;         // the disabled advanced-launch switch; always 0
    std::string anti_cheat;            // reserved; always empty
    std::string launcher_version = std::string(kLauncherVersion);
    // Keys added after the first nineteen; a file without them reads with
    // these defaults.
    DownloadSource download_source = DownloadSource::kOfficial;  // DownloadSource
    bool check_files_before_launch = true;                        // CheckFilesBeforeLaunch
    // A launch whose chosen Java is not the major version the game needs
    // takes a fitting one that is installed, or downloads it (AutoJava).
    bool automatic_java = true;                                   // AutoJava
    std::int32_t download_jobs = kDefaultDownloadJobs;            // DownloadThreads

    // Derived: the game folder when it is set, else <program folder>/.minecraft.
    // Every game-folder tool and the launch use this one.
    std::string current_game_dir;

    // The text of the options file as last built by a save.
    std::string saved_text;
};

}  // namespace kestrel::settings
