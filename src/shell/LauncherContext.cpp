#include "shell/LauncherContext.h"

namespace kestrel::shell {

LauncherPaths LauncherPaths::For(const std::string& program_folder,
                                 const std::string& local_app_data,
                                 const std::string& launcher_file,
                                 const platform::HostProfile& host) {
    LauncherPaths paths;
    paths.program_folder = program_folder;
    paths.data_folder = host.Join(program_folder, "KSTfiles");
    paths.local_app_data = local_app_data;
    paths.account_cache = host.Join(host.Join(local_app_data, "Kestrel2"), "ACCOUNT.cache");
    paths.launcher_file = launcher_file;
    return paths;
}

}  // namespace kestrel::shell
