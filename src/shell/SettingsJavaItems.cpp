#include "shell/SettingsJavaItems.h"

namespace kestrel::shell {

namespace {
constexpr std::string_view kJavaPrefix = "Java";
}

std::string JavaItemText(std::string_view label, std::string_view path) {
    std::string text(kJavaPrefix);
    text += label;
    text += kJavaItemSeparator;
    text += path;
    return text;
}

std::string StoredJavaText(std::string_view label, std::string_view path) {
    if (label != kCustomJavaLabel) return JavaItemText(label, path);
    std::string text(label);
    text += kJavaItemSeparator;
    text += path;
    return text;
}

std::optional<JavaItem> ParseJavaItem(std::string_view text, const platform::HostProfile& host) {
    const std::size_t separator = text.find(kJavaItemSeparator);
    if (separator == std::string_view::npos) return std::nullopt;
    JavaItem item;
    const std::size_t label_start = text.substr(0, separator).starts_with(kJavaPrefix) ? kJavaPrefix.size() : 0;
    item.label = std::string(text.substr(label_start, separator - label_start));
    const std::string_view rest = text.substr(separator + kJavaItemSeparator.size());
    if (host.IsWindows()) {
        // javaw.exe ends the path; a text without "exe" keeps all of it.
        const std::size_t exe = rest.find("exe");
        item.path = std::string(exe == std::string_view::npos ? rest : rest.substr(0, exe + 3));
    } else {
        item.path = std::string(rest);
    }
    return item;
}

}  // namespace kestrel::shell
