#include "platform/LauncherPaths.h"

#include "platform/Folders.h"

namespace kestrel::platform {

LauncherPaths LauncherPaths::For(const std::string& program_folder, const std::string& local_app_data,
                                 const std::string& launcher_file, const HostProfile& host) {
    LauncherPaths paths;
    paths.program_folder = program_folder;
    paths.launcher_file = launcher_file;
    paths.data_folder = host.Join(program_folder, "KSTfiles");
    paths.options_file = host.Join(paths.data_folder, "LauncherOptions.ini");
    paths.client_version_file = host.Join(paths.data_folder, "ClientVersion.ini");
    paths.default_game_folder = host.Join(program_folder, ".minecraft");
    paths.updater = host.Join(program_folder, host.IsWindows() ? "Update.exe" : "Update");
    paths.media_module = host.Join(program_folder, "libkestrel_qt_media.so");
    paths.local_app_data = local_app_data;
    paths.account_folder = host.Join(local_app_data, "Kestrel2");
    paths.account_cache = host.Join(paths.account_folder, "ACCOUNT.cache");
    return paths;
}

LauncherPaths LauncherPaths::Current() {
    return For(ProgramFolder(), LocalAppData(), ExecutableName(), HostProfile::Current());
}

}  // namespace kestrel::platform
