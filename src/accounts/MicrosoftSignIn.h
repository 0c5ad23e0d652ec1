#pragma once

// The pieces of the Microsoft device-code sign-in: the polling of the token
// endpoint, the report that shows the sign-in's progress in the window, and
// the completion that signs the finished profile in.
//
// Threading: for the sign-in worker.

#include <cstdint>
#include <stop_token>
#include <string>

#include "accounts/SignInContext.h"
#include "accounts/XboxChain.h"

namespace kestrel::accounts {

inline constexpr const char* kMicrosoftBusy = "Tern核心正在进行微软登陆验证,请等待前一个验证执行完毕";

// Polls the token endpoint every interval + 1 seconds (5 more after each
// slow_down) while the player approves the sign-in, then runs the chain.
// Ends silently when stop is requested: a cancelled sign-in reports nothing.
void PollForToken(SignInContext& ctx, std::stop_token stop, std::int64_t interval, const SignInReport& report,
                  const std::string& client_id, const std::string& device_code);

// The report of the interactive sign-in: progress, failure and success as
// the window shows them. Reports after stop are dropped.
SignInReport MicrosoftWindowReport(SignInContext& ctx, std::stop_token stop);

// Signs the finished Microsoft profile in (skin, state 2, cache, look).
void CompleteMicrosoftSignIn(SignInContext& ctx, std::stop_token stop, const AccountRecord& record);

}  // namespace kestrel::accounts
