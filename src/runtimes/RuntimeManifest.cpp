#include "runtimes/RuntimeManifest.h"

#include <set>

#include "net/JsonDocument.h"
#include "runtimes/RemoteFileOf.h"

namespace kestrel::runtimes {

namespace {

bool HasForbiddenCharacter(std::string_view text) {
    for (const char c : text) {
        if (c == '\\' || c == '\0' || c == '\n' || c == '\r') return true;
    }
    return false;
}

std::vector<std::string_view> Parts(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const auto slash = path.find('/', start);
        parts.push_back(path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return parts;
}

const net::JsonValue* Member(const net::JsonValue& object, std::string_view name) {
    return object.is_object() ? object.Find(name) : nullptr;
}

std::string TextOf(const net::JsonValue* value) {
    return value && value->kind() == net::JsonKind::kString ? value->text() : std::string();
}

Error Refused(const std::string& path, const std::string& why) {
    return Error{"Java 运行时清单中的路径不安全: " + path + " (" + why + ")"};
}

}  // namespace

bool IsSafeRelativePath(std::string_view path) {
    if (path.empty() || path.front() == '/' || HasForbiddenCharacter(path)) return false;
    for (const std::string_view part : Parts(path)) {
        if (part.empty() || part == "." || part == "..") return false;
    }
    return true;
}

std::optional<std::string> LinkTargetBelowRoot(std::string_view link_path, std::string_view target) {
    if (target.empty() || target.front() == '/' || HasForbiddenCharacter(target)) return std::nullopt;
    std::vector<std::string_view> resolved = Parts(link_path);
    resolved.pop_back();  // the link's own name: targets start in its folder
    for (const std::string_view part : Parts(target)) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (resolved.empty()) return std::nullopt;
            resolved.pop_back();
            continue;
        }
        resolved.push_back(part);
    }
    std::string below;
    for (const std::string_view part : resolved) {
        if (!below.empty()) below += '/';
        below += part;
    }
    return below;
}

Result<RuntimeManifest> RuntimeManifest::Parse(std::string_view text) {
    net::JsonDocument document;
    const net::JsonValue* root = document.Parse(text) ? document.Find("") : nullptr;
    const net::JsonValue* files = root ? Member(*root, "files") : nullptr;
    if (!files || !files->is_object()) return Error{"Java 运行时清单无效"};

    RuntimeManifest manifest;
    std::set<std::string> links;
    for (std::size_t i = 0; i < files->size(); ++i) {
        const std::string& path = files->name(i);
        const net::JsonValue& value = files->at(i);
        if (!IsSafeRelativePath(path)) return Refused(path, "路径");
        RuntimeEntry entry;
        entry.path = path;
        const std::string type = TextOf(Member(value, "type"));
        if (type == "directory") {
            entry.kind = EntryKind::kDirectory;
        } else if (type == "link") {
            entry.kind = EntryKind::kLink;
            entry.target = TextOf(Member(value, "target"));
            if (!LinkTargetBelowRoot(path, entry.target)) return Refused(path, "链接指向运行时之外: " + entry.target);
            links.insert(path);
        } else if (type == "file") {
            entry.kind = EntryKind::kFile;
            const net::JsonValue* executable = Member(value, "executable");
            entry.executable = executable && executable->kind() == net::JsonKind::kBoolean && executable->boolean();
            const net::JsonValue* downloads = Member(value, "downloads");
            const auto raw = downloads ? RemoteFileOf(Member(*downloads, "raw")) : std::nullopt;
            if (!raw || raw->sha1.empty()) return Error{"Java 运行时清单中的文件没有可用的下载: " + path};
            entry.raw = *raw;
            if (const auto lzma = RemoteFileOf(Member(*downloads, "lzma")); lzma && !lzma->sha1.empty()) {
                entry.lzma = *lzma;
            }
        } else {
            return Error{"Java 运行时清单中的条目类型未知: " + path};
        }
        manifest.entries.push_back(std::move(entry));
    }
    // Nothing may be written through a link of the manifest.
    for (const RuntimeEntry& entry : manifest.entries) {
        for (auto slash = entry.path.find('/'); slash != std::string::npos; slash = entry.path.find('/', slash + 1)) {
            if (links.contains(entry.path.substr(0, slash))) return Refused(entry.path, "位于链接之下");
        }
    }
    return manifest;
}

}  // namespace kestrel::runtimes
