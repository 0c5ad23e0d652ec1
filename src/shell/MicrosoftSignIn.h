#pragma once

// The window part of the Microsoft device-code sign-in: the report that
// shows the polling's and the chain's progress (accounts::PollForToken), and
// the completion that signs the finished profile in.
//
// Threading: for the sign-in worker.

#include <stop_token>
#include <string>

#include "accounts/XboxChain.h"
#include "shell/SignInContext.h"

namespace kestrel::shell {

inline constexpr const char* kMicrosoftBusy = "Tern核心正在进行微软登陆验证,请等待前一个验证执行完毕";

// The report of the interactive sign-in: progress, failure and success as
// the window shows them. The bar stands at progress when the report is made
// and moves one step per chain step (50, 60, 70, 80); the report keeps the
// value itself, so the worker never reads the bar back from the window.
// Reports after stop are dropped.
accounts::SignInReport MicrosoftWindowReport(SignInContext& ctx, std::stop_token stop, int progress);

// Signs the finished Microsoft profile in (skin, state 2, cache, look).
void CompleteMicrosoftSignIn(SignInContext& ctx, std::stop_token stop, const accounts::AccountRecord& record);

}  // namespace kestrel::shell
