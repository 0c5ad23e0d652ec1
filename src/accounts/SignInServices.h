#pragma once

// SignInServices is what the window-free part of a sign-in works with: the
// account values, the clock its waits go through, the service addresses and
// the options of its requests, the account cache, the data folder KSTfiles
// where the player's skin is kept, the host profile and the OAuth client id.
// The shell's sign-in context adds the window to it (shell::SignInContext);
// a token refresh for the command line or a download window needs nothing
// more than this.
//
// The functions below are the steps every sign-in shares: the bounded
// session of its requests, the player's skin fetched and kept, and the
// account cache read, written and deleted.
//
// Threading: the references are fixed for the value's life; each object
// documents its own contract. The plain members are read, never written, by
// the functions below. Every function may run on any thread; those that take
// a stop token block and are meant for a worker.

#include <stop_token>
#include <string>

#include "accounts/AccountState.h"
#include "net/Endpoints.h"
#include "net/HttpSession.h"
#include "platform/Clock.h"
#include "platform/HostProfile.h"

namespace kestrel::accounts {

struct SignInServices {
    AccountState& accounts;
    platform::Clock& clock;
    net::Endpoints endpoints;
    std::string account_cache_path;
    std::string data_folder;  // KSTfiles, in the host profile's form
    platform::HostProfile host;
    std::string oauth_client_id;
    // Time-outs and trusted certificates of the sign-in requests; the
    // session's defaults unless a test shortens them.
    net::HttpOptions http;
};

// The head picture of a skin is this many pixels square.
inline constexpr int kHeadSize = 80;

// The session of one sign-in: the services' options, each request ended
// within a minute and its answer bounded, ended at once by stop.
net::HttpSession SignInSession(const SignInServices& services, std::stop_token stop);

// A path inside the data folder, as the machine names it.
std::string DataFile(const SignInServices& services, const std::string& name);

// The skin of a profile from the session service; "" when it has none.
std::string FetchPlayerSkin(const SignInServices& services, std::stop_token stop, const std::string& uuid);

// Makes the skin the current one and writes UserSkin.png and its 80-pixel
// head UserHead.png into the data folder. Returns the head picture.
std::string SavePlayerSkin(const SignInServices& services, const std::string& skin_png);

// Writes the cache text to the account cache file. A failed write is not
// reported: the sign-in stands for this run.
void StoreAccountCache(const SignInServices& services, const std::string& text);

// The options loader's step at start-up: the account cache into the account
// record and the values for the automatic sign-in. An empty or missing
// cache changes nothing, so no automatic sign-in runs.
void ReadAccountCacheAtStart(const SignInServices& services);

// Signs the account out: state 0 and the cache deleted. The record and the
// launch texts stay; the state is what marks the account as gone.
void SignOutAccount(const SignInServices& services);

}  // namespace kestrel::accounts
