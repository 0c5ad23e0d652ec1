#include "shell/AccountPanel.h"

#include "shell/SignIn.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {

namespace {

struct PanelPlace {
    const char* control;
    int x;
    int y;
};

}  // namespace

void ShowPlayerSkin(SignInContext& ctx, const std::string& skin_png) {
    ctx.main_window->SetPicture("用户头像", accounts::SavePlayerSkin(ctx, skin_png));
}

void ShowBadge(SignInContext& ctx, const char* badge_asset) {
    ctx.main_window->SetPicture("在线图标", std::string(toolkit::Asset(badge_asset)));
    ctx.main_window->Show("在线图标");
}

void ShowFailure(SignInContext& ctx, const std::string& text, const std::string& caption) {
    ctx.app.ShowMessageBox(text, caption, toolkit::MessageIcon::Error);
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

}  // namespace kestrel::shell
