// The account page of the settings window: the signed-in player, the skin
// previews and the (not yet working) skin change.

#include <utility>

#include "platform/Files.h"
#include "shell/SettingsSession.h"
#include "skins/SkinPictures.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {

namespace {

using accounts::SignInState;
using toolkit::Event;
using toolkit::EventArgs;

constexpr int kHeadSize = 80;

// The designed y of a control. The fill runs on a worker, which takes
// figures from the table rather than reading the window: a read from a
// worker waits for the user-interface thread, which may itself be waiting
// for the workers to end at shutdown.
int DesignedY(const toolkit::Surface& s, const char* name) {
    const toolkit::ControlDef* def = s.Definition().Find(name);
    return def ? def->y : 0;
}

const char* TypeLabel(SignInState state) {
    switch (state) {
        case SignInState::kOffline: return "离线登录";
        case SignInState::kMicrosoft: return "正版(Microsoft登录)";
        case SignInState::kMojang: return "正版(Mojang登录)";
        case SignInState::kAuthlib: return "Authlib外置登录";
        case SignInState::kNobody: break;
    }
    return "";
}

const char* Badge(SignInState state) {
    switch (state) {
        case SignInState::kOffline: return "badge-offline.png";
        case SignInState::kMicrosoft: return "badge-microsoft.png";
        case SignInState::kMojang: return "badge-mojang.png";
        case SignInState::kAuthlib: return "badge-authlib.png";
        case SignInState::kNobody: break;
    }
    return "";
}

}  // namespace

void FillAccountPage(SettingsSession& session, std::stop_token stop) {
    toolkit::Surface& s = session.surface;
    const SignInState state = session.ctx.state.accounts.State();
    switch (state) {
        case SignInState::kNobody:
            s.Move("设置_账户_未登录面板", 11, DesignedY(s, "设置_账户_未登录面板"));
            s.Show("设置_账户_未登录面板");
            return;
        case SignInState::kOffline:
            s.Move("设置_账户_遮罩", 282, DesignedY(s, "设置_账户_遮罩"));
            s.Show("设置_账户_遮罩");
            break;
        case SignInState::kMicrosoft: s.Show("设置_账户_更名"); break;
        case SignInState::kMojang:
        case SignInState::kAuthlib: s.Show("设置_账户_遮罩"); break;
    }
    s.SetText("设置_账户_类型", TypeLabel(state));
    s.SetText("设置_账户_玩家名", session.ctx.state.accounts.Record().name);

    // The player's skin as the sign-in left it; the built-in skin when there
    // is none, or when the file is not a skin picture.
    const platform::HostProfile& host = session.ctx.host;
    const std::string skin_path = host.NativePath(host.Join(session.ctx.paths.data_folder, "UserSkin.png"));
    std::string skin = platform::ReadFile(skin_path, std::size_t{8} << 20).value_or("");
    std::string front = skin.empty() ? std::string() : skins::FrontPicture(skin);
    if (front.empty()) {
        skin = std::string(toolkit::Asset("skin.png"));
        front = skins::FrontPicture(skin);
    }
    const std::string back = skins::BackPicture(skin);
    if (stop.stop_requested()) return;

    s.SetPicture("设置_账户_头像", skins::HeadPicture(skin, kHeadSize));
    s.SetPicture("设置_账户_类型图标", std::string(toolkit::Asset(Badge(state))));
    s.SetPicture("设置_账户_正面", front);
    s.SetPicture("设置_账户_反面", back);
    const auto write = [&](const char* name, const std::string& png) {
        if (png.empty()) return;
        (void)platform::WriteFileAtomically(host.NativePath(host.Join(session.ctx.paths.data_folder, name)), png);
    };
    write("UserSkin_Front.png", front);
    write("UserSkin_Back.png", back);
}

void WireAccountPage(const std::shared_ptr<SettingsSession>& session) {
    toolkit::Surface& s = session->surface;
    // The skin type and the change become usable step by step.
    s.SetEnabled("设置_账户_Steve", false);
    s.SetEnabled("设置_账户_Alex", false);
    s.SetEnabled("设置_账户_更换皮肤", false);

    s.On("设置_账户_皮肤文件_选择", Event::Click, [session](const EventArgs&) {
        const std::string chosen =
            session->ctx.app.OpenFileDialog("选择您的皮肤文件", session->ctx.paths.program_folder, "皮肤文件 (*.png)");
        // A cancelled dialog changes nothing.
        if (chosen.empty()) return;
        toolkit::Surface& surface = session->surface;
        surface.SetText("设置_账户_皮肤文件框", chosen);
        surface.SetEnabled("设置_账户_Steve", true);
        surface.SetEnabled("设置_账户_Alex", true);
    });
    // Each radio button of a table stands alone; these two belong together.
    const auto pick = [session](const char* chosen, const char* other) {
        toolkit::Surface& surface = session->surface;
        surface.SetChecked(chosen, true);
        surface.SetChecked(other, false);
        surface.SetEnabled("设置_账户_更换皮肤", true);
    };
    s.On("设置_账户_Steve", Event::Click, [pick](const EventArgs&) { pick("设置_账户_Steve", "设置_账户_Alex"); });
    s.On("设置_账户_Alex", Event::Click, [pick](const EventArgs&) { pick("设置_账户_Alex", "设置_账户_Steve"); });
    s.On("设置_账户_更换皮肤", Event::Click, [session](const EventArgs&) {
        session->ctx.app.ShowMessageBox("Never gonna give you up~", "还在开发中awa", toolkit::MessageIcon::Information);
    });
}

}  // namespace kestrel::shell
