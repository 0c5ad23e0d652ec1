#include "AbsolutePath.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace kestrel::cli {

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::string whole = path;
    if (whole.front() != '/') {
        std::error_code problem;
        const std::filesystem::path working = std::filesystem::current_path(problem);
        // Without a working folder (it was removed) the path stays relative
        // and the command fails on it as it would have before.
        if (problem) return path;
        whole = working.string() + "/" + whole;
    }
    std::string clean;
    std::size_t at = 0;
    while (at < whole.size()) {
        const std::size_t end = std::min(whole.find('/', at), whole.size());
        const std::string_view part(whole.data() + at, end - at);
        if (!part.empty() && part != ".") {
            clean += "/";
            clean += part;
        }
        at = end + 1;
    }
    return clean.empty() ? "/" : clean;
}

}  // namespace kestrel::cli
