#include "accounts/AccountPanel.h"

#include "accounts/AccountCache.h"
#include "accounts/ServiceAnswers.h"
#include "accounts/SignIn.h"
#include "platform/Files.h"
#include "skins/SkinPictures.h"
#include "toolkit/Assets.h"

namespace kestrel::accounts {

namespace {

constexpr long kMaxRequestMs = 60000;

struct PanelPlace {
    const char* control;
    int x;
    int y;
};

}  // namespace

net::HttpSession SignInSession(const SignInContext& ctx, std::stop_token stop) {
    net::HttpOptions options = ctx.http;
    options.cancel = std::move(stop);
    // A sign-in request ends within a minute even when its server keeps
    // trickling bytes: the player is waiting for it, and the Minecraft
    // login's path would otherwise wait as long as bytes arrive.
    for (net::Timeouts* timeouts : {&options.inet, &options.curl, &options.com}) {
        if (timeouts->total_ms <= 0) timeouts->total_ms = kMaxRequestMs;
    }
    // Nothing a sign-in service says is near a megabyte; a longer answer is
    // dropped as it arrives instead of filling memory first.
    options.max_body_bytes = kMaxAnswerBytes;
    return net::HttpSession(std::move(options));
}

std::string DataFile(const SignInContext& ctx, const std::string& name) {
    return ctx.host.NativePath(ctx.host.Join(ctx.data_folder, name));
}

void ShowPlayerSkin(SignInContext& ctx, const std::string& skin_png) {
    ctx.accounts.SetSkin(skin_png);
    const std::string head = skins::HeadPicture(skin_png, kHeadSize);
    ctx.main_window->SetPicture("用户头像", head);
    platform::CreateFolders(ctx.host.NativePath(ctx.data_folder));
    platform::WriteFileAtomically(DataFile(ctx, "UserHead.png"), head);
    platform::WriteFileAtomically(DataFile(ctx, "UserSkin.png"), skin_png);
}

void ShowBadge(SignInContext& ctx, const char* badge_asset) {
    ctx.main_window->SetPicture("在线图标", std::string(toolkit::Asset(badge_asset)));
    ctx.main_window->Show("在线图标");
}

void ShowFailure(SignInContext& ctx, const std::string& text, const std::string& caption) {
    ctx.app.ShowMessageBox(text, caption, toolkit::MessageIcon::Error);
}

void StoreAccountCache(SignInContext& ctx, const std::string& text) {
    // A failed write is not reported: the sign-in stands for this run.
    WriteAccountCache(ctx.host.NativePath(ctx.account_cache_path), text);
}

void LayOutAccountPanel(SignInContext& ctx) {
    toolkit::Surface& w = *ctx.main_window;
    const std::string type = w.Text("登录方式");
    const auto place = [&w](std::initializer_list<PanelPlace> places) {
        for (const PanelPlace& p : places) {
            w.Move(p.control, p.x, p.y);
            w.Show(p.control);
        }
    };
    const auto hide = [&w](std::initializer_list<const char*> names) {
        for (const char* name : names) w.Hide(name);
    };
    if (type == kMicrosoftItem) {
        place({{"登录方式_标签标题", 15, 207}, {"登录方式", 82, 207}});
        hide({"账号_标签标题", "账号", "密码_标签标题", "密码", "Mojang登录_提示1", "Mojang登录_提示2"});
        w.Move("登录按钮", 83, 261);
    } else if (type == kMojangItem) {
        place({{"登录方式_标签标题", 15, 175},
               {"登录方式", 82, 175},
               {"账号_标签标题", 15, 215},
               {"账号", 82, 215},
               {"密码_标签标题", 15, 255},
               {"密码", 82, 256},
               {"Mojang登录_提示1", 3, 380},
               {"Mojang登录_提示2", 174, 427}});
        w.SetText("账号_标签标题", "账号:");
        w.Move("登录按钮", 146, 293);
    } else if (type == kOfflineItem) {
        place({{"登录方式_标签标题", 15, 199}, {"登录方式", 82, 199}, {"账号_标签标题", 15, 231}, {"账号", 82, 231}});
        w.SetText("账号_标签标题", "用户名:");
        hide({"密码_标签标题", "密码", "Mojang登录_提示1", "Mojang登录_提示2"});
        w.Move("登录按钮", 146, 260);
    }
}

}  // namespace kestrel::accounts
