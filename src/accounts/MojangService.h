#pragma once

// The Mojang authentication service (the Yggdrasil protocol): authenticate
// an account name and password, which gives an access token and the game
// profiles of the account, and sign an account out.
//
// Threading: blocking calls for a worker; they share nothing, so any number
// may run at once. A stop on the session's token ends a request at once.

#include <string>
#include <vector>

#include "accounts/AccountRecord.h"
#include "net/Endpoints.h"
#include "net/HttpSession.h"

namespace kestrel::accounts {

inline constexpr const char* kMojangSuccess = "账号验证成功";
inline constexpr const char* kMojangNoProfiles = "未发现角色，请检查后重试";
inline constexpr const char* kMojangApiError = "验证API错误，请检查认证地址是否正确";
inline constexpr const char* kMojangServerError = "Whoops, looks like something went wrong.";
inline constexpr const char* kMojangUnknown = "未知错误或服务器访问失败";
inline constexpr const char* kMojangSignedOut = "账号退出成功";

// The body of the authenticate request: {"agent":{"name":"Minecraft",
// "version":"1"},"username":...,"password":...,"requestUser":"true"}.
std::string MojangAuthenticateBody(const std::string& account, const std::string& password);

// POSTs to <mojang_auth>/authenticate (once more through the second request
// path when the first gives nothing) and fills profiles, emptied first, with
// one record per available profile (name, id, the two tokens). The result is
// kMojangSuccess, kMojangNoProfiles, "error:message" for a refusal, or one of
// the texts above for an answer that is not JSON.
std::string MojangAuthenticate(const net::HttpSession& session, const net::Endpoints& endpoints,
                               const std::string& account, const std::string& password,
                               std::vector<AccountRecord>& profiles);

// POSTs {"username":...,"password":...} to <mojang_auth>/signout:
// kMojangSignedOut for an empty answer, the service's errorMessage for its
// two known refusals, kMojangUnknown otherwise.
std::string MojangSignOut(const net::HttpSession& session, const net::Endpoints& endpoints,
                          const std::string& account, const std::string& password);

}  // namespace kestrel::accounts
