#include "shell/CatalogueRows.h"

#include <algorithm>

#include "platform/Text.h"

namespace kestrel::shell {
namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool HoldsIgnoringCase(std::string_view text, std::string_view piece) {
    if (piece.empty()) return true;
    const auto found = std::search(text.begin(), text.end(), piece.begin(), piece.end(),
                                   [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
    return found != text.end();
}

bool TypeShown(std::string_view type, const CatalogueFilter& filter) {
    if (type == "release") return filter.release;
    if (type == "old_beta" || type == "old_alpha") return filter.old;
    return filter.snapshot;
}

}  // namespace

std::string TypeText(std::string_view type) {
    if (type == "release") return "正式版";
    if (type == "snapshot") return "快照版";
    if (type == "old_beta" || type == "old_alpha") return "远古版";
    return std::string(type);
}

std::vector<const install::CatalogueEntry*> FilteredVersions(const install::VersionCatalogue& catalogue,
                                                             const CatalogueFilter& filter) {
    const std::string_view search = platform::Trim(filter.search);
    std::vector<const install::CatalogueEntry*> shown;
    for (const install::CatalogueEntry& entry : catalogue.versions) {
        if (TypeShown(entry.type, filter) && HoldsIgnoringCase(entry.id, search)) shown.push_back(&entry);
    }
    return shown;
}

std::string RowText(const install::CatalogueEntry& entry, const std::set<std::string>& installed) {
    const std::string& time = entry.release_time.empty() ? entry.time : entry.release_time;
    // The id is the network's text; a tab or a line end in it would part it
    // into columns or rows of its own.
    std::string id = entry.id;
    std::replace_if(id.begin(), id.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return id + "\t" + TypeText(entry.type) + "\t" + time.substr(0, 10) + "\t" +
           (installed.count(entry.id) ? "已安装" : "");
}

}  // namespace kestrel::shell
