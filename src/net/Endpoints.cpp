#include "net/Endpoints.h"

#include <cstdlib>

#include "platform/Files.h"
#include "platform/Text.h"

namespace kestrel::net {

namespace {

// "http://" or "https://" and a host at least: a name that is an origin.
bool IsOrigin(std::string_view name) {
    for (const std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (name.size() > scheme.size() && name.substr(0, scheme.size()) == scheme) return true;
    }
    return false;
}

std::string WithoutTrailingSlashes(std::string_view text) {
    while (!text.empty() && text.back() == '/') text.remove_suffix(1);
    return std::string(text);
}

}  // namespace

Endpoints Endpoints::Defaults() {
    Endpoints table;
    table.urls_ = {
        {"mojang_auth", "https://authserver.mojang.com"},
        {"microsoft_login", "https://login.microsoftonline.com"},
        {"xbox_user", "https://user.auth.xboxlive.com"},
        {"xsts", "https://xsts.auth.xboxlive.com"},
        {"minecraft_services", "https://api.minecraftservices.com"},
        {"session", "https://sessionserver.mojang.com"},
        // The update server is our own static file host.
        {"update", "https://updates.kestrel-launcher.example/launcher/"},
        {"update_probe", "https://updates.kestrel-launcher.example/"},
        {"slogans", "https://updates.kestrel-launcher.example/slogans/Titlelist.ini"},
        {"thanks", "https://updates.kestrel-launcher.example/launcher/Special_thanks.txt"},
        {"version_manifest", "https://piston-meta.mojang.com/mc/game/version_manifest_v2.json"},
        {"fabric_meta", "https://meta.fabricmc.net"},
        {"quilt_meta", "https://meta.quiltmc.org"},
        {"java_runtimes", "https://piston-meta.mojang.com/v1/products/java-runtime/2ec0cc96c44e5a76b9c8b7c39df7210883d12871/all.json"},
    };
    return table;
}

Endpoints Endpoints::FromEnvironment() {
    Endpoints table = Defaults();
    const char* file = std::getenv("KESTREL_ENDPOINTS");
    if (file && *file) {
        // An endpoints file is a few lines; anything larger is not one.
        if (const auto text = platform::ReadFile(file, 1 << 20)) table.Override(*text);
    }
    return table;
}

void Endpoints::Override(std::string_view lines) {
    std::size_t start = 0;
    while (start < lines.size()) {
        std::size_t end = lines.find('\n', start);
        if (end == std::string_view::npos) end = lines.size();
        const std::string_view line = lines.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view name = platform::Trim(line.substr(0, equals), " \t\r");
        const std::string_view url = platform::Trim(line.substr(equals + 1), " \t\r");
        if (url.empty()) continue;
        if (IsOrigin(name)) {
            // A trailing "/" on either side would make "https://a/" never
            // match "https://a/x" or give "//" after the base; a name that is
            // only a scheme and slashes is no origin at all.
            std::string origin = WithoutTrailingSlashes(name);
            if (IsOrigin(origin)) origins_.push_back({std::move(origin), WithoutTrailingSlashes(url)});
            continue;
        }
        const auto known = urls_.find(name);
        if (known == urls_.end()) continue;
        known->second = std::string(url);
    }
}

std::string Endpoints::Base(std::string_view name) const {
    const auto known = urls_.find(name);
    return known == urls_.end() ? std::string() : known->second;
}

}  // namespace kestrel::net
