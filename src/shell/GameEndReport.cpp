#include "shell/GameEndReport.h"

#include "launch/LaunchLog.h"

namespace kestrel::shell {
namespace {

// Message boxes break lines at CR LF, as every text of the launcher does.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

std::string GameEndText(int status, const std::string& log_tail, const std::string& log_path) {
    std::string text = "游戏启动后异常退出!\r\n退出代码:" + std::to_string(status);
    if (log_path.empty()) return text;
    text += "\r\n\r\n";
    text += log_tail.empty() ? std::string("游戏没有留下任何输出。") : "游戏最后的输出:\r\n" + WithCrLf(log_tail);
    text += "\r\n\r\n日志文件:" + log_path + "\r\n是否打开日志文件?";
    return text;
}

void ReportGameEnd(LauncherContext& ctx, int status, const std::string& log_path) {
    const std::string native = ctx.host.NativePath(log_path);
    const std::string tail = log_path.empty() ? "" : launch::LogTail(native, kReportedLogLines, 2048);
    const std::string text = GameEndText(status, tail, log_path);
    if (log_path.empty()) {
        ctx.app.ShowMessageBox(text, kGameEndCaption, toolkit::MessageIcon::Error);
        return;
    }
    const toolkit::MessageAnswer answer =
        ctx.app.ShowMessageBox(text, kGameEndCaption, toolkit::MessageIcon::Error, toolkit::MessageButtons::YesNo);
    if (answer != toolkit::MessageAnswer::Yes) return;
    if (!ctx.app.OpenInShell(native)) {
        ctx.app.ShowMessageBox("无法打开日志文件,请手动打开:\r\n" + log_path, kGameEndCaption,
                               toolkit::MessageIcon::Warning);
    }
}

}  // namespace kestrel::shell
