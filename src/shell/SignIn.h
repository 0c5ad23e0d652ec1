#pragma once

// The sign-in flows of the account panel, and the entry points the start-up
// calls:
//
//   WireSignIn             installs the handlers of 登录按钮, 登录方式,
//                          注销按钮, 微软登录_取消登录 and Mojang登录_提示2;
//   LayOutAccountPanel     the panel's fields for the type in 登录方式;
//   AutomaticSignIn        the start-up worker's sign-in of the remembered
//                          account.
//
// (The options loader's reading of the account cache needs no window:
// accounts::ReadAccountCacheAtStart.)
//
// Each flow is the window part of a window-free step in accounts/ (the
// offline record, the Mojang authentication, the device-code polling, the
// token refresh, the skin and the cache): it reads what the player typed,
// shows the progress and the result, and leaves the requests, the account
// values and the files to those steps.
//
// Every flow that waits or talks to a service runs on a worker of
// ctx.workers and waits through ctx.clock with its stop token, so shutdown
// and cancel end it at once. Failures are shown in message boxes; nothing is
// written to the account cache before a sign-in has succeeded.
//
// Threading: the handlers run on the user-interface thread and start
// workers; the worker functions below run on the calling worker and drive
// the window through ctx.main_window (which must be set).

#include <functional>
#include <stop_token>
#include <string>

#include "shell/SignInContext.h"

namespace kestrel::shell {

// The items of 登录方式.
inline constexpr const char* kMicrosoftItem = "Microsoft账户";
inline constexpr const char* kMojangItem = "Mojang账户";
inline constexpr const char* kOfflineItem = "离线账户";

// Minecraft's account-migration page, opened by the link Mojang登录_提示2.
inline constexpr const char* kMigrationPage = "https://www.minecraft.net/move";

// What every refused sign-in's message starts with.
inline constexpr const char* kSignInFailed = "登录失败!\r\n错误代码: ";

void WireSignIn(SignInContext& ctx);
void LayOutAccountPanel(SignInContext& ctx);
void AutomaticSignIn(SignInContext& ctx, std::stop_token stop,
                     const std::function<void(const std::string&, int)>& set_step);

// --- the flows, for the handlers and the automatic sign-in ---

// Signs in offline with the text of 账号 (on the calling thread).
void OfflineSignIn(SignInContext& ctx);
// The Mojang sign-in worker: reads 账号 and 密码.
void MojangSignIn(SignInContext& ctx, std::stop_token stop);
// The Microsoft sign-in worker: device code, then polling, then the chain.
void MicrosoftSignIn(SignInContext& ctx, std::stop_token stop);
// The cancel button of a running Microsoft sign-in.
void CancelMicrosoftSignIn(SignInContext& ctx);
// The sign-out button.
void SignOut(SignInContext& ctx);

}  // namespace kestrel::shell
