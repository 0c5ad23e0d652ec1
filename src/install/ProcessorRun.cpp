#include "install/ProcessorRun.h"

#include <algorithm>
#include <filesystem>

#include "install/InstallerArchive.h"
#include "launch/CommandLine.h"
#include "launch/SafeNames.h"
#include "platform/ChildProcess.h"
#include "platform/Files.h"
#include "platform/HostProfile.h"
#include "platform/Sha1.h"

namespace kestrel::install {

namespace {

constexpr std::string_view kErrorOutsideFolder = "安装步骤的输出文件不在游戏文件夹内: ";
constexpr std::string_view kErrorBadSha1 = "安装步骤的输出校验值无效: ";
constexpr std::string_view kErrorTimedOut = "运行超时";
constexpr std::string_view kErrorStart = "无法启动 Java: ";
constexpr std::string_view kErrorExit = "退出码 ";
constexpr std::string_view kErrorWrongOutput = "输出文件校验失败: ";

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool FileHas(const std::string& path, std::string_view sha1) {
    const Result<platform::FileDigest> digest = platform::Sha1OfFile(path);
    return digest && platform::Sha1Matches(digest->sha1, sha1);
}

// Adds a line to the log: read whole and written whole, as every file of
// ours is (the step's own output is appended by its process).
void AppendToLog(const std::string& log_path, const std::string& line) {
    std::string text = platform::ReadFile(log_path).value_or(std::string());
    text += line + "\n";
    platform::WriteFileAtomically(log_path, text, 0644, platform::Durability::kUnsynced);
}

std::string Failure(const std::string& name, std::string_view cause, const std::string& log_path) {
    std::string text = name + " 失败: " + std::string(cause);
    const std::string tail = LogTail(log_path);
    if (!tail.empty()) text += "\n" + tail;
    return text;
}

}  // namespace

Result<ProcessorRun> ProcessorRun::Resolve(const ProcessorSpec& spec, const ProfileValues& values) {
    ProcessorRun run;
    Result<std::string> jar = values.LibraryPath(spec.jar);
    if (!jar) return Error{jar.error()};
    run.jar = std::move(jar).value();
    for (const std::string& coordinate : spec.classpath) {
        Result<std::string> path = values.LibraryPath(coordinate);
        if (!path) return Error{path.error()};
        run.classpath.push_back(std::move(path).value());
    }
    for (const std::string& arg : spec.args) {
        Result<std::string> value = values.Substitute(arg);
        if (!value) return Error{value.error()};
        run.args.push_back(std::move(value).value());
    }
    for (const auto& [file, sha1] : spec.outputs) {
        Result<std::string> path = values.Substitute(file);
        if (!path) return Error{path.error()};
        if (!values.Contains(*path)) return Error{std::string(kErrorOutsideFolder) + *path};
        Result<std::string> hash = values.Substitute(sha1);
        if (!hash) return Error{hash.error()};
        std::string digest = Lower(std::move(hash).value());
        if (!launch::IsObjectHash(digest)) return Error{std::string(kErrorBadSha1) + digest};
        run.outputs.push_back({std::move(path).value(), std::move(digest)});
    }
    return run;
}

std::string ProcessorRun::OptionValue(std::string_view option) const {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == option) return args[i + 1];
    }
    return {};
}

bool ProcessorRun::OutputsMatch() const {
    if (outputs.empty()) return false;
    return std::all_of(outputs.begin(), outputs.end(),
                       [](const ProcessorOutput& output) { return FileHas(output.path, output.sha1); });
}

Status ProcessorRun::Run(const std::string& java, const std::string& working_folder, const std::string& log_path,
                         std::chrono::milliseconds limit, const std::string& name, std::stop_token stop) const {
    Result<std::string> main_class = MainClassOf(jar);
    if (!main_class) return Error{name + " 失败: " + main_class.error()};

    // The step runs on this machine, whatever host the texts are made for.
    const char separator = platform::HostProfile::Current().classpath_sep;
    std::string classpath = jar;
    for (const std::string& entry : this->classpath) classpath += separator + entry;
    std::string command = launch::QuoteIfNeeded(java) + " -cp " + launch::QuoteIfNeeded(classpath) + " " +
                          launch::QuoteIfNeeded(*main_class);
    for (const std::string& arg : args) command += " " + launch::QuoteIfNeeded(arg);

    AppendToLog(log_path, "== " + name + ": " + *main_class);
    // Outputs of an earlier, failed run must not be taken for this run's.
    for (const ProcessorOutput& output : outputs) {
        std::error_code ignored;
        std::filesystem::remove(output.path, ignored);
    }

    platform::ChildOptions options;
    options.exe = java;
    options.command_line = command;
    options.cwd = working_folder;
    options.output = platform::ChildOutput::kFile;
    options.output_file = log_path;
    Result<platform::ChildProcess> child = platform::ChildProcess::Start(options);
    if (!child) return Error{name + " 失败: " + std::string(kErrorStart) + child.error()};

    switch (child->Wait(stop, limit)) {
        case platform::WaitEnd::kEnded: break;
        case platform::WaitEnd::kStopped:
            child->Kill();
            child->Wait({}, std::chrono::seconds(10));
            return Error{std::string(kErrorInstallCancelled)};
        case platform::WaitEnd::kTimedOut:
            child->Kill();
            child->Wait({}, std::chrono::seconds(10));
            return Error{Failure(name, kErrorTimedOut, log_path)};
    }
    const int status = child->ExitStatus().value_or(-1);
    if (status != 0) return Error{Failure(name, std::string(kErrorExit) + std::to_string(status), log_path)};

    for (const ProcessorOutput& output : outputs) {
        if (FileHas(output.path, output.sha1)) continue;
        std::error_code ignored;
        std::filesystem::remove(output.path, ignored);
        return Error{Failure(name, std::string(kErrorWrongOutput) + output.path, log_path)};
    }
    return {};
}

std::string LogTail(const std::string& log_path, int lines) {
    const std::optional<std::string> text = platform::ReadFile(log_path);
    if (!text || text->empty()) return {};
    std::size_t end = text->size();
    while (end > 0 && ((*text)[end - 1] == '\n' || (*text)[end - 1] == '\r')) --end;
    std::size_t start = end;
    for (int found = 0; start > 0; --start) {
        if ((*text)[start - 1] == '\n' && ++found == lines) break;
    }
    return text->substr(start, end - start);
}

}  // namespace kestrel::install
