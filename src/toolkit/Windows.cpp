#include "toolkit/Windows.h"

#include <algorithm>
#include <utility>

namespace kestrel::toolkit {
namespace {

using K = ControlKind;

// Where controls that a layout moves into the account panel are designed:
// left of the panel, which clips them away.
constexpr int kOutside = -300;
// Where the start-up overlay waits, out of sight, when it is not needed.
constexpr int kOverlayAway = 5000;

constexpr std::uint32_t kLinkColor = 0xFF5CB8FF;

ControlDef Centered(ControlDef def, int font_px = 0) {
    def.align = TextAlign::Center;
    def.font_px = font_px;
    return def;
}

// The three controls of a progress display: a bar, its percentage and the
// current step. The main window's start-up overlay and the game-start
// window's loading panel carry the same three, at the same design places.
void AddProgressTrio(std::vector<ControlDef>& controls, const std::string& parent) {
    controls.push_back(Control("初始化进度", K::ProgressBar, parent, 120, 368, 550, 20));
    controls.push_back(Centered(Control("初始化进度_文字", K::Label, parent, 120, 395, 550, 20, "0%")));
    controls.push_back(
        Centered(Control("初始化进度_文字1", K::Label, parent, 120, 424, 550, 20, "请稍后")));
}

}  // namespace

WindowDef MainWindowDef() {
    WindowDef w;
    w.name = kMainWindow;
    w.title = "Kestrel 2";
    w.frame_caption = "Kestrel 2.0";
    w.width = 790;
    w.height = 486;
    auto& c = w.controls;

    // The frame draws the border and the 30-pixel title bar around the
    // background; the start-up shows it once the overlay covers the window.
    c.push_back(Control("窗口EX1", K::Frame, "", 0, 0, 790, 486, "Kestrel 2.0", false));
    c.push_back(Control("背景", K::Picture, "", 1, 30, 788, 455));

    // The account and launch panel.
    const std::string p = "登录面板";
    c.push_back(Control(p, K::Panel, "背景", 0, 0, 239, 455));
    c.push_back(Control("主标题_MCLOGO", K::Picture, p, 5, 27, 228, 45));
    c.push_back(Centered(Control("副标题", K::Label, p, -4, 71, 247, 20)));
    c.push_back(Control("登录方式_标签标题", K::Label, p, 15, 207, 64, 24, "登录方式:"));
    ControlDef type = Control("登录方式", K::ComboBox, p, 82, 207, 140, 24, "Microsoft账户");
    type.items = {"Microsoft账户", "Mojang账户", "离线账户"};
    c.push_back(type);
    c.push_back(Control("账号_标签标题", K::Label, p, kOutside, 215, 64, 24, "账号:"));
    c.push_back(Control("账号", K::Edit, p, kOutside + 67, 215, 140, 24));
    c.push_back(Control("密码_标签标题", K::Label, p, kOutside, 255, 64, 24, "密码:"));
    c.push_back(Control("密码", K::PasswordEdit, p, kOutside + 67, 256, 140, 24));
    c.push_back(Control("登录按钮", K::Button, p, 83, 261, 72, 26, "登录"));
    c.push_back(Centered(Control("欢迎标题", K::Label, p, 15, 256, 208, 42, "欢迎,", false), 16));
    c.push_back(Control("用户头像", K::Picture, p, 83, 176, 72, 72, "", false));
    c.push_back(Control("启动游戏按钮", K::Button, p, 55, 330, 128, 34, "启动游戏", false));
    c.push_back(Control("版本框", K::ComboBox, p, 55, 299, 128, 24, "", false));
    c.push_back(Control("设置按钮", K::Button, p, 55, 371, 64, 24, "设置", false));
    c.push_back(Control("注销按钮", K::Button, p, 119, 371, 64, 24, "注销", false));
    // Opens the download window; below "设置" and "注销", as wide as the
    // launch button, shown with them once signed in.
    c.push_back(Control("下载按钮", K::Button, p, 55, 401, 128, 24, "下载游戏", false));
    c.push_back(Control("在线图标", K::Picture, p, 125, 230, 40, 24, "", false));
    // A sign-in shows these while it runs.
    c.push_back(Control("更新进度", K::ProgressBar, p, 7, 426, 225, 12, "", false));
    c.push_back(Control("更新进度_文字", K::Label, p, 8, 408, 224, 16, "", false));
    c.push_back(Centered(Control("微软登录_提示文本", K::Label, p, 64, 164, 110, 20, "您的代码是", false)));
    c.push_back(Centered(Control("微软登录_登录代码", K::Edit, p, 37, 188, 165, 30, "", false), 18));
    c.push_back(Centered(Control("微软登录_提示文本1", K::Label, p, 7, 226, 225, 40,
                           "已复制到剪切板。\r\n稍后弹出的窗口中可能需要您粘贴。", false)));
    c.push_back(Control("微软登录_取消登录", K::Button, p, 83, 291, 72, 26, "取消登录", false));
    c.push_back(Centered(Control("微软登录_取消登录_提示文本", K::Label, p, 7, 117, 225, 20,
                           "登录已被禁止,五秒后才可重新登录.", false)));
    c.push_back(Control("Mojang登录_提示1", K::Label, p, kOutside, 380, 233, 44,
                  "Mojang账户已停止使用,请迁移到Microsoft账户\r\n后改用Microsoft账户登录。"));
    ControlDef link = Control("Mojang登录_提示2", K::Label, p, kOutside + 171, 427, 60, 16, "详细信息");
    link.text_color = kLinkColor;
    c.push_back(link);

    // The notice board.
    c.push_back(Control("公告板", K::Panel, "背景", 526, 6, 256, 252));
    c.push_back(Centered(Control("公告板_标题", K::Label, "公告板", 8, 8, 240, 26, "公告"), 16));
    c.push_back(Control("公告板_内容", K::Label, "公告板", 8, 40, 240, 180));
    ControlDef time = Control("公告板_发布时间", K::Label, "公告板", 8, 226, 240, 18);
    time.align = TextAlign::Right;
    c.push_back(time);

    // The server status board.
    const std::string s = "服务器在线状态板";
    c.push_back(Control(s, K::Panel, "背景", 526, 259, 256, 80));
    c.push_back(Control("服务器状态_图标", K::Picture, s, 8, 8, 64, 64));
    // The title holds the message of the day, which has up to two lines.
    c.push_back(Control("服务器状态_标题", K::Label, s, 80, 4, 168, 36, "Minecraft服务器"));
    c.push_back(Control("服务器状态_详细状态", K::Label, s, 80, 40, 168, 36));

    c.push_back(Control("版本号显示", K::Label, "背景", 242, 434, 448, 16, "正在检查版本号..."));
    c.push_back(Control("更新失败提示", K::Picture, "背景", 242, 434, 20, 20, "", false));
    c.push_back(Control("音乐播放", K::MediaPlayer, "", 0, 0, 0, 0, "", false));

    // The start-up overlay covers the whole window, frame included, from
    // before the first paint until it fades.
    c.push_back(Control("初始化", K::Picture, "", kOverlayAway, 0, 790, 486));
    w.cover = "初始化";
    AddProgressTrio(c, "初始化");
    return w;
}

WindowDef GameStartWindowDef(int width, int height) {
    WindowDef w;
    w.name = kGameStartWindow;
    w.title = "Minecraft";
    w.width = width;
    w.height = height;
    auto& c = w.controls;
    c.push_back(Control("背景", K::Picture, "", 0, 0, width, height));
    c.push_back(Control("游戏初始化", K::Picture, "", 0, 0, width, height));
    AddProgressTrio(c, "游戏初始化");
    // A small close control in the top right corner cancels the launch.
    ControlDef cancel = Centered(Control("取消启动", K::Label, "", std::max(0, width - 30), 6, 24, 24, "×"), 18);
    cancel.text_color = 0xFFFFFFFF;
    c.push_back(cancel);
    return w;
}

}  // namespace kestrel::toolkit
