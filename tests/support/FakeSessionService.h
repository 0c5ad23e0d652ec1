#pragma once

// A fake of the session service's profile look-up on 127.0.0.1, and the
// texture host of the skins it names: GET /session/minecraft/profile/<id>
// answers the profile with its Base64 textures property, whose SKIN url
// points back to /texture/<id> here, which answers the skin picture given.

#include <map>
#include <optional>
#include <string>

#include "support/FakeServiceScript.h"
#include "support/HttpTestServer.h"

namespace kestrel::testing {

inline std::string TestBase64(const std::string& bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (left > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        out += left > 2 ? kAlphabet[group & 63] : '=';
    }
    return out;
}

class FakeSessionService {
public:
    FakeSessionService() {
        server_.server().Get(R"(/session/minecraft/profile/(.*))", [this](const auto& request, auto& response) {
            RequestCheck check(record_, request);
            check.Method("GET").InetDefaults(server_.Url(request.path));
            const std::string id = request.matches[1];
            std::lock_guard lock(mutex_);
            const auto skin = skins_.find(id);
            if (!check.ok() || skin == skins_.end()) {
                return SendAnswer(FakeAnswer::Empty(204), response, record_.stopping());
            }
            if (profile_override_) return SendAnswer(*profile_override_, response, record_.stopping());
            const std::string textures = "{\"timestamp\":1765328400000,\"profileId\":\"" + id +
                                         "\",\"profileName\":\"Player\",\"textures\":{\"SKIN\":{\"url\":\"" +
                                         server_.Url("/texture/" + id) + "\"}}}";
            SendAnswer(FakeAnswer::Json("{\"id\":\"" + id + "\",\"name\":\"Player\",\"properties\":[{\"name\":"
                                        "\"textures\",\"value\":\"" +
                                        TestBase64(textures) + "\"}]}"),
                       response, record_.stopping());
        });
        server_.server().Get(R"(/texture/(.*))", [this](const auto& request, auto& response) {
            RequestCheck check(record_, request);
            check.Method("GET").InetDefaults(server_.Url(request.path));
            std::lock_guard lock(mutex_);
            const auto skin = skins_.find(request.matches[1]);
            if (!check.ok() || skin == skins_.end()) return SendAnswer(FakeAnswer::Empty(404), response, record_.stopping());
            response.set_content(skin->second, "image/png");
        });
    }
    ~FakeSessionService() { record_.stopping() = true; }

    std::string Url(const std::string& path = "") const { return server_.Url(path); }
    FakeServiceRecord& record() { return record_; }
    void AddSkin(const std::string& profile_id, std::string png) {
        std::lock_guard lock(mutex_);
        skins_[profile_id] = std::move(png);
    }
    void SetProfileAnswer(FakeAnswer answer) {
        std::lock_guard lock(mutex_);
        profile_override_ = std::move(answer);
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::string> skins_;
    std::optional<FakeAnswer> profile_override_;
    FakeServiceRecord record_;
    HttpTestServer server_;
};

}  // namespace kestrel::testing
