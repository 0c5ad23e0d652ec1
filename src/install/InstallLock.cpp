#include "install/InstallLock.h"

#include "platform/Files.h"

namespace kestrel::install {

std::string InstallLock::PathFor(const std::string& game_folder) { return game_folder + "/.kestrel-install.lock"; }

Result<InstallLock> InstallLock::TryTake(const std::string& game_folder) {
    if (!platform::CreateFolders(game_folder)) return Error{"无法创建游戏文件夹: " + game_folder};
    bool busy = false;
    Result<platform::FileLock> lock = platform::FileLock::TryTake(PathFor(game_folder), busy);
    if (!lock) return Error{busy ? std::string(kErrorInstallRunning) : lock.error()};
    return InstallLock(std::move(lock).value());
}

}  // namespace kestrel::install
