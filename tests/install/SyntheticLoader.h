#pragma once

// A small synthetic Fabric or Quilt loader for the synthetic game version
// (SyntheticVersion.h), served from the same FileServer: the metadata
// service's list of loader versions and the profile of one of them, whose
// libraries come from the loader's Maven repository, one with its sha1 and
// size in the profile and one without (checked against the repository's
// .sha1 file). The official hosts are sent to the server's folders by
// origin lines, as KESTREL_ENDPOINTS does.

#include <map>
#include <string>
#include <vector>

#include "install/SyntheticVersion.h"

namespace kestrel::install {

struct SyntheticLoader {
    std::string game = "1.7.2-test";
    std::string version;
    std::string id_prefix;
    // The metadata service: its folder on the server and its API's path.
    std::string meta_folder;
    std::string api;
    // The Maven repository: the official base the profile names, and the
    // server's folder that stands for it.
    std::string maven_url;
    std::string maven_folder;
    std::string group;
    std::string artifact;
    // The list of versions, as the service sends it.
    std::string list;
    // The libraries' bytes, and fields a test replaces.
    std::string helper_jar = Bytes(800, 21);
    std::string loader_jar = Bytes(1200, 22);
    std::string helper_sha1;  // the jar's real hash unless set
    std::string helper_name = "org.ow2.asm:asm:9.7";
    std::string profile_id;    // Id() unless set
    std::string inherits_from;  // game unless set

    std::string Id() const { return id_prefix + "-" + version + "-" + game; }
    std::string LoaderName() const { return group + ":" + artifact + ":" + version; }
    std::string LoaderPath() const {
        std::string folder = group;
        for (char& c : folder) {
            if (c == '.') c = '/';
        }
        return folder + "/" + artifact + "/" + version + "/" + artifact + "-" + version + ".jar";
    }
    static std::string HelperPath() { return "org/ow2/asm/asm/9.7/asm-9.7.jar"; }

    // Pretty-printed, as the services send it, so that a byte-for-byte
    // comparison means something; an "id" inside a member is not the id.
    std::string Profile() const {
        const std::string sha1 = helper_sha1.empty() ? HexSha1(helper_jar) : helper_sha1;
        return "{\n  \"id\": \"" + (profile_id.empty() ? Id() : profile_id) + "\",\n  \"inheritsFrom\": \"" +
               (inherits_from.empty() ? game : inherits_from) +
               "\",\n  \"type\": \"release\",\n  \"mainClass\": \"net.example.loader.Knot\",\n"
               "  \"arguments\": {\"game\": [], \"jvm\": [\"-Dloader.id=x\"]},\n"
               "  \"custom\": {\"id\": \"not-the-version\"},\n"
               "  \"libraries\": [\n"
               "    {\"name\": \"" + helper_name + "\", \"url\": \"" + maven_url + "\", \"sha1\": \"" + sha1 +
               "\", \"size\": " + std::to_string(helper_jar.size()) + "},\n"
               "    {\"name\": \"" + LoaderName() + "\", \"url\": \"" + maven_url + "\"}\n"
               "  ]\n}\n";
    }

    std::string ProfilePath() const {
        return meta_folder + "/" + api + "/versions/loader/" + game + "/" + version + "/profile/json";
    }
    std::string ListPath() const { return meta_folder + "/" + api + "/versions/loader/" + game; }

    void Serve(testing::FileServer& server) const {
        server.Put(ListPath(), list);
        server.Put(ProfilePath(), Profile());
        server.Put(maven_folder + HelperPath(), helper_jar);
        server.Put(maven_folder + HelperPath() + ".sha1", HexSha1(helper_jar));
        server.Put(maven_folder + LoaderPath(), loader_jar);
        server.Put(maven_folder + LoaderPath() + ".sha1", HexSha1(loader_jar));
    }

    // The loader's own files below the game folder.
    std::map<std::string, std::string> Layout(const std::string& id) const {
        return {
            {"libraries/" + HelperPath(), helper_jar},
            {"libraries/" + LoaderPath(), loader_jar},
            {"versions/" + id + "/" + id + ".json", Profile()},
        };
    }
};

inline std::string LoaderEntry(const std::string& version, const std::string& stable) {
    return R"({"loader":{"separator":".","build":1,"maven":"x:y:)" + version + R"(","version":")" + version + "\"" +
           (stable.empty() ? "" : ",\"stable\":" + stable) + R"(},"intermediary":{"version":"1.7.2-test"}})";
}

inline SyntheticLoader FabricLoader() {
    SyntheticLoader loader;
    loader.version = "0.16.9";
    loader.id_prefix = "fabric-loader";
    loader.meta_folder = "/fabricmeta";
    loader.api = "v2";
    loader.maven_url = "https://maven.fabricmc.net/";
    loader.maven_folder = "/fabric/";
    loader.group = "net.fabricmc";
    loader.artifact = "fabric-loader";
    loader.list = "[" + LoaderEntry("0.16.9", "true") + "," + LoaderEntry("0.16.10-beta.1", "false") + "]";
    return loader;
}

inline SyntheticLoader QuiltLoader() {
    SyntheticLoader loader;
    loader.version = "0.20.0";
    loader.id_prefix = "quilt-loader";
    loader.meta_folder = "/quiltmeta";
    loader.api = "v3";
    loader.maven_url = "https://maven.quiltmc.org/repository/release/";
    loader.maven_folder = "/quiltmaven/repository/release/";
    loader.group = "org.quiltmc";
    loader.artifact = "quilt-loader";
    // Quilt gives no stable flags.
    loader.list = "[" + LoaderEntry("0.20.0-beta.3", "") + "," + LoaderEntry("0.20.0", "") + "]";
    return loader;
}

// The origin lines for the loaders' hosts, beside OriginsTo's.
inline std::vector<net::OriginRule> LoaderOriginsTo(const testing::FileServer& server) {
    return {
        {"https://meta.fabricmc.net", server.Url("/fabricmeta")},
        {"https://meta.quiltmc.org", server.Url("/quiltmeta")},
        {"https://maven.quiltmc.org", server.Url("/quiltmaven")},
    };
}

}  // namespace kestrel::install
