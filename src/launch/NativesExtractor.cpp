#include "launch/NativesExtractor.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "launch/Libraries.h"
#include "launch/Rules.h"
#include "platform/Files.h"
#include "platform/ZipArchive.h"

namespace kestrel::launch {

namespace {

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

// The natives archives one manifest names.
std::vector<std::string> ArchivesOf(const VersionRecord& manifest, const std::string& library_folder,
                                    const platform::HostProfile& profile, const Rules& rules) {
    std::vector<std::string> archives;
    for (const VersionLibrary& library : manifest.libraries) {
        if (library.has_natives) {
            std::string classifier = library.NativesClassifier(profile.os_name);
            ReplaceAll(classifier, "${arch}", profile.bits);
            if (!classifier.empty()) {
                const std::string relative = RelativeLibraryPath(library.name, profile.path_sep, "-" + classifier);
                if (!relative.empty()) archives.push_back(library_folder + profile.path_sep + relative);
            }
        }
        if (rules.UnpackedAtLaunch(library.rules)) {
            const std::string relative = RelativeLibraryPath(library.name, profile.path_sep);
            if (!relative.empty()) archives.push_back(library_folder + profile.path_sep + relative);
        }
    }
    return archives;
}

}  // namespace

NativesExtractor::NativesExtractor(VersionManifests manifests, NativesLimits limits)
    : manifests_(std::move(manifests)), limits_(limits) {}

std::string NativesExtractor::NativesFolder(const std::string& id) const {
    return manifests_.profile().Join(manifests_.VersionFolder(id), id + "-natives");
}

std::vector<std::string> NativesExtractor::Archives(const std::string& id) const {
    return Archives(manifests_.ReadChain(id));
}

std::vector<std::string> NativesExtractor::Archives(const std::vector<ChainManifest>& chain) const {
    const platform::HostProfile& profile = manifests_.profile();
    const std::string library_folder = profile.Join(manifests_.game_folder(), "libraries");
    const Rules rules(profile);

    // Every level X of the chain adds the archives of X's own chain, and the
    // list so far is unpacked again each time; the last round decides.
    // X's chain is walked over the manifests already read (it can only name
    // ids of this chain).
    std::map<std::string, const VersionRecord*> documents;
    for (const ChainManifest& element : chain) documents.emplace(element.id, &element.manifest.record);
    std::vector<std::string> order;
    for (const ChainManifest& level : chain) {
        std::vector<std::string> walked;
        std::string current = level.id;
        for (;;) {
            walked.push_back(current);
            const VersionRecord& document = *documents.at(current);
            for (std::string& archive : ArchivesOf(document, library_folder, profile, rules)) {
                order.push_back(std::move(archive));
            }
            if (!document.inherits_from) break;
            const std::string parent = *document.inherits_from;
            if (!documents.count(parent) || std::find(walked.begin(), walked.end(), parent) != walked.end()) break;
            current = parent;
        }
    }
    // Unpacking each archive once, at its last place, gives the same folder.
    std::vector<std::string> distinct;
    for (auto archive = order.rbegin(); archive != order.rend(); ++archive) {
        if (std::find(distinct.begin(), distinct.end(), *archive) == distinct.end()) distinct.push_back(*archive);
    }
    std::reverse(distinct.begin(), distinct.end());
    return distinct;
}

void NativesExtractor::Unpack(const std::string& id) const {
    const std::string folder = NativesFolder(id);
    platform::CreateFolders(manifests_.profile().NativePath(folder));
    // One budget for the whole launch: many archives each just below the
    // archive limit must not add up without bound either.
    platform::ZipBudget budget(limits_.max_launch_bytes);
    for (const std::string& archive : Archives(id)) UnpackArchive(archive, folder, budget);
}

UnpackReport NativesExtractor::UnpackArchive(const std::string& archive, const std::string& target) const {
    platform::ZipBudget budget(limits_.max_launch_bytes);
    return UnpackArchive(archive, target, budget);
}

UnpackReport NativesExtractor::UnpackArchive(const std::string& archive, const std::string& target,
                                             platform::ZipBudget& budget) const {
    const platform::HostProfile& profile = manifests_.profile();
    Result<platform::ZipArchive> zip = platform::ZipArchive::Open(profile.NativePath(archive), limits_.zip);
    if (!zip.ok()) return {};
    return zip.value().ExtractTo(profile.NativePath(target), budget);
}

}  // namespace kestrel::launch
