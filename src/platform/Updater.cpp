#include "platform/Updater.h"

#include <spawn.h>
#include <sys/types.h>

#include <cstring>

#include <string>
#include <vector>

#include "platform/Process.h"

extern char** environ;

namespace kestrel::platform {

Status StartUpdater(const std::string& path) {
    pid_t child = 0;
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    std::vector<std::string> environment = ChildEnvironment(environ);
    std::vector<char*> envp;
    envp.reserve(environment.size() + 1);
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const int problem = ::posix_spawn(&child, path.c_str(), nullptr, nullptr, argv, envp.data());
    if (problem != 0) return Error{"cannot start " + path + ": " + std::strerror(problem)};
    return {};
}

}  // namespace kestrel::platform
