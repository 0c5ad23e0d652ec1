#include "launch/NativesExtractor.h"

#include <unzip.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string_view>

#include "launch/Libraries.h"
#include "platform/Files.h"

namespace kestrel::launch {

namespace {

// No natives library is this large; an entry claiming more is refused rather
// than letting an archive make the launcher allocate without bound.
constexpr std::size_t kMaxEntryBytes = std::size_t{256} << 20;
constexpr std::size_t kBlockBytes = 8192;

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

// The natives archives one manifest names.
std::vector<std::string> ArchivesOf(const net::JsonDocument& manifest, const std::string& library_folder,
                                    const platform::HostProfile& profile) {
    std::vector<std::string> archives;
    const std::size_t count = manifest.Count("libraries");
    for (std::size_t k = 0; k < count; ++k) {
        const std::string entry = "libraries[" + std::to_string(k) + "]";
        const std::string name = manifest.GetText(entry + ".name");
        if (manifest.Exists(entry + ".natives")) {
            std::string classifier = manifest.GetText(entry + ".natives." + profile.os_name);
            ReplaceAll(classifier, "${arch}", profile.bits);
            if (!classifier.empty()) {
                const std::string relative = RelativeLibraryPath(name, profile.path_sep, "-" + classifier);
                if (!relative.empty()) archives.push_back(library_folder + profile.path_sep + relative);
            }
        }
        if (manifest.GetText(entry + ".rules[0].os.name") == profile.os_name) {
            const std::string relative = RelativeLibraryPath(name, profile.path_sep);
            if (!relative.empty()) archives.push_back(library_folder + profile.path_sep + relative);
        }
    }
    return archives;
}

// The pieces of an entry name below the target folder; empty when the name
// must not be written (absolute, a drive or stream, a ".." segment).
std::vector<std::string> SafePieces(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return {};
    if (name.find(':') != std::string_view::npos) return {};
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    while (begin <= name.size()) {
        const std::size_t end = std::min(name.find_first_of("/\\", begin), name.size());
        const std::string_view piece = name.substr(begin, end - begin);
        if (piece == "..") return {};
        if (!piece.empty() && piece != ".") pieces.emplace_back(piece);
        begin = end + 1;
    }
    return pieces;
}

struct UnzipCloser {
    void operator()(void* archive) const { unzClose(archive); }
};

}  // namespace

NativesExtractor::NativesExtractor(VersionManifests manifests) : manifests_(std::move(manifests)) {}

std::string NativesExtractor::NativesFolder(const std::string& id) const {
    return manifests_.profile().Join(manifests_.VersionFolder(id), id + "-natives");
}

std::vector<std::string> NativesExtractor::Archives(const std::string& id) const {
    const platform::HostProfile& profile = manifests_.profile();
    const std::string library_folder = profile.Join(manifests_.game_folder(), "libraries");
    const std::vector<ChainManifest> chain = manifests_.ReadChain(id);

    // Every level X of the chain adds the archives of X's own chain, and the
    // list so far is unpacked again each time; the last round decides.
    // X's chain is walked over the manifests already read (it can only name
    // ids of this chain).
    std::map<std::string, const net::JsonDocument*> documents;
    for (const ChainManifest& element : chain) documents.emplace(element.id, &element.manifest.document);
    std::vector<std::string> order;
    for (const ChainManifest& level : chain) {
        std::vector<std::string> walked;
        std::string current = level.id;
        for (;;) {
            walked.push_back(current);
            const net::JsonDocument& document = *documents.at(current);
            for (std::string& archive : ArchivesOf(document, library_folder, profile)) {
                order.push_back(std::move(archive));
            }
            if (!document.Exists("inheritsFrom")) break;
            const std::string parent = document.GetText("inheritsFrom");
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
    for (const std::string& archive : Archives(id)) UnpackArchive(archive, folder);
}

UnpackReport NativesExtractor::UnpackArchive(const std::string& archive, const std::string& target) const {
    const platform::HostProfile& profile = manifests_.profile();
    UnpackReport report;
    const std::string target_path = profile.NativePath(target);
    const std::unique_ptr<void, UnzipCloser> zip(unzOpen64(profile.NativePath(archive).c_str()));
    if (!zip) return report;
    report.opened = true;

    std::string name;
    std::string bytes;
    char block[kBlockBytes];
    for (int more = unzGoToFirstFile(zip.get()); more == UNZ_OK; more = unzGoToNextFile(zip.get())) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip.get(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            ++report.skipped;
            continue;
        }
        name.assign(info.size_filename, '\0');
        if (unzGetCurrentFileInfo64(zip.get(), &info, name.data(), static_cast<uLong>(name.size() + 1), nullptr, 0,
                                    nullptr, 0) != UNZ_OK) {
            ++report.skipped;
            continue;
        }
        name.resize(std::min(name.size(), name.find('\0')));
        const std::vector<std::string> pieces = SafePieces(name);
        if (pieces.empty()) {
            ++report.skipped;
            continue;
        }
        std::string destination = target_path;
        for (const std::string& piece : pieces) destination += "/" + piece;
        const bool folder = name.back() == '/' || name.back() == '\\';
        if (folder) {
            if (platform::CreateFolders(destination)) {
                ++report.folders;
            } else {
                ++report.skipped;
            }
            continue;
        }
        if (info.uncompressed_size > kMaxEntryBytes ||
            !platform::CreateFolders(destination.substr(0, destination.rfind('/'))) ||
            unzOpenCurrentFile(zip.get()) != UNZ_OK) {
            ++report.skipped;
            continue;
        }
        bytes.clear();
        bool intact = true;
        for (;;) {
            const int got = unzReadCurrentFile(zip.get(), block, sizeof block);
            if (got < 0) {
                intact = false;
                break;
            }
            if (got == 0) break;
            if (bytes.size() + static_cast<std::size_t>(got) > kMaxEntryBytes) {
                intact = false;
                break;
            }
            bytes.append(block, static_cast<std::size_t>(got));
        }
        // A damaged entry fails its check when it is closed.
        if (unzCloseCurrentFile(zip.get()) != UNZ_OK) intact = false;
        if (intact && platform::WriteFileAtomically(destination, bytes, 0644, platform::Durability::kUnsynced).ok()) {
            ++report.files;
        } else {
            ++report.skipped;
        }
    }
    return report;
}

}  // namespace kestrel::launch
