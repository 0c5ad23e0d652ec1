#include "runtimes/RuntimeIndex.h"

#include "net/JsonDocument.h"
#include "runtimes/RemoteFileOf.h"

namespace kestrel::runtimes {

std::string RuntimePlatform(const platform::HostProfile& profile) {
    const bool x86 = profile.arch == "x86" || profile.bits == "32";
    if (profile.IsWindows()) {
        if (profile.arch == "arm64") return "windows-arm64";
        return x86 ? "windows-x86" : "windows-x64";
    }
    if (x86) return "linux-i386";
    // Mojang builds its Linux runtimes for x86 only; another machine gets a
    // name of its own, which the index then does not list, rather than
    // programs it cannot run.
    if (profile.arch.empty() || profile.arch == "x86_64") return "linux";
    return "linux-" + profile.arch;
}

bool IsPlainName(std::string_view name) {
    if (name.empty() || name.size() > 64 || name == "." || name == "..") return false;
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '_' || c == '-';
        if (!plain) return false;
    }
    return true;
}

Result<RuntimeIndex> RuntimeIndex::Parse(std::string_view text) {
    RuntimeIndex index;
    const net::JsonValue* root = index.document_.Parse(text) ? index.document_.Find("") : nullptr;
    if (!root || !root->is_object()) return Error{"Java 运行时索引不是有效的 JSON"};
    return index;
}

namespace {

const net::JsonValue* Member(const net::JsonValue* object, std::string_view name) {
    if (!object || !object->is_object()) return nullptr;
    return object->Find(name);
}

// The first release of a component entry, when it has one.
const net::JsonValue* FirstRelease(const net::JsonValue* releases) {
    if (!releases || !releases->is_array() || releases->size() == 0) return nullptr;
    const net::JsonValue& first = releases->at(0);
    return first.is_object() ? &first : nullptr;
}

}  // namespace

std::vector<std::string> RuntimeIndex::Components(const std::string& platform) const {
    std::vector<std::string> names;
    const net::JsonValue* components = Member(document_.Find(""), platform);
    if (!components || !components->is_object()) return names;
    for (std::size_t i = 0; i < components->size(); ++i) {
        if (IsPlainName(components->name(i)) && FirstRelease(&components->at(i))) {
            names.push_back(components->name(i));
        }
    }
    return names;
}

Result<RuntimeRelease> RuntimeIndex::Find(const std::string& platform, const std::string& component) const {
    if (!IsPlainName(component)) return Error{"Java 运行时名称无效: " + component};
    const net::JsonValue* release = FirstRelease(Member(Member(document_.Find(""), platform), component));
    if (!release) return Error{"Java 运行时 " + component + " 没有适用于 " + platform + " 的版本"};
    RuntimeRelease found;
    found.component = component;
    const net::JsonValue* name = Member(Member(release, "version"), "name");
    found.version_name = name && name->kind() == net::JsonKind::kString ? name->text() : std::string();
    const auto manifest = RemoteFileOf(Member(release, "manifest"));
    if (!manifest || manifest->sha1.empty()) {
        return Error{"Java 运行时 " + component + " 的清单地址无效"};
    }
    found.manifest = *manifest;
    return found;
}

}  // namespace kestrel::runtimes
