#include "net/RequestHeaders.h"

#include "platform/Text.h"

#include <cctype>

namespace kestrel::net {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool SameText(std::string_view a, std::string_view b, bool ignore_case) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ignore_case ? Lower(a[i]) != Lower(b[i]) : a[i] != b[i]) return false;
    }
    return true;
}

// Every piece of the text between CR LF pairs, empty ones included.
std::vector<std::string_view> Pieces(std::string_view text) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

// True when a line of the text names the header (the name followed by a colon,
// after any leading spaces).
bool HasHeader(std::string_view text, std::string_view name, bool ignore_case) {
    for (std::string_view line : Pieces(text)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        if (SameText(platform::Trim(line.substr(0, colon), " "), name, ignore_case)) return true;
    }
    return false;
}

bool Unsafe(std::string_view line) { return line.find_first_of(std::string_view("\r\n\0", 3)) != line.npos; }

}  // namespace

std::vector<std::string> SplitHeaderLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::string_view line : Pieces(text)) {
        if (!line.empty() && !Unsafe(line)) lines.emplace_back(line);
    }
    return lines;
}

std::string CompleteInetHeaders(std::string_view url, std::string_view extra) {
    std::string text(extra);
    if (text.empty()) {
        text = kAcceptHeader;
    } else if (!HasHeader(text, "Accept", false)) {
        text.append("\r\n").append(kAcceptHeader);
    }
    if (!HasHeader(text, "Referer", false)) text.append("\r\n").append(kRefererPrefix).append(url);
    if (!HasHeader(text, "Accept-Language", false)) text.append("\r\n").append(kLanguageHeader);
    if (!HasHeader(text, "Content-Type", false)) text.append("\r\n").append(kContentTypeHeader);
    return text;
}

std::string CompleteComHeaders(std::string_view url, int method, std::string_view extra) {
    std::string text(extra);
    if (!HasHeader(text, "Accept", true)) text.append("\r\n").append(kAcceptHeader);
    if (!HasHeader(text, "Referer", true)) text.append("\r\n").append(kRefererPrefix).append(url);
    if (!HasHeader(text, "Accept-Language", true)) text.append("\r\n").append(kLanguageHeader);
    if (!HasHeader(text, "User-Agent", true)) text.append("\r\nUser-Agent: ").append(kDefaultUserAgent);
    if (method == kPost && !HasHeader(text, "Content-Type", true)) text.append("\r\n").append(kContentTypeHeader);
    return text;
}

std::string CapitaliseHeaderNames(std::string_view text) {
    std::string out;
    for (std::string_view line : Pieces(text)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        if (!out.empty()) out.append("\r\n");
        bool word_start = true;
        for (char c : line.substr(0, colon)) {
            out.push_back(word_start ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c);
            word_start = c == '-';
        }
        out.append(line.substr(colon));
    }
    return out;
}

std::vector<std::string> ComHeaderLines(std::string_view url, int method, std::string_view extra) {
    const std::string text = CapitaliseHeaderNames(CompleteComHeaders(url, method, extra));
    const bool single = text.find("\r\n") == std::string::npos;
    std::vector<std::string> lines;
    for (std::string_view line : Pieces(text)) {
        if (line.empty() || Unsafe(line)) continue;
        const std::size_t colon = line.find(':');
        const std::string_view name = platform::Trim(line.substr(0, colon), " ");
        const std::string_view value = platform::Trim(line.substr(colon + 1), " ");
        if (name.empty()) continue;
        // The request object manages the connection itself; the one header
        // it is never handed is the keep-alive it sends anyway.
        if (!single && name == "Connection" && value == "keep-alive") continue;
        // libcurl drops a header given as "Name:" but sends "Name;" as an
        // empty "Name:" line, which is what setting an empty value means.
        lines.push_back(value.empty() ? std::string(name) + ";" : std::string(name) + ": " + std::string(value));
    }
    return lines;
}

}  // namespace kestrel::net
