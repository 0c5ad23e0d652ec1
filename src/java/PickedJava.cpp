#include "java/PickedJava.h"

#include "java/JavaProbe.h"
#include "platform/Files.h"

namespace kestrel::java {

std::string JavaProbeProblem(const std::string& executable, const platform::HostProfile& profile,
                             std::stop_token stop, std::chrono::milliseconds limit) {
    const std::string path = profile.NativePath(executable);
    if (!platform::IsRegularFile(path)) return "文件不存在或不是一个普通文件";
    if (!platform::IsExecutableFile(path)) return "该文件没有可执行权限";

    // A program that keeps its output open (or leaves it to a program of
    // its own) is ended at the limit with everything it started.
    platform::ProgramLimits limits;
    limits.time = limit;
    const Result<platform::ProgramRun> run = AskJava(path, limits, std::move(stop));
    if (!run) return "无法运行该文件(" + run.error() + ")";
    switch (run->end) {
        case platform::ProgramEnd::kStopped: return "检查已取消";
        case platform::ProgramEnd::kTimedOut:
            return "该程序未在" + std::to_string(limit.count() / 1000) + "秒内回应 -version";
        case platform::ProgramEnd::kTooMuchOutput: return "该程序运行 -version 后输出过多";
        case platform::ProgramEnd::kEnded: break;
    }
    if (run->exit_status != 0) return "该程序运行 -version 失败(退出码 " + std::to_string(run->exit_status) + ")";
    // Every Java names its version, in its properties and in the version
    // line: `openjdk version "17.0.8" 2023-07-18`, `java version "1.8.0_301"`.
    if (ParseJavaSettings(run->output).java_version.empty()) return "该程序运行 -version 后没有给出Java的版本";
    return {};
}

}  // namespace kestrel::java
