#include "launch/Libraries.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "launch/Rules.h"
#include "platform/Files.h"

namespace kestrel::launch {

namespace {

enum class LoaderMode { kNone, kForge, kOptiFine };

std::vector<std::string_view> Split(std::string_view text, char at) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto pos = text.find(at);
        parts.push_back(text.substr(0, pos));
        if (pos == std::string_view::npos) return parts;
        text.remove_prefix(pos + 1);
    }
}

// A piece that is joined into a path must stay one path piece.
bool HoldsSeparator(std::string_view piece) {
    return piece.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos;
}

bool IsDotFolder(std::string_view piece) { return piece == "." || piece == ".."; }

// A part of a version number; a part that is not a number counts as 0.
double VersionPart(std::string_view part) {
    double value = 0;
    const auto parsed = std::from_chars(part.data(), part.data() + part.size(), value,
                                        std::chars_format::fixed);
    if (parsed.ec != std::errc() || parsed.ptr != part.data() + part.size()) return 0;
    return value;
}

// The newest log4j library of one kind seen so far along the chain.
struct BestLog4j {
    std::optional<LibraryRecord> record;
    std::string version;

    void Offer(LibraryRecord candidate) {
        std::string version_of_candidate = candidate.name.substr(candidate.name.rfind(':') + 1);
        if (!VersionNewer(version, version_of_candidate)) return;
        version = std::move(version_of_candidate);
        record = std::move(candidate);
    }
};

}  // namespace

std::string RelativeLibraryPath(std::string_view name, char sep, std::string_view suffix) {
    const std::vector<std::string_view> parts = Split(name, ':');
    if (parts.size() < 3 || HoldsSeparator(suffix)) return {};
    const std::string_view group = parts[0];
    const std::string_view artifact = parts[1];
    const std::string_view version = parts[2];
    const bool classified = parts.size() > 3 && !parts[3].empty() && parts[3] != "installer";
    for (const std::string_view piece : {group, artifact, version}) {
        if (HoldsSeparator(piece)) return {};
    }
    if (IsDotFolder(artifact) || (classified && HoldsSeparator(parts[3]))) return {};

    std::string group_path(group);
    std::replace(group_path.begin(), group_path.end(), '.', sep);
    const std::string folder_of = group_path + sep + std::string(artifact) + sep;

    std::string file_version(version);
    std::replace(file_version.begin(), file_version.end(), '@', '.');

    if (classified) {
        if (IsDotFolder(file_version)) return {};
        return folder_of + file_version + sep + std::string(artifact) + "-" + file_version +
               std::string(suffix) + "-" + std::string(parts[3]) + ".jar";
    }
    if (const auto at = version.find('@'); at != std::string_view::npos) {
        // "v@zip": the folder is v, the file artifact-v.zip (no ".jar").
        const std::string_view folder_version = version.substr(0, at);
        if (IsDotFolder(folder_version)) return {};
        return folder_of + std::string(folder_version) + sep + std::string(artifact) + "-" + file_version +
               std::string(suffix);
    }
    if (IsDotFolder(version)) return {};
    return folder_of + std::string(version) + sep + std::string(artifact) + "-" + std::string(version) +
           std::string(suffix) + ".jar";
}

bool VersionNewer(std::string_view current, std::string_view candidate) {
    if (current == candidate) return false;
    const std::vector<std::string_view> old_parts = Split(current, '.');
    const std::vector<std::string_view> new_parts = Split(candidate, '.');
    const std::size_t common = std::min(old_parts.size(), new_parts.size());
    for (std::size_t i = 0; i < common; ++i) {
        const double difference = VersionPart(new_parts[i]) - VersionPart(old_parts[i]);
        if (difference > 0.0000001) return true;
        if (difference < -0.0000001) return false;
    }
    return true;
}

Libraries::Libraries(VersionManifests manifests) : manifests_(std::move(manifests)) {}

std::string Libraries::LibraryFolder() const {
    return manifests_.profile().Join(manifests_.game_folder(), "libraries");
}

std::vector<LibraryRecord> Libraries::List(const std::string& id) const {
    return ListOfReadChain(manifests_.ReadChain(id));
}

std::vector<LibraryRecord> Libraries::ListOfChain(const std::vector<std::string>& chain) const {
    std::vector<ChainManifest> read;
    for (const std::string& id : chain) read.push_back({id, manifests_.Read(id)});
    return ListOfReadChain(read);
}

std::vector<LibraryRecord> Libraries::ListOfReadChain(const std::vector<ChainManifest>& chain) const {
    const char sep = manifests_.profile().path_sep;
    const std::string folder = LibraryFolder();
    const Rules rules(manifests_.profile());
    std::vector<LibraryRecord> records;
    BestLog4j best_api;
    BestLog4j best_core;
    LoaderMode mode = LoaderMode::kNone;

    for (const ChainManifest& element : chain) {
        const VersionRecord& manifest = element.manifest.record;
        // The mode carries down the chain: a Forge child makes its vanilla
        // parent's unfetchable entries count as Forge's too.
        if (manifest.mentions_forge) mode = LoaderMode::kForge;
        if (manifest.mentions_optifine) mode = LoaderMode::kOptiFine;

        // An object in place of the array would be walked member by member
        // by position; it is no list of libraries, so it gives none.
        if (!manifest.libraries_in_array) continue;
        for (const VersionLibrary& library : manifest.libraries) {
            if (library.has_natives) continue;
            if (!rules.OnLaunchClasspath(library.rules)) continue;

            LibraryRecord record;
            record.name = library.name;
            const std::string relative = RelativeLibraryPath(record.name, sep);
            if (relative.empty()) continue;
            record.path = folder + sep + relative;

            if (library.artifact.url_given) {
                record.url = library.artifact.url;
                record.source = LibrarySource::kArtifact;
                record.sha1 = library.artifact.sha1;
                record.size = library.artifact.size;
            } else if (library.url) {
                record.url = *library.url + RelativeLibraryPath(record.name, '/');
                record.source = LibrarySource::kRepository;
            }
            if (record.url.empty()) {
                if (mode == LoaderMode::kNone) continue;
                record.source = LibrarySource::kLoaderRepository;
            }

            if (record.name.find("log4j-core") != std::string::npos) {
                best_core.Offer(std::move(record));
            } else if (record.name.find("log4j-api") != std::string::npos) {
                best_api.Offer(std::move(record));
            } else {
                records.push_back(std::move(record));
            }
        }
    }
    if (best_api.record && best_core.record) {
        records.push_back(std::move(*best_api.record));
        records.push_back(std::move(*best_core.record));
    }
    return records;
}

std::string Libraries::ExistingEntries(const std::vector<LibraryRecord>& records) const {
    const platform::HostProfile& profile = manifests_.profile();
    std::string text;
    for (const LibraryRecord& record : records) {
        if (!platform::IsRegularFile(profile.NativePath(record.path))) continue;
        text += record.path;
        text.push_back(profile.classpath_sep);
    }
    return text;
}

std::string Libraries::ClasspathOfChain(const std::vector<std::string>& chain) const {
    if (chain.empty()) return {};
    return ExistingEntries(ListOfChain(chain)) + manifests_.ClientJarPath(chain.back());
}

std::string Libraries::ClasspathOfReadChain(const std::vector<ChainManifest>& chain) const {
    if (chain.empty()) return {};
    return ExistingEntries(ListOfReadChain(chain)) + manifests_.ClientJarPath(chain.back().id);
}

std::string Libraries::Classpath(const std::string& id) const {
    return ClasspathOfReadChain(manifests_.ReadChain(id));
}

}  // namespace kestrel::launch
