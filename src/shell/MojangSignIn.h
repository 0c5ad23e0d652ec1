#pragma once

// The window part of a Mojang sign-in, shared by the interactive sign-in and
// the automatic one: the authentication (accounts::AuthenticateMojangAccount)
// with the progress and the result shown, and the restoring of the sign-in
// controls after a failure.
//
// Threading: for the sign-in workers.

#include <stop_token>
#include <string>

#include "accounts/AccountRecord.h"
#include "shell/SignInContext.h"

namespace kestrel::shell {

// Whatever the service answered, a failed Mojang sign-in shows this.
inline constexpr const char* kMojangFailure =
    "登录失败!\r\n错误代码: 登录失败: 未知原因\r\n可能是因为:\r\n1.您的账号已被转移至微软账户\r\n"
    "2.账号或密码输入不正确\r\n3.连接至Mojang登录服务器失败";

// Signs the profile in: skin and head, state 3, launch texts, welcome, the
// cache in the Mojang layout with the account name and password, and the
// signed-in look.
void CompleteMojangSignIn(SignInContext& ctx, std::stop_token stop, const accounts::AccountRecord& profile,
                          const std::string& account, const std::string& password);

// Authenticates account and password at the Mojang service and signs its
// first profile in; on a failure shows kMojangFailure and restores the
// sign-in controls. Nothing is shown once stop is requested.
void AuthenticateAndCompleteMojang(SignInContext& ctx, std::stop_token stop, const std::string& account,
                                   const std::string& password);

// Enables 登录按钮, hides the progress and shows the migration notice.
void RestoreMojangControls(SignInContext& ctx);

}  // namespace kestrel::shell
