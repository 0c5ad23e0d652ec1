#include "accounts/TokenRefresh.h"

#include "accounts/MicrosoftService.h"
#include "accounts/XboxChain.h"

namespace kestrel::accounts {

Result<AccountRecord> RefreshMicrosoftAccount(const net::HttpSession& session, const net::Endpoints& endpoints,
                                              const std::string& client_id, const std::string& refresh_token) {
    const TokenAnswer answer = PostToken(session, endpoints, RefreshBody(client_id, refresh_token));
    if (!answer.parsed) return Error{kMicrosoftNoAnswer};
    if (!answer.error.empty()) return Error{answer.description.empty() ? answer.error : answer.description};
    if (answer.access_token.empty()) return Error{kMicrosoftNoAnswer};
    // The service may keep the refresh token as it is and send none back;
    // the old one then stays valid and is what the cache must keep.
    const std::string new_refresh = answer.refresh_token.empty() ? refresh_token : answer.refresh_token;
    AccountRecord record;
    const std::string failure = RunXboxChain(session, endpoints, answer.access_token, new_refresh, nullptr, &record);
    if (!failure.empty()) return Error{failure};
    return record;
}

}  // namespace kestrel::accounts
