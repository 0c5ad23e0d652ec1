#include "install/ChainFiles.h"

#include <algorithm>
#include <unordered_set>

#include "launch/AssetIndex.h"
#include "launch/Libraries.h"
#include "launch/Rules.h"
#include "launch/SafeNames.h"
#include "platform/Files.h"
#include "platform/Sha1.h"

namespace kestrel::install {

namespace {

using download::FileRequest;
using launch::ChainManifest;
using launch::DownloadRecord;
using launch::VersionLibrary;

constexpr std::string_view kErrorManifest = "版本清单缺失或无法读取: ";
constexpr std::string_view kErrorUnsafeId = "版本名不安全: ";
constexpr std::string_view kErrorUnsafeLibrary = "库文件路径不安全: ";
constexpr std::string_view kErrorUnsafeIndex = "资源索引名不安全: ";
constexpr std::string_view kErrorUnsafeLogging = "日志配置文件名不安全: ";
constexpr std::string_view kErrorUnsafeAsset = "资源索引中的条目不安全: ";
constexpr std::string_view kErrorBadSha1 = "清单中的 SHA-1 无效: ";

bool IsHex40(std::string_view text) {
    const auto hex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    return text.size() == 40 && std::all_of(text.begin(), text.end(), hex);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// A library path from a manifest is a relative path of plain names joined by
// "/", the same shape as an asset name.
bool IsSafeRelativePath(std::string_view path) { return !launch::AssetNamePieces(path).empty(); }

// A member of a library entry the typed record does not keep: Fabric's and
// Quilt's entries carry `sha1` and `size` beside their `url`.
struct LooseDigest {
    std::string sha1;
    std::optional<std::uint64_t> size;
};

LooseDigest LooseDigestOf(const launch::Manifest& manifest, std::size_t index) {
    LooseDigest digest;
    const net::JsonValue* libraries = manifest.document.Find("libraries");
    if (!libraries || !libraries->is_array() || index >= libraries->size()) return digest;
    const net::JsonValue& entry = libraries->at(index);
    if (!entry.is_object()) return digest;
    if (const net::JsonValue* sha1 = entry.Find("sha1"); sha1 && sha1->kind() == net::JsonKind::kString) {
        digest.sha1 = sha1->text();
    }
    if (const net::JsonValue* size = entry.Find("size"); size && size->kind() == net::JsonKind::kNumber) {
        const std::string& lexeme = size->text();
        if (!lexeme.empty() && std::all_of(lexeme.begin(), lexeme.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
            lexeme.size() < 19) {
            digest.size = std::stoull(lexeme);
        }
    }
    return digest;
}

class ListBuilder {
public:
    ListBuilder(const std::string& game_folder, const net::UrlRewriter& rewriter)
        : folder_(game_folder), rewriter_(rewriter) {}

    // Adds one file; an error for a SHA-1 that is no SHA-1.
    Status Add(const std::string& url, const std::string& relative, const std::string& sha1,
               std::optional<std::uint64_t> size) {
        if (!sha1.empty() && !IsHex40(sha1)) return Error{std::string(kErrorBadSha1) + relative};
        if (!seen_.insert(relative).second) return {};
        FileRequest request;
        request.url = rewriter_.Rewrite(url);
        request.fallback_url = rewriter_.Official(url);
        request.path = folder_ + "/" + relative;
        request.sha1 = Lower(sha1);
        request.size = size;
        list_.files.push_back(std::move(request));
        return {};
    }

    Status AddRecord(const DownloadRecord& record, const std::string& relative) {
        std::optional<std::uint64_t> size;
        if (record.size > 0) size = static_cast<std::uint64_t>(record.size);
        return Add(record.url, relative, record.sha1, size);
    }

    ChainFileList& list() { return list_; }
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    const net::UrlRewriter& rewriter_;
    std::unordered_set<std::string> seen_;
    ChainFileList list_;
};

Status AddLibrary(ListBuilder& builder, const launch::Manifest& manifest, std::size_t index,
                  const VersionLibrary& library, const launch::Rules& rules, const platform::HostProfile& host) {
    if (!rules.Allows(library.rules)) return {};
    const bool has_downloads = library.artifact.given || !library.classifiers.empty();

    // The library's own jar.
    if (library.artifact.given) {
        if (!library.artifact.url.empty()) {
            std::string relative = library.artifact.path;
            if (relative.empty()) relative = launch::RelativeLibraryPath(library.name, '/');
            if (!IsSafeRelativePath(relative)) {
                return Error{std::string(kErrorUnsafeLibrary) + (relative.empty() ? library.name : relative)};
            }
            if (Status added = builder.AddRecord(library.artifact, "libraries/" + relative); !added) return added;
        }
    } else if (library.url && !library.has_natives && !has_downloads) {
        // A repository base: the file is its Maven path below it.
        const std::string relative = launch::RelativeLibraryPath(library.name, '/');
        if (relative.empty() || !IsSafeRelativePath(relative)) {
            return Error{std::string(kErrorUnsafeLibrary) + library.name};
        }
        std::string base = *library.url;
        if (!base.empty() && base.back() != '/') base.push_back('/');
        const LooseDigest digest = LooseDigestOf(manifest, index);
        if (Status added = builder.Add(base + relative, "libraries/" + relative, digest.sha1, digest.size); !added) {
            return added;
        }
    }

    // The natives archive of an old-style entry.
    if (library.has_natives) {
        const std::string classifier = Replace(library.NativesClassifier(host.os_name), "${arch}", host.bits);
        if (classifier.empty()) return {};
        for (const auto& [name, record] : library.classifiers) {
            if (name != classifier || !record.given || record.url.empty()) continue;
            std::string relative = record.path;
            if (relative.empty()) relative = launch::RelativeLibraryPath(library.name + ":" + classifier, '/');
            if (!IsSafeRelativePath(relative)) {
                return Error{std::string(kErrorUnsafeLibrary) + (relative.empty() ? library.name : relative)};
            }
            return builder.AddRecord(record, "libraries/" + relative);
        }
    }
    return {};
}

// The asset index's objects, each hash once, when the index is on disk and
// right.
Status AddAssetObjects(ListBuilder& builder, const launch::AssetIndexRecord& record, const std::string& path) {
    ChainFileList& list = builder.list();
    const std::optional<std::string> bytes = platform::ReadFile(path);
    bool right = bytes.has_value();
    if (right && record.size > 0) right = bytes->size() == static_cast<std::uint64_t>(record.size);
    if (right && !record.sha1.empty()) {
        const std::optional<platform::Sha1Digest> digest = platform::Sha1Of(*bytes);
        right = digest && platform::Sha1Matches(*digest, record.sha1);
    }
    if (!right) {
        list.objects_listed = false;
        return {};
    }
    Result<launch::AssetIndex> index = launch::AssetIndex::Parse(*bytes, path);
    if (!index) {
        // The right bytes that are no index: nothing to fetch will mend it.
        return Error{index.error()};
    }
    if (!index->errors.empty()) {
        // The index's own texts say the entry is skipped; here it fails the
        // whole list, so only the entry's name is kept.
        std::string name = index->errors.front();
        for (const std::string_view prefix : {launch::kErrorUnsafeAssetName, launch::kErrorBadAssetEntry}) {
            if (name.starts_with(prefix)) name.erase(0, prefix.size());
        }
        return Error{std::string(kErrorUnsafeAsset) + name};
    }
    std::unordered_set<std::string> hashes;
    for (const launch::AssetObject& object : index->objects) {
        if (!hashes.insert(object.hash).second) continue;
        const std::string prefix = object.hash.substr(0, 2);
        const std::string url = std::string(kAssetObjectOrigin) + "/" + prefix + "/" + object.hash;
        if (Status added = builder.Add(url, "assets/objects/" + prefix + "/" + object.hash, object.hash, object.size);
            !added) {
            return added;
        }
    }
    return {};
}

}  // namespace

bool IsSafeVersionId(std::string_view id) {
    return launch::VersionManifests::IsSafeId(std::string(id)) && launch::IsSafeFileId(id);
}

Result<ChainFileList> ListChainFiles(const std::string& game_folder, const std::string& id,
                                     const platform::HostProfile& host, const net::UrlRewriter& rewriter) {
    if (!IsSafeVersionId(id)) return Error{std::string(kErrorUnsafeId) + id};
    const launch::VersionManifests manifests(game_folder, platform::HostProfile::Current());
    return ListChainFiles(game_folder, manifests.ReadChain(id), host, rewriter);
}

Result<ChainFileList> ListChainFiles(const std::string& game_folder, const std::vector<ChainManifest>& chain,
                                     const platform::HostProfile& host, const net::UrlRewriter& rewriter) {
    ListBuilder builder(game_folder, rewriter);
    const launch::Rules rules(host);

    for (const ChainManifest& element : chain) {
        if (!IsSafeVersionId(element.id)) return Error{std::string(kErrorUnsafeId) + element.id};
        const net::JsonValue* root = element.manifest.document.Find("");
        if (!element.manifest.ok || !root || !root->is_object()) {
            return Error{std::string(kErrorManifest) + game_folder + "/versions/" + element.id + "/" + element.id +
                         ".json"};
        }
    }
    if (!chain.empty()) {
        // The walk stops before a parent whose id could leave the versions
        // folder; such a chain is not installed.
        const std::optional<std::string>& parent = chain.back().manifest.record.inherits_from;
        if (parent && !parent->empty() && !IsSafeVersionId(*parent)) {
            return Error{std::string(kErrorUnsafeId) + *parent};
        }
    }

    for (const ChainManifest& element : chain) {
        const launch::VersionRecord& record = element.manifest.record;
        if (record.client.given && !record.client.url.empty()) {
            const std::string relative = "versions/" + element.id + "/" + element.id + ".jar";
            if (Status added = builder.AddRecord(record.client, relative); !added) return Error{added.error()};
        }
        if (!record.libraries_in_array) continue;
        for (std::size_t i = 0; i < record.libraries.size(); ++i) {
            if (Status added = AddLibrary(builder, element.manifest, i, record.libraries[i], rules, host); !added) {
                return Error{added.error()};
            }
        }
    }

    // The asset index and the logging configuration: the first along the
    // chain, as the launch reads them.
    for (const ChainManifest& element : chain) {
        const launch::AssetIndexRecord& index = element.manifest.record.asset_index;
        if (index.id.empty() || index.url.empty()) continue;
        if (!launch::IsSafeFileId(index.id)) return Error{std::string(kErrorUnsafeIndex) + index.id};
        const std::string relative = "assets/indexes/" + index.id + ".json";
        std::optional<std::uint64_t> size;
        if (index.size > 0) size = static_cast<std::uint64_t>(index.size);
        if (Status added = builder.Add(index.url, relative, index.sha1, size); !added) return Error{added.error()};
        builder.list().asset_index_path = game_folder + "/" + relative;
        if (Status objects = AddAssetObjects(builder, index, builder.list().asset_index_path); !objects) {
            return Error{objects.error()};
        }
        break;
    }
    for (const ChainManifest& element : chain) {
        const launch::LoggingRecord& logging = element.manifest.record.logging;
        if (!logging.given) continue;
        if (!logging.file.given || logging.file.url.empty()) break;
        if (!launch::IsSafeFileId(logging.file.id)) return Error{std::string(kErrorUnsafeLogging) + logging.file.id};
        if (Status added = builder.AddRecord(logging.file, "assets/log_configs/" + logging.file.id); !added) {
            return Error{added.error()};
        }
        break;
    }
    return std::move(builder.list());
}

Result<download::FilesToCheck> ListFilesToCheck(const std::string& game_folder,
                                                const std::vector<ChainManifest>& chain,
                                                const platform::HostProfile& host, const net::UrlRewriter& rewriter) {
    Result<ChainFileList> listed = ListChainFiles(game_folder, chain, host, rewriter);
    if (!listed) return Error{listed.error()};
    download::FilesToCheck files;
    for (FileRequest& file : listed.value().files) {
        const bool index = !listed->objects_listed && file.path == listed->asset_index_path;
        (index ? files.hashed : files.sized).push_back(std::move(file));
    }
    return files;
}

}  // namespace kestrel::install
