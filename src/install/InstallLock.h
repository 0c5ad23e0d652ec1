#pragma once

// InstallLock keeps a second install, verify --repair or launch repair out of
// a game folder while one runs, so that the launcher's window and kestrel-cli
// never write the same files at once. It is a lock on
// <game folder>/.kestrel-install.lock (platform/FileLock.h): it ends with the
// object or the process, so a crash leaves no stale lock.
//
// A second taker does not wait: it is told at once that an install is
// running. Waiting behind a download of unknown length, with no word of who
// holds the folder, would look like a hang; the player can start again when
// the first one is done.
//
// Threading: move-only; one owner at a time.

#include <string>
#include <string_view>

#include "platform/FileLock.h"
#include "platform/Result.h"

namespace kestrel::install {

inline constexpr std::string_view kErrorInstallRunning = "这个游戏文件夹正在安装或修复游戏文件，请等它完成后再试";

class InstallLock {
public:
    static std::string PathFor(const std::string& game_folder);
    // The game folder is made when missing.
    static Result<InstallLock> TryTake(const std::string& game_folder);

private:
    explicit InstallLock(platform::FileLock lock) : lock_(std::move(lock)) {}
    platform::FileLock lock_;
};

}  // namespace kestrel::install
