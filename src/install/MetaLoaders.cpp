#include "install/MetaLoaders.h"

#include "install/ChainFiles.h"
#include "install/GameVersionSetup.h"
#include "install/InstallLock.h"
#include "install/LibraryFetch.h"
#include "install/LoaderVersionOrder.h"
#include "install/RewrittenFetch.h"
#include "install/VersionInstaller.h"
#include "install/VersionJsonStore.h"
#include "launch/VersionManifests.h"
#include "net/Endpoints.h"
#include "net/JsonDocument.h"

namespace kestrel::install {

namespace {

constexpr std::string_view kErrorUnsafeGame = "游戏版本名不安全: ";
constexpr std::string_view kErrorUnsafeId = "版本名不安全: ";
constexpr std::string_view kErrorUnsafeLoader = "加载器版本名不安全: ";
constexpr std::string_view kErrorSameAsGame = "新版本的名字不能与游戏版本相同: ";

// A list of versions or a profile is some hundreds of KB at most.
constexpr std::size_t kLargestAnswer = std::size_t{16} << 20;

struct MetaService {
    std::string base;     // without a trailing "/"
    std::string_view api;  // "v2", "v3"
    std::string_view caption;
};

MetaService ServiceFor(const InstallSettings& settings, Loader loader) {
    const bool quilt = loader == Loader::kQuilt;
    std::string base = quilt ? settings.quilt_meta : settings.fabric_meta;
    if (base.empty()) base = net::Endpoints::Defaults().Base(quilt ? "quilt_meta" : "fabric_meta");
    while (!base.empty() && base.back() == '/') base.pop_back();
    return {std::move(base), quilt ? "v3" : "v2", quilt ? "Quilt" : "Fabric"};
}

// A game or loader version as one piece of a URL path (a game version may
// hold spaces: "1.14 Pre-Release 1").
std::string PathPiece(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string piece;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~' || c == '+') {
            piece.push_back(c);
        } else {
            piece.push_back('%');
            piece.push_back(kHex[byte >> 4]);
            piece.push_back(kHex[byte & 15]);
        }
    }
    return piece;
}

std::string VersionsUrl(const MetaService& service, const std::string& game_version) {
    return service.base + "/" + std::string(service.api) + "/versions/loader/" + PathPiece(game_version);
}

net::HttpSession SessionFor(const InstallSettings& settings, std::stop_token stop) {
    net::HttpOptions http = settings.http;
    http.cancel = stop;
    if (http.max_body_bytes == 0) http.max_body_bytes = kLargestAnswer;
    return net::HttpSession(http);
}

Result<std::vector<LoaderVersion>> ParseVersions(std::string_view text, const MetaService& service,
                                                 const std::string& source) {
    const Error malformed{std::string(service.caption) + " 版本列表无法读取: " + source};
    net::JsonDocument document;
    const net::JsonValue* root = document.Parse(text) ? document.Find("") : nullptr;
    if (!root || !root->is_array()) return malformed;
    std::vector<LoaderVersion> versions;
    for (std::size_t i = 0; i < root->size(); ++i) {
        const net::JsonValue& entry = root->at(i);
        const net::JsonValue* loader = entry.is_object() ? entry.Find("loader") : nullptr;
        const net::JsonValue* version = loader && loader->is_object() ? loader->Find("version") : nullptr;
        if (!version || version->kind() != net::JsonKind::kString || !IsSafeVersionId(version->text())) continue;
        LoaderVersion item{version->text(), !LooksUnstable(version->text())};
        if (const net::JsonValue* stable = loader->Find("stable"); stable && stable->kind() == net::JsonKind::kBoolean) {
            item.stable = stable->boolean();
        }
        versions.push_back(std::move(item));
    }
    if (versions.empty() && root->size() > 0) return malformed;
    SortLoaderVersions(versions);
    return versions;
}

Result<std::vector<LoaderVersion>> ListVersions(const InstallSettings& settings, const MetaService& service,
                                                const std::string& game_version, std::stop_token stop) {
    if (!IsSafeVersionId(game_version)) return Error{std::string(kErrorUnsafeGame) + game_version};
    const RewrittenReply fetched =
        FetchRewritten(SessionFor(settings, stop), VersionsUrl(service, game_version), settings.rewriter);
    if (stop.stop_requested()) return Error{std::string(kErrorInstallCancelled)};
    if (fetched.reply.failure.failed()) {
        return Error{"无法获取 " + std::string(service.caption) + " 版本列表 (" + fetched.url +
                     "): " + net::FailureText(fetched.reply.failure)};
    }
    return ParseVersions(fetched.reply.body, service, fetched.url);
}

// The profile's bytes as served, and the manifest read from them.
struct Profile {
    std::string bytes;
    launch::Manifest manifest;
    std::string id;
};

