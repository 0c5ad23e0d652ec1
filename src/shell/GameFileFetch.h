#pragma once

// GameFileFetch is the launch's repair of the game folder: before the game
// starts, the files of the selected version's chain that have a download
// location are checked by existence and size (download/MissingFiles.h), and
// the missing or wrong-sized ones are fetched from the download source of the
// settings, with the progress on the game-start window's bar (0 to 40, where
// the launch's own steps go on) and its step label ("正在补全游戏文件 12/40").
// The launch used to start whatever was on disk; a game with a lost library
// then crashed and one with lost assets ran without sounds, so the launch now
// fetches them first, as other launchers do. CheckFilesBeforeLaunch="False"
// in the options file turns this off.
//
// The fetch holds the game folder's install lock (install/InstallLock.h), so
// that it never writes the files an install or a repair of kestrel-cli is
// writing; while one runs, the launch fails with the lock's text.
//
// A chain that cannot be listed (no manifest, an unreadable one) fetches
// nothing: the launch then reports the problem in its own words. A failed
// fetch is an error text for the launch's message box; a stop request ends
// the fetch at once and gives kLaunchCancelled.
//
// Threading: Run blocks the launch worker that calls it; the window writes
// go through the Surface, which queues them for the user-interface thread.

#include <stop_token>
#include <string>

#include "download/Downloader.h"
#include "platform/Clock.h"
#include "platform/HostProfile.h"
#include "platform/Result.h"
#include "net/Endpoints.h"
#include "shell/SettingsRecord.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

// The step label while files are fetched: the prefix, then "done/total".
inline constexpr const char* kStepFetching = "正在补全游戏文件 ";
// Before the error text of a failed fetch, in the launch's message box.
inline constexpr const char* kErrorFetchPrefix = "补全游戏文件失败:";
// The bar's value when the fetch is done; the launch goes on from there.
inline constexpr int kFetchBarEnd = 40;

// The bar's value for a download's progress, 0 to kFetchBarEnd: by bytes
// where their total is known, else by files.
int FetchBarValue(const download::DownloadProgress& progress);

class GameFileFetch {
public:
    GameFileFetch(platform::HostProfile host, net::Endpoints endpoints, platform::Clock& clock)
        : host_(std::move(host)), endpoints_(std::move(endpoints)), clock_(clock) {}

    // Fetches what the chain of settings.selected_version in
    // settings.current_game_dir lacks, from settings.download_source.
    Status Run(const SettingsRecord& settings, toolkit::Surface& window, std::stop_token stop) const;

private:
    platform::HostProfile host_;
    net::Endpoints endpoints_;
    platform::Clock& clock_;
};

}  // namespace kestrel::shell
