#include "platform/ProgramFolderChoice.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>

#include "platform/Environment.h"
#include "platform/Folders.h"

#ifndef KESTREL_MODULE_FOLDER_FROM_EXECUTABLE
#define KESTREL_MODULE_FOLDER_FROM_EXECUTABLE "../lib/kestrel"
#endif
#ifndef KESTREL_INSTALL_PREFIX
#define KESTREL_INSTALL_PREFIX "/usr/local"
#endif

namespace kestrel::platform {

namespace {

// Whether folder is prefix or lies below it, by whole path components
// (/usr/bin is under /usr, /usrlocal is not).
bool Under(const std::string& folder, std::string prefix) {
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    if (prefix.empty()) return false;
    if (folder.compare(0, prefix.size(), prefix) != 0) return false;
    return folder.size() == prefix.size() || folder[prefix.size()] == '/' || prefix == "/";
}

}  // namespace

ProgramFolderChoice ChooseProgramFolder(const ProgramFolderFacts& facts) {
    bool system = facts.installed_layout;
    for (const std::string& prefix : facts.system_prefixes) system = system || Under(facts.executable_folder, prefix);
    if (facts.has_data_folder || (facts.writable && !system)) {
        return {ProgramFolderChoice::Mode::kPortable, facts.executable_folder};
    }
    // The XDG rule: a relative $XDG_DATA_HOME is invalid and ignored.
    std::string data_home = facts.xdg_data_home;
    if (data_home.empty() || data_home.front() != '/') data_home = facts.home + "/.local/share";
    while (data_home.size() > 1 && data_home.back() == '/') data_home.pop_back();
    return {ProgramFolderChoice::Mode::kInstalled, data_home + "/kestrel"};
}

std::string InstalledModuleFolderFromExecutable() { return KESTREL_MODULE_FOLDER_FROM_EXECUTABLE; }

ProgramFolderFacts CurrentProgramFolderFacts() {
    ProgramFolderFacts facts;
    facts.executable_folder = ProgramFolder();
    std::error_code error;
    facts.writable = ::access(facts.executable_folder.c_str(), W_OK) == 0;
    facts.has_data_folder = std::filesystem::is_directory(facts.executable_folder + "/KSTfiles", error);
    facts.installed_layout = std::filesystem::is_regular_file(
        facts.executable_folder + "/" + InstalledModuleFolderFromExecutable() + "/libkestrel_qt_media.so", error);
    facts.system_prefixes = {"/usr", "/opt", KESTREL_INSTALL_PREFIX};
    facts.xdg_data_home = EnvironmentValue("XDG_DATA_HOME");
    facts.home = EnvironmentValue("HOME");
    if (facts.home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) facts.home = entry->pw_dir;
    }
    return facts;
}

}  // namespace kestrel::platform
