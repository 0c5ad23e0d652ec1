#include "java/PickedJava.h"

#include <algorithm>
#include <optional>

#include "platform/ChildProcess.h"
#include "platform/Files.h"

namespace kestrel::java {

std::string JavaProbeProblem(const std::string& executable, const platform::HostProfile& profile,
                             std::stop_token stop, std::chrono::milliseconds limit) {
    using Steady = std::chrono::steady_clock;
    const std::string path = profile.NativePath(executable);
    if (!platform::IsRegularFile(path)) return "文件不存在或不是一个普通文件";
    if (!platform::IsExecutableFile(path)) return "该文件没有可执行权限";

    platform::ChildOptions options;
    options.exe = path;
    options.command_line = "\"" + path + "\" -version";
    options.output = platform::ChildOutput::kPipe;
    Result<platform::ChildProcess> child = platform::ChildProcess::Start(options);
    if (!child) return "无法运行该文件(" + child.error() + ")";

    // The output is read for the limit at most: a program may keep its
    // output open (or leave it to a program of its own) and never end.
    const Steady::time_point deadline = Steady::now() + limit;
    const std::string output = child.value().ReadOutput(stop, limit);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now());
    const platform::WaitEnd end = child->Wait(stop, std::max(left, std::chrono::milliseconds(0)));
    if (end != platform::WaitEnd::kEnded) {
        child->Kill();
        child->Wait({});
        if (end == platform::WaitEnd::kStopped) return "检查已取消";
        return "该程序未在" + std::to_string(limit.count() / 1000) + "秒内回应 -version";
    }
    const std::optional<int> status = child->ExitStatus();
    if (status != 0) return "该程序运行 -version 失败(退出码 " + std::to_string(status.value_or(-1)) + ")";
    // Every Java names its version in the first line: `openjdk version
    // "17.0.8" 2023-07-18`, `java version "1.8.0_301"`.
    if (output.find("version") == std::string::npos) return "该程序运行 -version 后没有给出Java的版本";
    return {};
}

}  // namespace kestrel::java
