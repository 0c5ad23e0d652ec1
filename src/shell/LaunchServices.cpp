#include "shell/LaunchServices.h"

#include "platform/Process.h"

namespace kestrel::shell {

LaunchServices LaunchServices::Platform() {
    LaunchServices services;
    services.find_window = [](int pid) { return platform::FindWindowOf(pid); };
    services.set_title = [](platform::WindowId window, const std::string& title) {
        return platform::SetWindowTitle(window, title);
    };
    services.alive = [](int pid) { return platform::ProcessAlive(pid); };
    services.exit_status = [](int pid) { return platform::ExitStatusOf(pid); };
    services.start_process = [](const std::string& exe, std::string_view command_line, const std::string& cwd) {
        return platform::StartProcess(exe, command_line, cwd);
    };
    return services;
}

}  // namespace kestrel::shell
