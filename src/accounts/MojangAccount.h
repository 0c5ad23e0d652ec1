#pragma once

// A Mojang account signed in from its account name (an e-mail address) and
// password: the check of what was typed, and the authentication that gives
// the account's first profile. The automatic sign-in renews a remembered
// Mojang account the same way, with the name and password the cache keeps
// (the cache keeps no Mojang refresh token).
//
// Threading: MojangInputProblem is pure; AuthenticateMojangAccount blocks,
// for a worker, and ends at once when the session's stop is requested.

#include <string>

#include "accounts/AccountRecord.h"
#include "net/Endpoints.h"
#include "net/HttpSession.h"
#include "platform/Result.h"

namespace kestrel::accounts {

// Why the account name and password cannot be sent as they are, or "" when
// they can: an empty name, a name without "@", an empty password.
std::string MojangInputProblem(const std::string& account, const std::string& password);

// Authenticates at the Mojang service and gives the first profile of the
// account (name, id and the two tokens). The error is what the service
// answered, as MojangAuthenticate names it (kMojangNoProfiles for an
// account without a profile).
Result<AccountRecord> AuthenticateMojangAccount(const net::HttpSession& session, const net::Endpoints& endpoints,
                                                const std::string& account, const std::string& password);

}  // namespace kestrel::accounts
