#include "launch/Placeholders.h"

namespace kestrel::launch {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesAt(std::string_view text, std::size_t at, const Placeholder& placeholder) {
    const std::string_view name = placeholder.name;
    if (text.size() - at < name.size()) return false;
    if (placeholder.match_case) return text.compare(at, name.size(), name) == 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (Lower(text[at + i]) != Lower(name[i])) return false;
    }
    return true;
}

}  // namespace

std::string SubstitutePlaceholders(std::string_view text, std::span<const Placeholder> placeholders) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        // Every placeholder starts with "$"; jump to the next one.
        const std::size_t dollar = text.find('$', i);
        if (dollar == std::string_view::npos) break;
        out.append(text.substr(i, dollar - i));
        i = dollar;
        const Placeholder* hit = nullptr;
        for (const Placeholder& placeholder : placeholders) {
            if (MatchesAt(text, i, placeholder)) {
                hit = &placeholder;
                break;
            }
        }
        if (hit) {
            out.append(hit->value);
            i += hit->name.size();
        } else {
            out.push_back('$');
            ++i;
        }
    }
    out.append(text.substr(i));
    return out;
}

}  // namespace kestrel::launch
