#pragma once

// Fetches the skin of a Mojang or Microsoft profile from the session
// service: the profile's textures property (Base64 JSON) names the skin's
// URL, and the answer there is the skin.
//
// Threading: blocking, for a worker; shares nothing.

#include <string>

#include "net/Endpoints.h"
#include "net/HttpSession.h"

namespace kestrel::accounts {

// True for a profile id the session service can be asked about: 32
// hexadecimal digits. Anything else (a path, a query) never reaches a URL.
bool IsProfileId(const std::string& uuid);

// The skin's PNG bytes, or "" when the id is not a profile id, a request
// fails, a member is missing or the answer is not a PNG picture.
std::string FetchSkin(const net::HttpSession& session, const net::Endpoints& endpoints, const std::string& uuid);

}  // namespace kestrel::accounts
