#pragma once

// A fake of the Microsoft identity platform's device authorization grant on
// 127.0.0.1: the device-code endpoint and the token endpoint (device-code
// polls and refresh-token grants). It checks every request byte for byte
// and answers as the service does: a device code, then the scripted poll
// answers (authorization_pending until the approval, by default), and a
// new token pair for the one refresh token it knows.

#include <string>
#include <vector>

#include "support/FakeServiceScript.h"
#include "support/HttpTestServer.h"

namespace kestrel::testing {

class FakeMicrosoftService {
public:
    static constexpr const char* kClientId = "0f3c9a2e-5b7d-4e61-8a4c-2d9e7b1f6c30";
    static constexpr const char* kUserCode = "KX7P-Q2MB";
    static constexpr const char* kDeviceCode = "DAQABAAEAAAD--DeviceCode-1";
    static constexpr const char* kVerificationUri = "https://www.microsoft.com/link";
    static constexpr const char* kAccessToken = "EwAYA+l3BAAU-ms-access";
    static constexpr const char* kRefreshToken = "M.C105_BAY.-ms-refresh";
    static constexpr const char* kKnownRefreshToken = "M.C105_BAY.-stored-refresh";
    static constexpr const char* kRefreshedAccessToken = "EwAYA+l3BAAU-ms-access-2";
    static constexpr const char* kRefreshedRefreshToken = "M.C105_BAY.-ms-refresh-2";

    FakeMicrosoftService() {
        device_code_.Set({DeviceCodeAnswer(5)});
        polls_.Set({Pending(), Approved()});
        server_.server().Post("/common/oauth2/v2.0/devicecode", [this](const auto& request, auto& response) {
            RequestCheck check(record_, request);
            check.Method("POST")
                .Header("Content-Type", "application/x-www-form-urlencoded")
                .NoHeader("User-Agent")
                .Body(std::string("client_id=") + kClientId +
                      "&scope=user.read.all XboxLive.signin offline_access%20openid%20profile");
            if (!check.ok()) return SendAnswer(FakeAnswer::Empty(400), response, record_.stopping());
            SendAnswer(device_code_.Next(), response, record_.stopping());
        });
        server_.server().Post("/common/oauth2/v2.0/token", [this](const auto& request, auto& response) {
            if (request.body.starts_with("grant_type=")) return Poll(request, response);
            Refresh(request, response);
        });
    }
    ~FakeMicrosoftService() { record_.stopping() = true; }

    std::string Url() const { return server_.Url(); }
    FakeServiceRecord& record() { return record_; }

    void SetDeviceCode(FakeAnswer answer) { device_code_.Set({std::move(answer)}); }
    void SetPolls(std::vector<FakeAnswer> answers) { polls_.Set(std::move(answers)); }
    void SetRefresh(FakeAnswer answer) { refresh_.Set({std::move(answer)}); }

    static FakeAnswer DeviceCodeAnswer(int interval) {
        return FakeAnswer::Json(std::string("{\"user_code\":\"") + kUserCode + "\",\"device_code\":\"" + kDeviceCode +
                                "\",\"verification_uri\":\"" + kVerificationUri +
                                "\",\"expires_in\":900,\"interval\":" + std::to_string(interval) +
                                ",\"message\":\"To sign in, use a web browser to open the page "
                                "https://www.microsoft.com/link and enter the code KX7P-Q2MB to authenticate.\"}");
    }
    static FakeAnswer PollError(const std::string& error) {
        return FakeAnswer::Json("{\"error\":\"" + error + "\",\"error_description\":\"AADSTS70016: " + error +
                                    "\\r\\nTrace ID: 0\",\"error_codes\":[70016]}",
                                400);
    }
    static FakeAnswer Pending() { return PollError("authorization_pending"); }
    static FakeAnswer Approved() {
        return FakeAnswer::Json(std::string("{\"token_type\":\"Bearer\",\"scope\":\"XboxLive.signin\",\"expires_in\":3600,"
                                            "\"access_token\":\"") +
                                kAccessToken + "\",\"refresh_token\":\"" + kRefreshToken + "\",\"id_token\":\"e30\"}");
    }

private:
    void Poll(const httplib::Request& request, httplib::Response& response) {
        RequestCheck check(record_, request);
        check.Method("POST")
            .Header("Content-Type", "application/x-www-form-urlencoded")
            .Body(std::string("grant_type=urn:ietf:params:oauth:grant-type:device_code&client_id=") + kClientId +
                  "&device_code=" + kDeviceCode);
        if (!check.ok()) return SendAnswer(FakeAnswer::Empty(400), response, record_.stopping());
        SendAnswer(polls_.Next(), response, record_.stopping());
    }

    void Refresh(const httplib::Request& request, httplib::Response& response) {
        const std::string prefix =
            std::string("client_id=") + kClientId + "&scope=user.read.all XboxLive.signin offline_access&refresh_token=";
        const std::string suffix = "&grant_type=refresh_token";
        RequestCheck check(record_, request);
        check.Method("POST").Header("Content-Type", "application/x-www-form-urlencoded");
        const std::string& body = request.body;
        if (!body.starts_with(prefix) || !body.ends_with(suffix) || body.size() < prefix.size() + suffix.size()) {
            record_.Problem("refresh body " + body);
            return SendAnswer(FakeAnswer::Empty(400), response, record_.stopping());
        }
        if (!refresh_.Empty()) return SendAnswer(refresh_.Next(), response, record_.stopping());
        const std::string token = body.substr(prefix.size(), body.size() - prefix.size() - suffix.size());
        if (token != kKnownRefreshToken) {
            return SendAnswer(
                FakeAnswer::Json("{\"error\":\"invalid_grant\",\"error_description\":\"AADSTS70000: The provided "
                                 "value for the 'refresh_token' is not valid.\",\"error_codes\":[70000]}",
                                 400),
                response, record_.stopping());
        }
        SendAnswer(FakeAnswer::Json(std::string("{\"token_type\":\"Bearer\",\"expires_in\":3600,\"access_token\":\"") +
                                    kRefreshedAccessToken + "\",\"refresh_token\":\"" + kRefreshedRefreshToken + "\"}"),
                   response, record_.stopping());
    }

    FakeServiceRecord record_;
    AnswerQueue device_code_;
    AnswerQueue polls_;
    AnswerQueue refresh_;
    HttpTestServer server_;
};

}  // namespace kestrel::testing
