#include "launch/VersionManifests.h"

#include <algorithm>

#include "net/TextEncoding.h"
#include "platform/Files.h"

namespace kestrel::launch {

VersionManifests::VersionManifests(std::string game_folder, platform::HostProfile profile)
    : game_folder_(std::move(game_folder)), profile_(std::move(profile)) {}

bool VersionManifests::IsSafeId(const std::string& id) {
    if (id.empty() || id == "." || id == "..") return false;
    return id.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

std::string VersionManifests::VersionFolder(const std::string& id) const {
    return profile_.Join(profile_.Join(game_folder_, "versions"), id);
}

std::string VersionManifests::ManifestPath(const std::string& id) const {
    return profile_.Join(VersionFolder(id), id + ".json");
}

std::string VersionManifests::ClientJarPath(const std::string& id) const {
    return profile_.Join(VersionFolder(id), id + ".jar");
}

Manifest VersionManifests::Read(const std::string& id) const {
    Manifest manifest;
    if (!IsSafeId(id)) return manifest;
    const auto bytes = platform::ReadFile(profile_.NativePath(ManifestPath(id)));
    if (!bytes) return manifest;
    return Parse(*bytes);
}

Manifest VersionManifests::Parse(std::string_view bytes) {
    Manifest manifest;
    manifest.text = net::Utf8ToText(bytes);
    manifest.ok = manifest.document.Parse(manifest.text);
    manifest.record = VersionRecord::Read(manifest.ok ? manifest.document.Find("") : nullptr, manifest.text);
    return manifest;
}

std::vector<std::string> VersionManifests::Chain(const std::string& id) const {
    std::vector<std::string> ids;
    for (ChainManifest& element : ReadChain(id)) ids.push_back(std::move(element.id));
    return ids;
}

std::vector<ChainManifest> VersionManifests::ReadChain(const std::string& id) const {
    std::vector<ChainManifest> chain;
    chain.push_back({id, Read(id)});
    for (;;) {
        const std::optional<std::string>& inherits_from = chain.back().manifest.record.inherits_from;
        if (!inherits_from) break;
        std::string parent = *inherits_from;
        // An empty parent ends the chain here; so does a parent that could
        // leave the versions folder, and one already walked (a cycle).
        if (parent.empty() || !IsSafeId(parent)) break;
        if (std::any_of(chain.begin(), chain.end(),
                        [&](const ChainManifest& element) { return element.id == parent; })) {
            break;
        }
        Manifest manifest = Read(parent);
        chain.push_back({std::move(parent), std::move(manifest)});
    }
    return chain;
}

std::string VersionManifests::RequiredJavaMajor(const std::vector<ChainManifest>& chain) {
    std::string required;
    for (const ChainManifest& element : chain) {
        const std::string& major = element.manifest.record.java_major;
        if (!major.empty()) required = major;
    }
    return required;
}

std::string VersionManifests::AssetsIndexName(const std::vector<ChainManifest>& chain) {
    if (chain.empty()) return {};
    const VersionRecord& selected = chain.front().manifest.record;
    if (!selected.assets.empty()) return selected.assets;
    // The chain's second element is the manifest the selected one names as
    // its parent, when that parent could be read at all.
    if (selected.inherits_from.value_or("").empty() || chain.size() < 2) return {};
    return chain[1].manifest.record.assets;
}

std::string VersionManifests::RequiredJavaMajor(const std::vector<std::string>& chain) const {
    std::string required;
    for (const std::string& id : chain) {
        std::string major = Read(id).record.java_major;
        if (!major.empty()) required = std::move(major);
    }
    return required;
}

std::string VersionManifests::AssetsIndexName(const std::string& id) const {
    const VersionRecord selected = Read(id).record;
    if (!selected.assets.empty()) return selected.assets;
    const std::string parent = selected.inherits_from.value_or("");
    if (parent.empty()) return {};
    return Read(parent).record.assets;
}

std::vector<std::string> VersionManifests::Installed() const {
    std::vector<std::string> names =
        platform::ListFolders(profile_.NativePath(profile_.Join(game_folder_, "versions")));
    // A name with a double quote or a control character (a line end) could
    // not be saved as the selected version: the options file has no escaping,
    // so such a name would read back cut, or as another setting's line.
    const auto unsavable = [](const std::string& name) {
        return std::any_of(name.begin(), name.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return c == '"' || byte < 0x20 || byte == 0x7F;
        });
    };
    std::erase_if(names, [&unsavable](const std::string& name) {
        return name.empty() || name.front() == '.' || unsavable(name);
    });
    return names;
}

}  // namespace kestrel::launch
