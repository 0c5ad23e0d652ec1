#pragma once

// The signed-in player as the launcher keeps it: the account record (what
// every sign-in writes), the launch texts (what the game's command line
// gets), the sign-in state, and what the account cache held at start-up for
// the automatic sign-in.
//
// Threading: plain value types. AccountState (AccountState.h) owns the live
// values and replaces each one whole under its lock.

#include <cstdint>
#include <string>

namespace kestrel::accounts {

// Who is signed in. The numbers are the launcher's own and stay as they are.
enum class SignInState : std::int32_t {
    kNobody = 0,
    kOffline = 1,
    kMicrosoft = 2,
    kMojang = 3,
    kAuthlib = 4,
};

struct AccountRecord {
    std::string name;
    std::string uuid;
    std::string access_token;
    std::string client_token;  // only the Mojang sign-in fills it; never cached
    std::string refresh_token;
    friend bool operator==(const AccountRecord&, const AccountRecord&) = default;
};

// The three texts the launch puts on the game's command line.
struct LaunchTexts {
    std::string name;
    std::string uuid;
    std::string access_token;
    friend bool operator==(const LaunchTexts&, const LaunchTexts&) = default;
};

// What the account cache held when it was read at start-up. A non-empty text
// is what makes the start-up run the automatic sign-in.
struct CachedAccount {
    std::string text;          // the whole cache, as read
    std::string name;          // NAME
    std::string account_type;  // ACCOUNTTYPE: MICROSOFT, MOJANG, OFFLINE, AUTHLIB or ""
    std::string account;       // ACCOUNT (Mojang e-mail)
    std::string password;      // PASSWORD (Mojang)
    friend bool operator==(const CachedAccount&, const CachedAccount&) = default;
};

}  // namespace kestrel::accounts
