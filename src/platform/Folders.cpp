#include "platform/Folders.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>

#include "platform/Environment.h"

namespace kestrel::platform {

std::string ProgramFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error).string();
    return executable.parent_path().string();
}

std::string ExecutableName() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.filename().string();
}

std::string LocalAppData() {
    if (std::string value = EnvironmentValue("LOCALAPPDATA"); !value.empty()) return value;
    if (std::string value = EnvironmentValue("XDG_DATA_HOME"); !value.empty()) return value;
    std::string home = EnvironmentValue("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) home = entry->pw_dir;
    }
    return home + "/.local/share";
}

}  // namespace kestrel::platform
