#include "install/ForgeVersions.h"

#include <algorithm>

#include "install/MavenMetadata.h"
#include "net/HttpSession.h"
#include "platform/Text.h"

namespace kestrel::install {

namespace {

// A metadata file lists some thousands of versions; far more is no such file.
constexpr std::size_t kLargestMetadata = std::size_t{8} << 20;

bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string_view> Pieces(std::string_view version) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= version.size(); ++i) {
        if (i == version.size() || version[i] == '.' || version[i] == '-' || version[i] == '+' || version[i] == '_') {
            pieces.push_back(version.substr(start, i - start));
            start = i + 1;
        }
    }
    return pieces;
}

int CompareNumbers(std::string_view a, std::string_view b) {
    // By their digits, so that no number is too large to compare.
    while (a.size() > 1 && a.front() == '0') a.remove_prefix(1);
    while (b.size() > 1 && b.front() == '0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
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

int CompareLoaderVersions(std::string_view a, std::string_view b) {
    const std::vector<std::string_view> left = Pieces(a);
    const std::vector<std::string_view> right = Pieces(b);
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < common; ++i) {
        const bool left_number = IsDigits(left[i]);
        const bool right_number = IsDigits(right[i]);
        int order = 0;
        if (left_number && right_number) {
            order = CompareNumbers(left[i], right[i]);
        } else if (left_number != right_number) {
            order = left_number ? 1 : -1;
        } else {
            order = left[i].compare(right[i]) < 0 ? -1 : (left[i] == right[i] ? 0 : 1);
        }
        if (order != 0) return order;
    }
    if (left.size() == right.size()) return 0;
    // The longer one goes on with a number (newer) or a word (older).
    if (left.size() > right.size()) return IsDigits(left[common]) ? 1 : -1;
    return IsDigits(right[common]) ? -1 : 1;
}

bool IsStableLoaderVersion(std::string_view version) {
    for (const std::string_view mark : {"-beta", "-rc", "-pre", "-alpha"}) {
        if (version.find(mark) != std::string_view::npos) return false;
    }
    return true;
}

std::vector<LoaderVersion> OfferedVersions(const ForgeArtifact& artifact, const std::vector<std::string>& versions,
                                           std::string_view game_version) {
    std::vector<LoaderVersion> offered;
    for (const std::string& version : versions) {
        if (IsForGameVersion(artifact, version, game_version)) offered.push_back({version, IsStableLoaderVersion(version)});
    }
    std::stable_sort(offered.begin(), offered.end(), [](const LoaderVersion& a, const LoaderVersion& b) {
        if (a.stable != b.stable) return a.stable;
        return CompareLoaderVersions(a.version, b.version) > 0;
    });
    return offered;
}

Result<std::vector<LoaderVersion>> ListForgeVersions(const InstallSettings& settings, Loader loader,
                                                     const std::string& game_version) {
    const ForgeArtifact artifact = ArtifactFor(settings, loader, game_version);
    net::HttpOptions options = settings.http;
    options.max_body_bytes = kLargestMetadata;
    const net::HttpSession session(options);
    const std::string official = artifact.MetadataUrl();
    std::string used = settings.rewriter.Rewrite(official);
    net::HttpReply reply = session.DownloadReply(used);
    if (reply.failure.failed() && reply.failure.kind != net::FailureKind::kCancelled &&
        settings.rewriter.Official(official) != used) {
        used = settings.rewriter.Official(official);
        reply = session.DownloadReply(used);
    }
    if (reply.failure.failed()) {
        return Error{"无法获取 " + std::string(LoaderName(loader)) + " 的版本列表 (" + used +
                     "): " + net::FailureText(reply.failure)};
    }
    Result<std::vector<std::string>> versions = ParseMavenMetadata(reply.body, used);
    if (!versions) return Error{versions.error()};
    return OfferedVersions(artifact, *versions, game_version);
}

}  // namespace kestrel::install
