#include "platform/Updater.h"

#include <spawn.h>
#include <sys/types.h>

#include <cstring>

extern char** environ;

namespace kestrel::platform {

std::string UpdaterPath(const std::string& program_folder) { return program_folder + "/Update"; }

Status StartUpdater(const std::string& path) {
    pid_t child = 0;
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    const int problem = ::posix_spawn(&child, path.c_str(), nullptr, nullptr, argv, environ);
    if (problem != 0) return Error{"cannot start " + path + ": " + std::strerror(problem)};
    return {};
}

}  // namespace kestrel::platform