Result<Profile> FetchProfile(const InstallSettings& settings, const MetaService& service,
                             const std::string& game_version, const std::string& loader_version,
                             std::stop_token stop) {
    const std::string url =
        VersionsUrl(service, game_version) + "/" + PathPiece(loader_version) + "/profile/json";
    const RewrittenReply fetched = FetchRewritten(SessionFor(settings, stop), url, settings.rewriter);
    if (stop.stop_requested()) return Error{std::string(kErrorInstallCancelled)};
    const std::string caption(service.caption);
    if (fetched.reply.failure.failed()) {
        return Error{"无法获取 " + caption + " 的版本文件 (" + fetched.url +
                     "): " + net::FailureText(fetched.reply.failure)};
    }
    Profile profile;
    profile.bytes = fetched.reply.body;
    profile.manifest = launch::VersionManifests::Parse(profile.bytes);
    const net::JsonDocument& document = profile.manifest.document;
    if (!profile.manifest.ok || document.TypeOf("") != static_cast<int>(net::JsonKind::kObject) ||
        document.TypeOf("id") != static_cast<int>(net::JsonKind::kString)) {
        return Error{caption + " 的版本文件无法读取: " + fetched.url};
    }
    // The bytes are stored as they came: they must be valid UTF-8 JSON
    // themselves, not only once decoded.
    net::JsonDocument raw;
    if (!raw.Parse(profile.bytes)) return Error{caption + " 的版本文件无法读取: " + fetched.url};
    profile.id = document.GetText("id");
    // The parent is installed under this name and launched below it: a
    // profile for another game version must not end up on this one.
    const std::optional<std::string>& parent = profile.manifest.record.inherits_from;
    if (!parent || *parent != game_version) {
        return Error{caption + " 的版本文件不是游戏版本 " + game_version + " 的: " + fetched.url};
    }
    return profile;
}

}  // namespace

Result<std::vector<LoaderVersion>> ListMetaLoaderVersions(const InstallSettings& settings, Loader loader,
                                                          const std::string& game_version) {
    return ListVersions(settings, ServiceFor(settings, loader), game_version, {});
}

Result<std::string> InstallMetaLoader(const InstallSettings& settings, const LoaderRequest& request,
                                      std::stop_token stop, const InstallProgressCallback& progress) {
    const MetaService service = ServiceFor(settings, request.loader);
    const std::string& game = request.game_version;
    if (!IsSafeVersionId(game)) return Error{std::string(kErrorUnsafeGame) + game};
    if (!request.name.empty() && !IsSafeVersionId(request.name)) {
        return Error{std::string(kErrorUnsafeId) + request.name};
    }
    if (request.name == game) return Error{std::string(kErrorSameAsGame) + game};
    Result<InstallLock> lock = InstallLock::TryTake(settings.game_folder);
    if (!lock) return Error{lock.error()};

    if (progress) progress(InstallProgress{InstallStep::kLoader, {}});
    std::string loader_version = request.loader_version;
    if (loader_version.empty()) {
        Result<std::vector<LoaderVersion>> versions = ListVersions(settings, service, game, stop);
        if (!versions) return Error{versions.error()};
        if (versions->empty()) {
            return Error{"没有适用于游戏版本 " + game + " 的 " + std::string(service.caption) + " 版本"};
        }
        loader_version = versions->front().version;
    }
    if (!IsSafeVersionId(loader_version)) return Error{std::string(kErrorUnsafeLoader) + loader_version};
    Result<Profile> profile = FetchProfile(settings, service, game, loader_version, stop);
    if (!profile) return Error{profile.error()};
    const std::string id = request.name.empty() ? profile->id : request.name;
    if (!IsSafeVersionId(id)) return Error{std::string(kErrorUnsafeId) + id};
    if (id == game) return Error{std::string(kErrorSameAsGame) + game};

    // The profile's names are checked before the game version is fetched
    // for it.
    if (Result<std::vector<download::FileRequest>> names = ListLibraries(settings, profile->manifest, id); !names) {
        return Error{names.error()};
    }

    const VersionInstaller installer(settings);
    if (Result<GameVersionReport> parent = EnsureGameVersion(installer, lock.value(), game, stop, progress); !parent) {
        return Error{parent.error()};
    }
    if (Result<InstallReport> libraries = FetchLibraries(settings, profile->manifest, id, stop, progress);
        !libraries) {
        return Error{libraries.error()};
    }
    if (stop.stop_requested()) return Error{std::string(kErrorInstallCancelled)};
    if (Status stored = StoreVersionJson(settings.game_folder, profile->bytes, id); !stored) {
        return Error{stored.error()};
    }
    return id;
}

}  // namespace kestrel::install
