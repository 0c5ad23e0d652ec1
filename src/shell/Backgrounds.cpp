#include "shell/Backgrounds.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/Files.h"
#include "shell/StartUpFolders.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {

namespace {

namespace fs = std::filesystem;

// Deep enough for any folder a player makes; a bound all the same.
constexpr int kMaxDepth = 32;

bool EndsWithNoCase(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size()) return false;
    const std::string_view tail = name.substr(name.size() - ending.size());
    return std::equal(tail.begin(), tail.end(), ending.begin(), ending.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

void Collect(const std::string& folder, std::string_view extension,
             const platform::HostProfile& host, int depth, std::vector<std::string>& out) {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code kind_error;
        if (it->is_symlink(kind_error) && it->is_directory(kind_error)) continue;
        if (it->is_directory(kind_error)) {
            folders.push_back(name);
        } else if (EndsWithNoCase(name, extension) && it->is_regular_file(kind_error)) {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    for (const std::string& name : files) out.push_back(host.Join(folder, name));
    if (depth >= kMaxDepth) return;
    for (const std::string& name : folders) {
        Collect(host.Join(folder, name), extension, host, depth + 1, out);
    }
}

}  // namespace

std::vector<std::string> FindFiles(const std::string& folder, std::string_view extension,
                                   const platform::HostProfile& host) {
    std::vector<std::string> out;
    Collect(folder, extension, host, 0, out);
    return out;
}

void ChooseBackground(LauncherContext& ctx) {
    toolkit::Surface* window = ctx.main_window.get();
    if (!window) return;
    const std::vector<std::string> pictures = FindFiles(BackgroundsFolder(ctx), ".jpg", ctx.host);
    if (pictures.empty()) {
        window->SetPicture("背景", std::string(toolkit::Asset("background.jpg")));
        return;
    }
    const std::uint32_t n = ctx.random.Between(1, static_cast<std::uint32_t>(pictures.size()));
    const std::size_t index = std::min<std::size_t>(n == 0 ? 0 : n - 1, pictures.size() - 1);
    window->SetPicture("背景", platform::ReadFile(pictures[index], kMaxBackgroundBytes).value_or(""));
}

}  // namespace kestrel::shell
