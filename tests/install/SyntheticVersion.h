#pragma once

// A small synthetic game version served from a FileServer on 127.0.0.1: a
// catalogue, a version JSON with a client jar, libraries for every system
// (natives in both styles, one library for macOS only, one Maven-style entry
// without a SHA-1), an asset index whose objects share a hash, and a logging
// configuration. The official hosts are sent to the server by the rewriter's
// origin lines, each under a folder of its own, as KESTREL_ENDPOINTS does.
// A test changes the manifests (hostile names) before Serve().

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "download/DownloadFixture.h"
#include "download/FileServer.h"
#include "install/InstallSettings.h"
#include "net/JsonDocument.h"

namespace kestrel::install {

using download::Bytes;
using download::HexSha1;

inline std::string Quote(const std::string& text) { return "\"" + text + "\""; }

struct SyntheticVersion {
    std::string id = "1.7.2-test";
    std::string index_id = "legacy";
    std::string log_id = "client-1.7.xml";
    // The files every launcher fetches, by their official URL path below the
    // server's folder of their host.
    std::string client = Bytes(6000, 1);
    std::string lib_plain = Bytes(1500, 2);
    std::string lib_mac = Bytes(1400, 3);
    std::string natives_new_linux = Bytes(1300, 4);
    std::string natives_new_windows = Bytes(1200, 5);
    std::string natives_old_linux = Bytes(1100, 6);
    std::string natives_old_windows = Bytes(1000, 7);
    std::string maven_lib = Bytes(900, 8);
    std::string log_config = "<Configuration/>";
    std::string sound = Bytes(700, 9);
    std::string lang = Bytes(500, 10);
    // Fields a hostile test replaces.
    std::string plain_path = "org/example/plain/1.0/plain-1.0.jar";
    std::string sound_name = "sound/step.ogg";
    std::string sound_hash;  // the sound's real hash unless set
    // The index's flags, before its objects.
    std::string index_flags = R"("virtual":true)";
    std::string catalogue_sha1;  // the JSON's real hash unless set

    std::string Lib(const std::string& path, const std::string& bytes, const std::string& host = "libraries") const {
        return R"({"path":")" + path + R"(","sha1":")" + HexSha1(bytes) + R"(","size":)" +
               std::to_string(bytes.size()) + R"(,"url":"https://)" + HostOf(host) + "/" + path + "\"}";
    }
    static std::string HostOf(const std::string& host) {
        return host == "libraries" ? "libraries.minecraft.net" : host;
    }

