#pragma once

// The chain that turns a Microsoft access token into a Minecraft access
// token and profile, in four requests: Xbox Live user authentication, XSTS
// authorization for the Minecraft services, the Minecraft login with the
// Xbox token, and the profile look-up. The device-code sign-in runs it in
// callback mode (progress, failure and the finished record go to a report,
// which the shell shows in the window); the automatic sign-in in return
// mode (the record replaces the caller's).
//
// A failed step's message is the step's fixed text, followed by ": " and
// the reason when the service gave one (the meaning of an XSTS XErr code,
// an errorMessage, ...). The chain writes nothing to the account cache.
//
// Threading: blocking, for a worker; the report runs on the calling thread.

#include <functional>
#include <string>

#include "accounts/AccountRecord.h"
#include "net/Endpoints.h"
#include "net/HttpSession.h"

namespace kestrel::accounts {

// How a sign-in reports its progress: (record, 0, "") on success,
// (nullptr, 0, message) for progress, (nullptr, 1, message) for a failure.
using SignInReport = std::function<void(const AccountRecord* record, int failed, const std::string& message)>;

inline constexpr const char* kXboxProgress = "正在进行Xbox验证";
inline constexpr const char* kXboxFailed = "XBox验证失败";
inline constexpr const char* kXstsProgress = "正在进行XSTS验证";
inline constexpr const char* kXstsFailed = "XSTS验证失败";
inline constexpr const char* kLoginProgress = "正在进行账号验证";
inline constexpr const char* kLoginFailed = "验证登录时出现了错误";
inline constexpr const char* kProfileProgress = "正在获取用户UUID";
inline constexpr const char* kProfileFailed = "获取用户UUID时失败";

// The request bodies of steps 1 to 3.
std::string XboxUserBody(const std::string& microsoft_access_token);
std::string XstsBody(const std::string& user_token);
std::string MinecraftLoginBody(const std::string& user_hash, const std::string& xsts_token);

// Runs the chain. With a report (callback mode) every step's progress and a
// failure are reported, and the finished record goes to the report; without
// one (return mode) the finished record replaces *record. On failure the
// caller's record is untouched. The result is "" or the failure message.
std::string RunXboxChain(const net::HttpSession& session, const net::Endpoints& endpoints,
                         const std::string& microsoft_access_token, const std::string& microsoft_refresh_token,
                         const SignInReport& report, AccountRecord* record);

}  // namespace kestrel::accounts
