#pragma once

// The parts of the account panel that every sign-in shares: the player's
// skin and head picture (shown and written to the data folder), the
// account-type badge and the signed-in look, and the session the sign-in
// requests go through.
//
// Threading: for the sign-in workers and handlers; the surface calls are
// safe from any thread.

#include <stop_token>
#include <string>

#include "accounts/SignInContext.h"

namespace kestrel::accounts {

// The head picture of a skin is this many pixels square.
inline constexpr int kHeadSize = 80;

// The session of one sign-in: the context's options, ended by stop.
net::HttpSession SignInSession(const SignInContext& ctx, std::stop_token stop);

// A path inside the data folder, as the machine names it.
std::string DataFile(const SignInContext& ctx, const std::string& name);

// Makes the skin the current one, shows its 80-pixel head in 用户头像, and
// writes UserSkin.png and UserHead.png into the data folder.
void ShowPlayerSkin(SignInContext& ctx, const std::string& skin_png);

// Gives 在线图标 the badge picture (badge-offline.png, ...) and shows it.
void ShowBadge(SignInContext& ctx, const char* badge_asset);

// The message box of a failed sign-in: the text, the caption, the error icon.
void ShowFailure(SignInContext& ctx, const std::string& text, const std::string& caption = "登录失败");

// Writes the cache text to the account cache file.
void StoreAccountCache(SignInContext& ctx, const std::string& text);

}  // namespace kestrel::accounts