    std::string IndexText() const {
        const std::string hash = sound_hash.empty() ? HexSha1(sound) : sound_hash;
        return "{" + index_flags + R"(,"objects":{")" + sound_name + R"(":{"hash":")" + hash +
               R"(","size":)" + std::to_string(sound.size()) + R"(},"sound/step-copy.ogg":{"hash":")" + HexSha1(sound) +
               R"(","size":)" + std::to_string(sound.size()) + R"(},"lang/en_US.lang":{"hash":")" + HexSha1(lang) +
               R"(","size":)" + std::to_string(lang.size()) + "}}}";
    }

    std::string VersionJson() const {
        const std::string index = IndexText();
        const std::string win_natives_old = "org/lwjgl/lwjgl-platform/2.9/lwjgl-platform-2.9-natives-windows-64.jar";
        return std::string(R"({"id":")") + id + R"(","type":"release","mainClass":"net.minecraft.client.main.Main",)" +
               R"("assets":")" + index_id + R"(","assetIndex":{"id":")" + index_id + R"(","sha1":")" + HexSha1(index) +
               R"(","size":)" + std::to_string(index.size()) +
               R"(,"url":"https://piston-meta.mojang.com/v1/packages/index.json"},)" +
               R"("downloads":{"client":{"sha1":")" + HexSha1(client) + R"(","size":)" + std::to_string(client.size()) +
               R"(,"url":"https://piston-data.mojang.com/v1/objects/client.jar"}},)" +
               R"("logging":{"client":{"argument":"-Dlog4j.configurationFile=${path}","type":"log4j2-xml",)" +
               R"("file":{"id":")" + log_id + R"(","sha1":")" + HexSha1(log_config) + R"(","size":)" +
               std::to_string(log_config.size()) + R"(,"url":"https://piston-data.mojang.com/v1/objects/log.xml"}}},)" +
               R"("libraries":[)" +
               R"({"name":"org.example:plain:1.0","downloads":{"artifact":)" + Lib(plain_path, lib_plain) + "}}," +
               R"({"name":"org.example:maconly:1.0","rules":[{"action":"allow","os":{"name":"osx"}}],)" +
               R"("downloads":{"artifact":)" + Lib("org/example/maconly/1.0/maconly-1.0.jar", lib_mac) + "}}," +
               R"({"name":"org.lwjgl:lwjgl:3.3.1:natives-linux","rules":[{"action":"allow","os":{"name":"linux"}}],)" +
               R"("downloads":{"artifact":)" +
               Lib("org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar", natives_new_linux) + "}}," +
               R"({"name":"org.lwjgl:lwjgl:3.3.1:natives-windows","rules":[{"action":"allow","os":{"name":"windows"}}],)" +
               R"("downloads":{"artifact":)" +
               Lib("org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-windows.jar", natives_new_windows) + "}}," +
               R"({"name":"org.lwjgl.lwjgl:lwjgl-platform:2.9","natives":{"linux":"natives-linux","windows":"natives-windows-${arch}"},)" +
               R"("rules":[{"action":"allow"},{"action":"disallow","os":{"name":"osx"}}],)" +
               R"("downloads":{"classifiers":{"natives-linux":)" +
               Lib("org/lwjgl/lwjgl-platform/2.9/lwjgl-platform-2.9-natives-linux.jar", natives_old_linux) +
               R"(,"natives-windows-64":)" + Lib(win_natives_old, natives_old_windows) + "}}}," +
               R"({"name":"net.fabricmc:intermediary:1.0","url":"https://maven.fabricmc.net/"}],)" +
               R"("minecraftArguments":"--version ${version_name}"})";
    }

    // Every file of the chain below the game folder, for this Linux host.
    std::map<std::string, std::string> LinuxLayout() const {
        return {
            {"versions/" + id + "/" + id + ".jar", client},
            {"libraries/" + plain_path, lib_plain},
            {"libraries/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar", natives_new_linux},
            {"libraries/org/lwjgl/lwjgl-platform/2.9/lwjgl-platform-2.9-natives-linux.jar", natives_old_linux},
            {"libraries/net/fabricmc/intermediary/1.0/intermediary-1.0.jar", maven_lib},
            {"assets/indexes/" + index_id + ".json", IndexText()},
            {"assets/objects/" + HexSha1(sound).substr(0, 2) + "/" + HexSha1(sound), sound},
            {"assets/objects/" + HexSha1(lang).substr(0, 2) + "/" + HexSha1(lang), lang},
            {"assets/log_configs/" + log_id, log_config},
            {"assets/virtual/legacy/sound/step.ogg", sound},
            {"assets/virtual/legacy/sound/step-copy.ogg", sound},
            {"assets/virtual/legacy/lang/en_US.lang", lang},
        };
    }

    // Where a file of an official host is on a server: official hosts each
    // under a folder of their own, or the mirror's folders.
    static std::string OfficialPath(const std::string& host, const std::string& path) { return "/" + host + path; }
    static std::string MirrorPath(const std::string& host, const std::string& path) {
        if (host == "libraries" || host == "fabric") return "/bmcl/maven" + path;
        if (host == "assets") return "/bmcl/assets" + path;
        return "/bmcl" + path;
    }

    // Puts everything on the server, leaving out the paths in skip.
    void Serve(testing::FileServer& server,
               std::string (*where)(const std::string&, const std::string&) = OfficialPath,
               const std::vector<std::string>& skip = {}) const {
        const auto put = [&](const std::string& host, const std::string& path, std::string bytes) {
            const std::string at = where(host, path);
            if (std::find(skip.begin(), skip.end(), at) == skip.end()) server.Put(at, std::move(bytes));
        };
        const std::string json = VersionJson();
        const std::string sha1 = catalogue_sha1.empty() ? HexSha1(json) : catalogue_sha1;
        put("meta", "/mc/game/version_manifest_v2.json",
            R"({"latest":{"release":")" + id + R"("},"versions":[)" + R"({"id":")" + id +
                R"(","type":"release","url":"https://piston-meta.mojang.com/v1/packages/)" + id +
                R"(.json","time":"2013-10-25T13:00:00+00:00","releaseTime":"2013-10-25T13:00:00+00:00","sha1":")" +
                sha1 + R"("},{"id":"13w41a","type":"snapshot","url":"https://piston-meta.mojang.com/v1/packages/s.json",)" +
                R"("releaseTime":"2013-10-10T00:00:00+00:00","sha1":")" + std::string(40, 'a') + "\"}]}");
        put("meta", "/v1/packages/" + id + ".json", json);
        put("meta", "/v1/packages/index.json", IndexText());
        put("data", "/v1/objects/client.jar", client);
        put("data", "/v1/objects/log.xml", log_config);
        const auto lib = [&](const std::string& path, const std::string& bytes) { put("libraries", "/" + path, bytes); };
        lib(plain_path, lib_plain);
        lib("org/example/maconly/1.0/maconly-1.0.jar", lib_mac);
        lib("org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar", natives_new_linux);
        lib("org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-windows.jar", natives_new_windows);
        lib("org/lwjgl/lwjgl-platform/2.9/lwjgl-platform-2.9-natives-linux.jar", natives_old_linux);
        lib("org/lwjgl/lwjgl-platform/2.9/lwjgl-platform-2.9-natives-windows-64.jar", natives_old_windows);
        put("fabric", "/net/fabricmc/intermediary/1.0/intermediary-1.0.jar", maven_lib);
        put("fabric", "/net/fabricmc/intermediary/1.0/intermediary-1.0.jar.sha1", HexSha1(maven_lib));
        for (const std::string& bytes : {sound, lang}) {
            const std::string hash = HexSha1(bytes);
            put("assets", "/" + hash.substr(0, 2) + "/" + hash, bytes);
        }
    }
};

