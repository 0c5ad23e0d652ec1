#pragma once

// A runtime index on a local file server, as Mojang's serves one: one
// component for linux, its manifest, and its files served raw.

#include <string>
#include <vector>

#include "download/FileServer.h"
#include "platform/Sha1.h"

namespace kestrel::testing {

struct RuntimeFile {
    std::string path;  // inside the runtime, with "/"
    std::string bytes;
    bool executable = false;
};

// The "downloads" member of a file served at url_path.
inline std::string RuntimeDownload(const FileServer& server, const std::string& url_path, const std::string& bytes) {
    return R"({"sha1": ")" + platform::Sha1Hex(*platform::Sha1Of(bytes)) + R"(", "size": )" +
           std::to_string(bytes.size()) + R"(, "url": ")" + server.Url(url_path) + R"("})";
}

// Serves each file at /raw/<path>, the manifest at /manifest.json and the
// index naming the component's one release at /all.json.
inline void ServeRuntime(FileServer& server, const std::string& component, const std::string& version,
                         const std::vector<RuntimeFile>& files) {
    std::string members;
    for (const RuntimeFile& file : files) {
        server.Put("/raw/" + file.path, file.bytes);
        if (!members.empty()) members += ", ";
        members += "\"" + file.path + R"(": {"type": "file", "executable": )" + (file.executable ? "true" : "false") +
                   R"(, "downloads": {"raw": )" + RuntimeDownload(server, "/raw/" + file.path, file.bytes) + "}}";
    }
    const std::string manifest = R"({"files": {)" + members + "}}";
    server.Put("/manifest.json", manifest);
    server.Put("/all.json", R"({"linux": {")" + component + R"(": [{"manifest": )" +
                                RuntimeDownload(server, "/manifest.json", manifest) + R"(, "version": {"name": ")" +
                                version + R"("}}]}})");
}

}  // namespace kestrel::testing
