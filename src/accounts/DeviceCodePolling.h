#pragma once

// The waiting half of the Microsoft device-code sign-in: once the player has
// the code, the token endpoint is polled until the sign-in is approved, then
// the Xbox Live chain runs. Progress, failure and the finished record go to
// a SignInReport, so the caller decides how to show them (the shell's
// window, a terminal).
//
// Threading: blocking, for a worker; the report runs on the calling thread.
// Waits go through the services' clock with the stop token.

#include <cstdint>
#include <stop_token>
#include <string>

#include "accounts/SignInServices.h"
#include "accounts/XboxChain.h"

namespace kestrel::accounts {

// Polls the token endpoint every interval + 1 seconds (5 more after each
// slow_down, up to kMaxPollInterval) while the player approves the sign-in,
// then runs the chain in callback mode. A refusal (declined, bad code,
// expired) or an answer without a token is reported as a failure. Ends
// silently when stop is requested: a cancelled sign-in reports nothing.
void PollForToken(const SignInServices& services, std::stop_token stop, std::int64_t interval,
                  const SignInReport& report, const std::string& client_id, const std::string& device_code);

}  // namespace kestrel::accounts
