#pragma once

// LauncherPaths names every file and folder the launcher keeps beside its
// executable and in the per-user folder. The launcher window, the settings
// code, the update check, the updater start, the lookups of the media and transfer modules and
// kestrel-cli all take their paths from here, so that they always agree on
// where a file lives.
//
// Threading: a plain value type; For and Current read nothing but their
// arguments and (Current) the process's own folders and environment.

#include <string>

#include "platform/HostProfile.h"

namespace kestrel::platform {

struct LauncherPaths {
    // The folder of KSTfiles and the default game folder (no trailing
    // separator): the executable's folder for a portable launcher, a folder
    // of the user's for an installed one (ProgramFolderChoice.h).
    std::string program_folder;
    std::string executable_folder;    // the executable's real folder: the restart, the updater, the media module
    std::string launcher_file;        // the executable's file name, for the restart and Launcher_Name
    std::string data_folder;          // <program folder>/KSTfiles
    std::string options_file;         // <data folder>/LauncherOptions.ini
    std::string client_version_file;  // <data folder>/ClientVersion.ini
    std::string default_game_folder;  // <program folder>/.minecraft
    std::string updater;              // <executable folder>/Update (Update.exe on Windows)
    std::string media_module;         // <executable folder>/libkestrel_qt_media.so
    std::string installed_media_module;  // <executable folder>/../lib/kestrel/libkestrel_qt_media.so
    std::string transfer_module;      // <executable folder>/libkestrel_curl.so
    std::string installed_transfer_module;  // <executable folder>/../lib/kestrel/libkestrel_curl.so
    std::string local_app_data;       // LocalAppData()
    std::string account_folder;       // <local app data>/Kestrel2
    std::string account_cache;        // <account folder>/ACCOUNT.cache

    // The paths of a launcher installed in program_folder, joined with the
    // host's separator.
    static LauncherPaths For(const std::string& program_folder, const std::string& local_app_data,
                             const std::string& launcher_file, const HostProfile& host);
    // The paths of a launcher whose executable lies in executable_folder and
    // whose program folder is program_folder.
    static LauncherPaths For(const std::string& program_folder, const std::string& executable_folder,
                             const std::string& local_app_data, const std::string& launcher_file,
                             const HostProfile& host);

    // The running launcher's paths (the program folder chosen by
    // ChooseProgramFolder, LocalAppData(), ExecutableName(), the current
    // host).
    static LauncherPaths Current();
};

}  // namespace kestrel::platform
