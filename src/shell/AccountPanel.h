#pragma once

// The parts of the account panel that every sign-in shares: the player's
// skin and head picture, the account-type badge and the failure message.
//
// Threading: for the sign-in workers and handlers; the surface calls are
// safe from any thread.

#include <string>

#include "shell/SignInContext.h"

namespace kestrel::shell {

// Makes the skin the current one and keeps it in the data folder
// (accounts::SavePlayerSkin), and shows its 80-pixel head in 用户头像.
void ShowPlayerSkin(SignInContext& ctx, const std::string& skin_png);

// Gives 在线图标 the badge picture (badge-offline.png, ...) and shows it.
void ShowBadge(SignInContext& ctx, const char* badge_asset);

// The message box of a failed sign-in: the text, the caption, the error icon.
void ShowFailure(SignInContext& ctx, const std::string& text, const std::string& caption = "登录失败");

}  // namespace kestrel::shell
