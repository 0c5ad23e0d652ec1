#include "accounts/MicrosoftService.h"

#include <algorithm>

#include "accounts/ServiceAnswers.h"
#include "net/JsonDocument.h"
#include "net/RequestHeaders.h"

namespace kestrel::accounts {

namespace {

constexpr const char* kFormHeader = "Content-Type: application/x-www-form-urlencoded";

}  // namespace

std::string DeviceCodeBody(const std::string& client_id) {
    return "client_id=" + client_id + "&scope=user.read.all XboxLive.signin offline_access%20openid%20profile";
}

std::string TokenPollBody(const std::string& client_id, const std::string& device_code) {
    return "grant_type=urn:ietf:params:oauth:grant-type:device_code&client_id=" + client_id +
           "&device_code=" + device_code;
}

std::string RefreshBody(const std::string& client_id, const std::string& refresh_token) {
    return "client_id=" + client_id + "&scope=user.read.all XboxLive.signin offline_access" +
           "&refresh_token=" + refresh_token + "&grant_type=refresh_token";
}

DeviceCode RequestDeviceCode(const net::HttpSession& session, const net::Endpoints& endpoints,
                             const std::string& client_id) {
    DeviceCode code;
    const std::string text = net::ResponseText(Bounded(session.CurlRequest(
        endpoints.Url("microsoft_login", "/common/oauth2/v2.0/devicecode"), net::kPost, DeviceCodeBody(client_id),
        kFormHeader)));
    net::JsonDocument answer;
    if (!answer.Parse(text)) {
        code.error = kMicrosoftNoAnswer;
        return code;
    }
    const std::string error = answer.GetText("error");
    if (!error.empty()) {
        // A refusal without a description must still read as a refusal.
        code.error = answer.GetText("error_description");
        if (code.error.empty()) code.error = error;
        return code;
    }
    code.user_code = answer.GetText("user_code");
    code.device_code = answer.GetText("device_code");
    code.verification_uri = answer.GetText("verification_uri");
    // Without the codes there is nothing to show or poll for.
    if (code.user_code.empty() || code.device_code.empty()) {
        code = DeviceCode{};
        code.error = kMicrosoftNoAnswer;
        return code;
    }
    // Kept in range so that the wait (interval + 1 s, in milliseconds)
    // neither overflows nor runs backwards.
    code.interval = std::clamp<std::int64_t>(answer.GetInteger("interval"), 0, kMaxPollInterval);
    return code;
}

TokenAnswer PostToken(const net::HttpSession& session, const net::Endpoints& endpoints, const std::string& body) {
    TokenAnswer token;
    const std::string text = net::ResponseText(Bounded(session.CurlRequest(
        endpoints.Url("microsoft_login", "/common/oauth2/v2.0/token"), net::kPost, body, kFormHeader)));
    net::JsonDocument answer;
    if (!answer.Parse(text)) return token;
    token.parsed = true;
    token.error = answer.GetText("error");
    token.description = answer.GetText("error_description");
    token.access_token = answer.GetText("access_token");
    token.refresh_token = answer.GetText("refresh_token");
    return token;
}

}  // namespace kestrel::accounts
