#pragma once

// The record of an offline account: the typed name and the UUID derived from
// it, with no token and no network request.
//
// Threading: a pure function; any thread may call it.

#include <string>

#include "accounts/AccountRecord.h"
#include "platform/Result.h"

namespace kestrel::accounts {

inline constexpr const char* kEmptyOfflineName = "未知的用户名: 用户名为空!";

// The offline record of name, exactly as typed (spaces count), or
// kEmptyOfflineName for an empty name. An offline player carries no token
// of an account signed in before: the previous account's access token must
// not reach a game started offline (the launch makes a random one for an
// empty token).
Result<AccountRecord> OfflineAccount(const std::string& name);

}  // namespace kestrel::accounts
