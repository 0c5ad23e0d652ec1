#include "install/LoaderVersionOrder.h"

#include <algorithm>
#include <string>
#include <unordered_set>

namespace kestrel::install {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerText(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

// The runs of a version text, in order.
struct Run {
    std::string_view text;
    bool number = false;
};

std::vector<Run> RunsOf(std::string_view text) {
    std::vector<Run> runs;
    std::size_t i = 0;
    while (i < text.size()) {
        const bool digit = IsDigit(text[i]);
        if (!digit && !IsLetter(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && (digit ? IsDigit(text[i]) : IsLetter(text[i]))) ++i;
        runs.push_back({text.substr(start, i - start), digit});
    }
    return runs;
}

int CompareNumbers(std::string_view a, std::string_view b) {
    while (a.size() > 1 && a.front() == '0') a.remove_prefix(1);
    while (b.size() > 1 && b.front() == '0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// The pre-release words in their order; any other word comes before them.
int WordRank(const std::string& word) {
    if (word == "alpha" || word == "a") return 1;
    if (word == "beta" || word == "b") return 2;
    if (word == "pre") return 3;
    if (word == "rc") return 4;
    return 0;
}

int CompareWords(std::string_view a, std::string_view b) {
    const std::string lower_a = LowerText(a);
    const std::string lower_b = LowerText(b);
    const int rank_a = WordRank(lower_a);
    const int rank_b = WordRank(lower_b);
    if (rank_a != rank_b) return rank_a < rank_b ? -1 : 1;
    const int order = lower_a.compare(lower_b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace

int CompareVersions(std::string_view a, std::string_view b) {
    const std::vector<Run> runs_a = RunsOf(a);
    const std::vector<Run> runs_b = RunsOf(b);
    const std::size_t common = std::min(runs_a.size(), runs_b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const Run& x = runs_a[i];
        const Run& y = runs_b[i];
        int order = 0;
        if (x.number && y.number) {
            order = CompareNumbers(x.text, y.text);
        } else if (x.number != y.number) {
            order = x.number ? 1 : -1;
        } else {
            order = CompareWords(x.text, y.text);
        }
        if (order != 0) return order;
    }
    if (runs_a.size() != runs_b.size()) {
        // The longer one goes on: a number makes it newer, a word older.
        if (runs_a.size() > runs_b.size()) return runs_a[common].number ? 1 : -1;
        return runs_b[common].number ? -1 : 1;
    }
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

bool LooksUnstable(std::string_view version) {
    const std::string lower = LowerText(version);
    for (const std::string_view mark : {"-alpha", "-beta", "-pre", "-rc"}) {
        if (lower.find(mark) != std::string::npos) return true;
    }
    return false;
}

void SortLoaderVersions(std::vector<LoaderVersion>& versions) {
    std::unordered_set<std::string> seen;
    std::vector<LoaderVersion> unique;
    for (LoaderVersion& version : versions) {
        if (seen.insert(version.version).second) unique.push_back(std::move(version));
    }
    std::stable_sort(unique.begin(), unique.end(), [](const LoaderVersion& a, const LoaderVersion& b) {
        if (a.stable != b.stable) return a.stable;
        return CompareVersions(a.version, b.version) > 0;
    });
    versions = std::move(unique);
}

}  // namespace kestrel::install
