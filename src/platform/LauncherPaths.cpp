#include "platform/LauncherPaths.h"

#include "platform/Folders.h"
#include "platform/ProgramFolderChoice.h"

namespace kestrel::platform {

LauncherPaths LauncherPaths::For(const std::string& program_folder, const std::string& local_app_data,
                                 const std::string& launcher_file, const HostProfile& host) {
    return For(program_folder, program_folder, local_app_data, launcher_file, host);
}

LauncherPaths LauncherPaths::For(const std::string& program_folder, const std::string& executable_folder,
                                 const std::string& local_app_data, const std::string& launcher_file,
                                 const HostProfile& host) {
    LauncherPaths paths;
    paths.program_folder = program_folder;
    paths.executable_folder = executable_folder;
    paths.launcher_file = launcher_file;
    paths.data_folder = host.Join(program_folder, "KSTfiles");
    paths.options_file = host.Join(paths.data_folder, "LauncherOptions.ini");
    paths.client_version_file = host.Join(paths.data_folder, "ClientVersion.ini");
    paths.default_game_folder = host.Join(program_folder, ".minecraft");
    paths.updater = host.Join(executable_folder, host.IsWindows() ? "Update.exe" : "Update");
    paths.media_module = host.Join(executable_folder, "libkestrel_qt_media.so");
    paths.installed_media_module =
        host.Join(host.Join(executable_folder, InstalledModuleFolderFromExecutable()), "libkestrel_qt_media.so");
    paths.transfer_module = host.Join(executable_folder, "libkestrel_curl.so");
    paths.installed_transfer_module =
        host.Join(host.Join(executable_folder, InstalledModuleFolderFromExecutable()), "libkestrel_curl.so");
    paths.local_app_data = local_app_data;
    paths.account_folder = host.Join(local_app_data, "Kestrel2");
    paths.account_cache = host.Join(paths.account_folder, "ACCOUNT.cache");
    return paths;
}

LauncherPaths LauncherPaths::Current() {
    const ProgramFolderFacts facts = CurrentProgramFolderFacts();
    return For(ChooseProgramFolder(facts).program_folder, facts.executable_folder, LocalAppData(), ExecutableName(),
               HostProfile::Current());
}

}  // namespace kestrel::platform
