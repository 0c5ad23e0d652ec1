#include "platform/Process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

extern char** environ;

namespace kestrel::platform {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    const std::size_t n = line.size();

    // The program name knows no escapes.
    while (i < n && IsBlank(line[i])) ++i;
    if (i == n) return arguments;
    std::string program;
    if (line[i] == '"') {
        ++i;
        while (i < n && line[i] != '"') program.push_back(line[i++]);
        if (i < n) ++i;
    } else {
        while (i < n && !IsBlank(line[i])) program.push_back(line[i++]);
    }
    arguments.push_back(std::move(program));

    for (;;) {
        while (i < n && IsBlank(line[i])) ++i;
        if (i == n) break;
        std::string argument;
        bool quoted = false;
        while (i < n) {
            const char c = line[i];
            if (c == '\\') {
                std::size_t backslashes = 0;
                while (i < n && line[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument.push_back('"');
                        ++i;
                    }
                    // An even run leaves the quote to act as a delimiter.
                } else {
                    argument.append(backslashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    argument.push_back('"');
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            if (!quoted && IsBlank(c)) break;
            argument.push_back(c);
            ++i;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

namespace {

// The value of NAME in "NAME=value" entries; nullopt when it is not there.
std::optional<std::string_view> Variable(const std::vector<std::string>& environment, std::string_view name) {
    for (const std::string& entry : environment) {
        if (entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=') {
            return std::string_view(entry).substr(name.size() + 1);
        }
    }
    return std::nullopt;
}

bool NamesUtf8(std::string_view locale) {
    std::string lower;
    for (char c : locale) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return lower.find("utf-8") != std::string::npos || lower.find("utf8") != std::string::npos;
}

}  // namespace

std::vector<std::string> ChildEnvironment(const char* const* environment) {
    std::vector<std::string> result;
    for (const char* const* entry = environment; entry && *entry; ++entry) result.emplace_back(*entry);
    // The launcher picks Qt's media backend for itself (QtApplication); the
    // game and the updater must not inherit that choice.
    std::erase_if(result, [](const std::string& entry) { return entry.rfind("QT_MEDIA_BACKEND=", 0) == 0; });
    std::string_view effective;
    for (std::string_view name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const auto value = Variable(result, name);
        if (value && !value->empty()) {
            effective = *value;
            break;
        }
    }
    if (NamesUtf8(effective)) return result;
    const auto all = Variable(result, "LC_ALL");
    const std::string name = all && !all->empty() ? "LC_ALL" : "LC_CTYPE";
    std::erase_if(result, [&](const std::string& entry) { return entry.rfind(name + "=", 0) == 0; });
    result.push_back(name + "=C.UTF-8");
    return result;
}

namespace {

// The children this process has reaped, with their exit statuses. waitpid
// hands a status out once; whoever reaps a child records it here under the
// lock, and whoever finds the child gone looks here under the same lock, so
// no caller ever sees a reaped child as "not ours".
class ReapedChildren {
public:
    enum class State { kRunning, kEnded, kNotOurs };
    struct Answer {
        State state = State::kNotOurs;
        int status = 0;
    };

    // Reaps pid when it has ended; never blocks.
    Answer Query(int pid) {
        std::lock_guard lock(mutex_);
        if (const auto it = statuses_.find(pid); it != statuses_.end()) return {State::kEnded, it->second};
        int status = 0;
        pid_t reaped = 0;
        do {
            reaped = ::waitpid(pid, &status, WNOHANG);
        } while (reaped < 0 && errno == EINTR);
        if (reaped == 0) return {State::kRunning, 0};
        if (reaped != pid) return {State::kNotOurs, 0};
        const int decoded = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
        // The record stays small: the launcher starts a handful of
        // programs, but it must not grow without end in a long run.
        if (statuses_.size() >= kKept) statuses_.erase(statuses_.begin());
        statuses_[pid] = decoded;
        return {State::kEnded, decoded};
    }

    // A fresh child may reuse the id of one reaped long ago.
    void Forget(int pid) {
        std::lock_guard lock(mutex_);
        statuses_.erase(pid);
    }

private:
    static constexpr std::size_t kKept = 256;
    std::mutex mutex_;
    std::map<int, int> statuses_;
};

ReapedChildren& Reaped() {
    static ReapedChildren reaped;
    return reaped;
}

}  // namespace

Result<int> StartProcess(const std::string& exe, std::string_view command_line, const std::string& cwd) {
    return StartProcess(exe, command_line, cwd, -1);
}

Result<int> StartProcess(const std::string& exe, std::string_view command_line, const std::string& cwd,
                         int output_fd) {
    std::vector<std::string> arguments = SplitCommandLine(command_line);
    if (arguments.empty()) arguments.push_back(exe);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return Error{"cannot prepare the process"};
    bool prepared = cwd.empty() || posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str()) == 0;
    if (prepared && output_fd >= 0) {
        // dup2 clears close-on-exec on the copies, so the caller's
        // descriptor may (and should) be opened with O_CLOEXEC.
        prepared = posix_spawn_file_actions_adddup2(&actions, output_fd, STDOUT_FILENO) == 0 &&
                   posix_spawn_file_actions_adddup2(&actions, output_fd, STDERR_FILENO) == 0;
    }
    if (!prepared) {
        posix_spawn_file_actions_destroy(&actions);
        return Error{"cannot prepare the process"};
    }
    std::vector<std::string> environment = ChildEnvironment(environ);
    std::vector<char*> envp;
    envp.reserve(environment.size() + 1);
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return Error{"cannot start " + exe + ": " + std::strerror(failed)};
    Reaped().Forget(pid);
    return static_cast<int>(pid);
}

bool ProcessAlive(int pid) {
    if (pid <= 0) return false;
    const ReapedChildren::Answer answer = Reaped().Query(pid);
    if (answer.state != ReapedChildren::State::kNotOurs) return answer.state == ReapedChildren::State::kRunning;
    // Not our child: ask whether it exists at all.
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

std::optional<int> ExitStatusOf(int pid) {
    if (pid <= 0) return std::nullopt;
    const ReapedChildren::Answer answer = Reaped().Query(pid);
    if (answer.state != ReapedChildren::State::kEnded) return std::nullopt;
    return answer.status;
}

Result<int> WaitForProcess(int pid) {
    if (pid <= 0) return Error{"cannot wait for the process: no such process"};
    for (;;) {
        const ReapedChildren::Answer answer = Reaped().Query(pid);
        if (answer.state == ReapedChildren::State::kEnded) return answer.status;
        if (answer.state == ReapedChildren::State::kNotOurs) {
            return Error{"cannot wait for the process: " + std::string(std::strerror(ECHILD))};
        }
        // Block until the child has ended without reaping it, so that the
        // reaping (and the record of its status) stays with Query.
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno != EINTR &&
            errno != ECHILD) {
            return Error{std::string("cannot wait for the process: ") + std::strerror(errno)};
        }
    }
}

}  // namespace kestrel::platform
