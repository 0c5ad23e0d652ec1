#pragma once

// A fake of the Xbox Live user authentication, XSTS authorization and
// Minecraft services on 127.0.0.1 (one server; the four paths differ). It
// checks each request's method, headers and body byte for byte against
// what the protocol needs for the token it expects (the launcher's JSON
// writer escapes "/" as "\/", which JSON allows), and answers as the
// services do: a user token, an XSTS token with its user hash, a Minecraft
// access token and the profile. Any step's answer can be replaced.

#include <map>
#include <string>

#include "support/FakeServiceScript.h"
#include "support/HttpTestServer.h"

namespace kestrel::testing {

class FakeXboxServices {
public:
    static constexpr const char* kUserToken = "eyJ-xbl-user-token";
    static constexpr const char* kXstsToken = "eyJ-xsts-token";
    static constexpr const char* kUserHash = "2535428504476914";
    static constexpr const char* kMinecraftToken = "eyJ-minecraft-access";
    static constexpr const char* kProfileId = "4566e69fc90748ee8d71d7ba5aa00d20";
    static constexpr const char* kProfileName = "Thinkofdeath";

    enum Step { kUser, kXsts, kLogin, kProfile };

    explicit FakeXboxServices(std::string microsoft_access_token) : microsoft_token_(std::move(microsoft_access_token)) {
        auto& s = server_.server();
        s.Post("/user/authenticate", [this](const auto& request, auto& response) {
            RequestCheck check(record_, request);
            check.Method("POST")
                .Header("Accept", "application/json")
                .Header("Content-Type", "application/json")
                .Header("x-xbl-contract-version", "1")
                .NoHeader("User-Agent")
                .Body("{\"Properties\":{\"AuthMethod\":\"RPS\",\"SiteName\":\"user.auth.xboxlive.com\","
                      "\"RpsTicket\":\"d=" +
                      Token() + "\"},\"RelyingParty\":\"http:\\/\\/auth.xboxlive.com\",\"TokenType\":\"JWT\"}");
            Answer(check, kUser,
                   FakeAnswer::Json(std::string("{\"IssueInstant\":\"2026-12-10T01:00:00.0Z\",\"NotAfter\":"
                                                "\"2026-12-24T01:00:00.0Z\",\"Token\":\"") +
                                    kUserToken + "\",\"DisplayClaims\":{\"xui\":[{\"uhs\":\"" + kUserHash + "\"}]}}"),
                   response);
        });
        s.Post("/xsts/authorize", [this](const auto& request, auto& response) {
            RequestCheck check(record_, request);
            check.Method("POST")
                .Header("Content-Type", "application/json")
                .NoHeader("User-Agent")
                .Body(std::string("{\"Properties\":{\"SandboxId\":\"RETAIL\",\"UserTokens\":[\"") + kUserToken +
                      "\"]},\"RelyingParty\":\"rp:\\/\\/api.minecraftservices.com\\/\",\"TokenType\":\"JWT\"}");
            Answer(check, kXsts, XstsAnswer(kXstsToken, kUserHash), response);
        });
        s.Post("/authentication/login_with_xbox", [this](const auto& request, auto& response) {
            RequestCheck check(record_, request);
            check.Method("POST")
                .Header("Content-Type", "application/json")
                .Header("Accept", "application/json")
                .Header("Referer", server_.Url("/authentication/login_with_xbox"))
                .Header("Accept-Language", "zh-cn")
                .Header("User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)")
                .Body(std::string("{\"identityToken\":\"XBL3.0 x=") + kUserHash + ";" + kXstsToken + "\"}");
            Answer(check, kLogin,
                   FakeAnswer::Json(std::string("{\"username\":\"c7d1a2b0-0000\",\"roles\":[],\"access_token\":\"") +
                                    kMinecraftToken + "\",\"token_type\":\"Bearer\",\"expires_in\":86400}"),
                   response);
        });
        s.Get("/minecraft/profile", [this](const auto& request, auto& response) {
            RequestCheck check(record_, request);
            check.Method("GET")
                .InetDefaults(server_.Url("/minecraft/profile"))
                .Header("Authorization", std::string("Bearer ") + kMinecraftToken)
                .Body("");
            Answer(check, kProfile,
                   FakeAnswer::Json(std::string("{\"id\":\"") + kProfileId + "\",\"name\":\"" + kProfileName +
                                    "\",\"skins\":[{\"id\":\"6a6e65e5\",\"state\":\"ACTIVE\",\"variant\":\"CLASSIC\"}],"
                                    "\"capes\":[]}"),
                   response);
        });
    }
    ~FakeXboxServices() { record_.stopping() = true; }

    std::string Url() const { return server_.Url(); }
    FakeServiceRecord& record() { return record_; }
    void SetAnswer(Step step, FakeAnswer answer) {
        std::lock_guard lock(mutex_);
        overrides_[step] = std::move(answer);
    }
    void SetMicrosoftToken(std::string token) {
        std::lock_guard lock(mutex_);
        microsoft_token_ = std::move(token);
    }

    static FakeAnswer XstsAnswer(const std::string& token, const std::string& hash) {
        return FakeAnswer::Json("{\"IssueInstant\":\"2026-12-10T01:00:00.0Z\",\"Token\":\"" + token +
                                "\",\"DisplayClaims\":{\"xui\":[{\"uhs\":\"" + hash + "\"}]}}");
    }
    // The refusal of an account XSTS will not authorise.
    static FakeAnswer XErr(const std::string& code) {
        return FakeAnswer::Json("{\"Identity\":\"0\",\"XErr\":" + code +
                                    ",\"Message\":\"\",\"Redirect\":\"https://start.ui.xboxlive.com/CreateAccount\"}",
                                401);
    }

private:
    std::string Token() const {
        std::lock_guard lock(mutex_);
        return microsoft_token_;
    }
    void Answer(const RequestCheck& check, Step step, FakeAnswer fallback, httplib::Response& response) {
        if (!check.ok()) return SendAnswer(FakeAnswer::Empty(400), response, record_.stopping());
        {
            std::lock_guard lock(mutex_);
            if (const auto it = overrides_.find(step); it != overrides_.end()) fallback = it->second;
        }
        SendAnswer(fallback, response, record_.stopping());
    }

    mutable std::mutex mutex_;
    std::string microsoft_token_;
    std::map<Step, FakeAnswer> overrides_;
    FakeServiceRecord record_;
    HttpTestServer server_;
};

}  // namespace kestrel::testing
