#pragma once

// The Microsoft identity platform as the launcher uses it: the device
// authorization grant (a device code, then polling the token endpoint until
// the player has approved the sign-in in the browser) and the refresh of a
// remembered account's tokens. Both ask for the scopes the Xbox Live chain
// needs.
//
// Threading: blocking calls for a worker; they share nothing. A stop on the
// session's token ends a request at once.

#include <cstdint>
#include <string>

#include "net/Endpoints.h"
#include "net/HttpSession.h"

namespace kestrel::accounts {

inline constexpr const char* kMicrosoftNoAnswer = "未知错误或服务器无响应，请检查您的网络连接是否正常";

// The form bodies, built by plain concatenation (no further encoding).
std::string DeviceCodeBody(const std::string& client_id);
std::string TokenPollBody(const std::string& client_id, const std::string& device_code);
std::string RefreshBody(const std::string& client_id, const std::string& refresh_token);

struct DeviceCode {
    std::string error;  // "" on success, else the text for the player
    std::string user_code;
    std::string device_code;
    std::string verification_uri;
    // Seconds between polls, as the service gave them (0 when missing),
    // kept within 0 .. kMaxPollInterval.
    std::int64_t interval = 0;
};

inline constexpr std::int64_t kMaxPollInterval = 300;

// POSTs to <microsoft_login>/common/oauth2/v2.0/devicecode. An answer that is
// not JSON, or lacks the codes, gives kMicrosoftNoAnswer; a refusal gives
// the service's error_description (its error when it has no description).
DeviceCode RequestDeviceCode(const net::HttpSession& session, const net::Endpoints& endpoints,
                             const std::string& client_id);

// One answer of the token endpoint.
struct TokenAnswer {
    bool parsed = false;      // the answer was JSON
    std::string error;        // `error` as sent
    std::string description;  // `error_description`
    std::string access_token;
    std::string refresh_token;
};

// POSTs a form body to <microsoft_login>/common/oauth2/v2.0/token.
TokenAnswer PostToken(const net::HttpSession& session, const net::Endpoints& endpoints, const std::string& body);

}  // namespace kestrel::accounts