// The origin lines that send the official hosts to the server, as an
// endpoints file would.
inline std::vector<net::OriginRule> OriginsTo(const testing::FileServer& server) {
    return {
        {"https://piston-meta.mojang.com", server.Url("/meta")},
        {"https://piston-data.mojang.com", server.Url("/data")},
        {"https://libraries.minecraft.net", server.Url("/libraries")},
        {"https://maven.fabricmc.net", server.Url("/fabric")},
        {"https://resources.download.minecraft.net", server.Url("/assets")},
    };
}

inline InstallSettings SettingsFor(const testing::FileServer& server, const std::string& game_folder,
                                   net::Mirror mirror = net::Mirror::kOfficial,
                                   std::vector<net::OriginRule> extra = {}) {
    InstallSettings settings;
    settings.game_folder = game_folder;
    settings.host = platform::HostProfile::Linux64();
    std::vector<net::OriginRule> rules = OriginsTo(server);
    rules.insert(rules.end(), extra.begin(), extra.end());
    settings.rewriter = net::UrlRewriter(mirror, rules);
    settings.catalogue_url = "https://piston-meta.mojang.com/mc/game/version_manifest_v2.json";
    settings.download.first_pause_ms = 1;
    return settings;
}

// Every regular file below folder, relative with "/".
inline std::map<std::string, std::string> FilesUnder(const std::string& folder) {
    std::map<std::string, std::string> files;
    if (!std::filesystem::exists(folder)) return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        files[std::filesystem::relative(entry.path(), folder).generic_string()] = download::ReadAll(entry.path().string());
    }
    return files;
}

}  // namespace kestrel::install
