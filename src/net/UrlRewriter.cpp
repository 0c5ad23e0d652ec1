#include "net/UrlRewriter.h"

namespace kestrel::net {

std::optional<Mirror> MirrorFromName(std::string_view name) {
    if (name == "official") return Mirror::kOfficial;
    if (name == "bmclapi") return Mirror::kBmclapi;
    return std::nullopt;
}

std::string_view MirrorName(Mirror mirror) { return mirror == Mirror::kBmclapi ? "bmclapi" : "official"; }

UrlRewriter::UrlRewriter(Mirror mirror, std::vector<OriginRule> local_rules)
    : mirror_(mirror), local_rules_(std::move(local_rules)) {}

UrlRewriter UrlRewriter::ForMirror(Mirror mirror, const Endpoints& endpoints) {
    return UrlRewriter(mirror, endpoints.Origins());
}

const std::vector<OriginRule>& UrlRewriter::MirrorTable(Mirror mirror) {
    static const std::vector<OriginRule> kNone;
    static const std::vector<OriginRule> kBmclapi = {
        {"https://launchermeta.mojang.com", "https://bmclapi2.bangbang93.com"},
        {"https://launcher.mojang.com", "https://bmclapi2.bangbang93.com"},
        {"https://piston-meta.mojang.com", "https://bmclapi2.bangbang93.com"},
        {"https://piston-data.mojang.com", "https://bmclapi2.bangbang93.com"},
        {"https://libraries.minecraft.net", "https://bmclapi2.bangbang93.com/maven"},
        {"https://maven.minecraftforge.net", "https://bmclapi2.bangbang93.com/maven"},
        {"https://files.minecraftforge.net/maven", "https://bmclapi2.bangbang93.com/maven"},
        {"https://maven.fabricmc.net", "https://bmclapi2.bangbang93.com/maven"},
        {"https://maven.neoforged.net/releases", "https://bmclapi2.bangbang93.com/maven"},
        {"https://resources.download.minecraft.net", "https://bmclapi2.bangbang93.com/assets"},
        {"https://meta.fabricmc.net", "https://bmclapi2.bangbang93.com/fabric-meta"},
    };
    return mirror == Mirror::kBmclapi ? kBmclapi : kNone;
}

std::string ApplyOriginRules(const std::vector<OriginRule>& rules, std::string_view url) {
    const OriginRule* best = nullptr;
    for (const OriginRule& rule : rules) {
        const std::string_view origin = rule.origin;
        if (origin.empty() || url.substr(0, origin.size()) != origin) continue;
        if (url.size() > origin.size() && url[origin.size()] != '/') continue;
        // Equal lengths: the later rule wins, as a later line of a file does.
        if (!best || origin.size() >= best->origin.size()) best = &rule;
    }
    if (!best) return std::string(url);
    return best->base + std::string(url.substr(best->origin.size()));
}

std::string UrlRewriter::Rewrite(std::string_view url) const {
    return Official(ApplyOriginRules(MirrorTable(mirror_), url));
}

std::string UrlRewriter::Official(std::string_view url) const { return ApplyOriginRules(local_rules_, url); }

}  // namespace kestrel::net
