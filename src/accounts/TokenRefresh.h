#pragma once

// The refresh of a remembered Microsoft (or Authlib) account: its refresh
// token gives a new Microsoft access token, which the Xbox Live chain turns
// into a new Minecraft token and the current profile. It needs no window, so
// the automatic sign-in, the command line and a download window all renew an
// account this way. (A Mojang account is renewed by authenticating its
// remembered name and password again: AuthenticateMojangAccount.)
//
// Threading: blocking, for a worker; shares nothing. A stop on the session's
// token ends a request at once.

#include <string>

#include "accounts/AccountRecord.h"
#include "net/Endpoints.h"
#include "net/HttpSession.h"
#include "platform/Result.h"

namespace kestrel::accounts {

// The renewed record (profile name and id, Minecraft token, refresh token),
// or the text for the player: the service's error_description (its error
// when it gives none), kMicrosoftNoAnswer for no usable answer, or the
// failed chain step's message. When the service sends no new refresh token
// the old one stays valid and is the record's.
Result<AccountRecord> RefreshMicrosoftAccount(const net::HttpSession& session, const net::Endpoints& endpoints,
                                              const std::string& client_id, const std::string& refresh_token);

}  // namespace kestrel::accounts
