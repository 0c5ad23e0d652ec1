#include "install/ForgeVersions.h"

#include <algorithm>

#include "install/LoaderVersionOrder.h"
#include "install/MavenMetadata.h"
#include "install/RewrittenFetch.h"
#include "net/HttpSession.h"
#include "platform/Text.h"

namespace kestrel::install {

namespace {

// A metadata file lists some thousands of versions; far more is no such file.
constexpr std::size_t kLargestMetadata = std::size_t{8} << 20;

bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The game version a NeoForge version is for ("21.1.209" -> "1.21.1"), or
// empty when it does not have that shape.
std::string NeoForgeGameVersion(std::string_view version) {
    const std::vector<std::string_view> pieces = platform::Split(version.substr(0, version.find('-')), '.');
    if (pieces.size() < 3 || !IsDigits(pieces[0]) || !IsDigits(pieces[1]) || pieces[0] == "0") return {};
    std::string game = "1." + std::string(pieces[0]);
    if (pieces[1] != "0") game += "." + std::string(pieces[1]);
    return game;
}

}  // namespace

std::string ForgeArtifact::MetadataUrl() const { return repository + "/" + group_path + "/" + artifact + "/maven-metadata.xml"; }

std::string ForgeArtifact::InstallerUrl(const std::string& version) const {
    return repository + "/" + group_path + "/" + artifact + "/" + version + "/" + artifact + "-" + version +
           "-installer.jar";
}

ForgeArtifact ArtifactFor(const InstallSettings& settings, Loader loader, const std::string& game_version) {
    if (loader == Loader::kNeoForge) {
        if (game_version == "1.20.1") return {settings.neoforge_maven, "net/neoforged", "forge", true};
        return {settings.neoforge_maven, "net/neoforged", "neoforge", false};
    }
    return {settings.forge_maven, "net/minecraftforge", "forge", true};
}

bool IsForGameVersion(const ForgeArtifact& artifact, std::string_view version, std::string_view game_version) {
    if (game_version.empty()) return false;
    if (artifact.game_prefixed) {
        return version.size() > game_version.size() + 1 && version.starts_with(game_version) &&
               version[game_version.size()] == '-';
    }
    return NeoForgeGameVersion(version) == game_version;
}

std::vector<LoaderVersion> OfferedVersions(const ForgeArtifact& artifact, const std::vector<std::string>& versions,
                                           std::string_view game_version) {
    std::vector<LoaderVersion> offered;
    for (const std::string& version : versions) {
        if (IsForGameVersion(artifact, version, game_version)) offered.push_back({version, !LooksUnstable(version)});
    }
    SortLoaderVersions(offered);
    return offered;
}

Result<std::vector<LoaderVersion>> ListForgeVersions(const InstallSettings& settings, Loader loader,
                                                     const std::string& game_version) {
    const ForgeArtifact artifact = ArtifactFor(settings, loader, game_version);
    net::HttpOptions options = settings.http;
    options.max_body_bytes = kLargestMetadata;
    const net::HttpSession session(options);
    const RewrittenReply fetched = FetchRewritten(session, artifact.MetadataUrl(), settings.rewriter);
    if (fetched.reply.failure.failed()) {
        return Error{"无法获取 " + std::string(LoaderName(loader)) + " 的版本列表 (" + fetched.url +
                     "): " + net::FailureText(fetched.reply.failure)};
    }
    Result<std::vector<std::string>> versions = ParseMavenMetadata(fetched.reply.body, fetched.url);
    if (!versions) return Error{versions.error()};
    return OfferedVersions(artifact, *versions, game_version);
}

}  // namespace kestrel::install
