#include "CliArguments.h"

#include <algorithm>

namespace kestrel::cli {

const std::vector<std::string> CliArguments::kFlags = {"--isolation", "--argv", "--wait", "--json", "--help", "--repair"};

std::optional<CliArguments> CliArguments::Parse(int argc, char** argv, std::string& problem) {
    CliArguments arguments;
    bool first = true;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() > 2 && word.rfind("--", 0) == 0) {
            if (std::find(kFlags.begin(), kFlags.end(), word) != kFlags.end()) {
                arguments.options_[word] = "";
                continue;
            }
            if (i + 1 >= argc) {
                problem = "option " + word + " needs a value";
                return std::nullopt;
            }
            arguments.options_[word] = argv[++i];
            continue;
        }
        if (first) {
            arguments.command_ = word;
            first = false;
        } else {
            arguments.positional_.push_back(word);
        }
    }
    return arguments;
}

std::string CliArguments::Get(const std::string& option, const std::string& fallback) const {
    const auto hit = options_.find(option);
    return hit == options_.end() ? fallback : hit->second;
}

void CliArguments::Replace(const std::string& option, std::string value) {
    const auto hit = options_.find(option);
    if (hit != options_.end()) hit->second = std::move(value);
}

}  // namespace kestrel::cli
