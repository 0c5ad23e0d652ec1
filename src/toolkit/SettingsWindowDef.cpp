#include <utility>

#include "toolkit/Windows.h"

namespace kestrel::toolkit {
namespace {

using K = ControlKind;

// Where the not-signed-in panel waits, right of the account page, which
// clips it away until the account fill moves it in.
constexpr int kOutsidePage = 700;

ControlDef Sized(ControlDef def, int font_px) {
    def.font_px = font_px;
    return def;
}

ControlDef Aligned(ControlDef def, TextAlign align) {
    def.align = align;
    return def;
}

ControlDef Combo(std::string name, std::string parent, int x, int y, int w, int h,
                 std::vector<std::string> items) {
    ControlDef def = Control(std::move(name), K::ComboBox, std::move(parent), x, y, w, h);
    def.items = std::move(items);
    return def;
}

// A section heading of a page.
ControlDef Heading(std::string name, std::string parent, int x, int y, std::string caption) {
    return Sized(Control(std::move(name), K::Label, std::move(parent), x, y, 320, 22, std::move(caption)), 15);
}

void AddAccountPage(std::vector<ControlDef>& c) {
    const std::string p = kSettingsAccountPage;
    c.push_back(Control(p, K::Panel, "设置_背景", 110, 16, 665, 419));
    c.push_back(Control("设置_账户_头像", K::Picture, p, 20, 20, 80, 80));
    c.push_back(Sized(Control("设置_账户_玩家名", K::Label, p, 112, 22, 170, 30), 18));
    c.push_back(Control("设置_账户_类型", K::Label, p, 112, 54, 170, 20));
    c.push_back(Control("设置_账户_类型图标", K::Picture, p, 112, 78, 40, 24));
    c.push_back(Aligned(Control("设置_账户_正面_标题", K::Label, p, 20, 112, 118, 20, "正面"), TextAlign::Center));
    c.push_back(Control("设置_账户_正面", K::Picture, p, 20, 134, 118, 250));
    c.push_back(Aligned(Control("设置_账户_反面_标题", K::Label, p, 152, 112, 118, 20, "反面"), TextAlign::Center));
    c.push_back(Control("设置_账户_反面", K::Picture, p, 152, 134, 118, 250));

    // The skin-change area.
    c.push_back(Heading("设置_账户_更换皮肤_标题", p, 296, 20, "更换我的皮肤"));
    c.push_back(Control("设置_账户_皮肤文件_标题", K::Label, p, 296, 54, 350, 20,
                  "1.选择您的皮肤文件(通常是*.png文件)"));
    c.push_back(Control("设置_账户_皮肤文件框", K::Edit, p, 296, 78, 272, 24));
    c.push_back(Control("设置_账户_皮肤文件_选择", K::Button, p, 576, 78, 64, 24, "选择"));
    c.push_back(Control("设置_账户_皮肤类型_标题", K::Label, p, 296, 116, 350, 20, "2.选择您的皮肤类型"));
    c.push_back(Control("设置_账户_Steve", K::RadioButton, p, 296, 142, 100, 22, "Steve"));
    c.push_back(Control("设置_账户_Alex", K::RadioButton, p, 404, 142, 100, 22, "Alex"));
    c.push_back(Control("设置_账户_上传_标题", K::Label, p, 296, 180, 350, 20, "3.恭喜您, 您可以上传了!"));
    c.push_back(Control("设置_账户_更换皮肤", K::Button, p, 296, 206, 96, 28, "更换皮肤"));
    c.push_back(Control("设置_账户_更名", K::Button, p, 296, 372, 96, 28, "更名", false));

    // Covers the skin-change area for accounts that cannot change skins.
    c.push_back(Control("设置_账户_遮罩", K::Panel, p, 290, 10, 365, 236, "", false));
    c.push_back(Aligned(Control("设置_账户_遮罩_提示", K::Label, "设置_账户_遮罩", 10, 96, 345, 44,
                          "当前账户类型暂不支持更换皮肤\r\n请使用正版账户登录"),
                        TextAlign::Center));
    // Covers the whole page while nobody is signed in.
    c.push_back(Control("设置_账户_未登录面板", K::Panel, p, kOutsidePage, 10, 643, 399, "", false));
    c.push_back(Aligned(Sized(Control("设置_账户_未登录_提示", K::Label, "设置_账户_未登录面板", 20, 170, 603, 56,
                                "您还没有登录哦~\r\n请先在主界面登录您的账户"),
                              16),
                        TextAlign::Center));
}

void AddGeneralPage(std::vector<ControlDef>& c) {
    const std::string p = kSettingsGeneralPage;
    c.push_back(Control(p, K::Panel, "设置_背景", 110, 16, 665, 419, "", false));

    c.push_back(Heading("设置_通用_Java选项_标题", p, 12, 8, "Java选项"));
    c.push_back(Control("设置_通用_Java选项_Java地址_标题", K::Label, p, 12, 36, 64, 24, "Java地址"));
    c.push_back(Control(kSettingsJavaBox, K::ComboBox, p, 80, 36, 430, 24));
    c.push_back(Control("设置_通用_Java选项_Java地址_查找", K::Button, p, 518, 36, 60, 24, "查找"));
    c.push_back(Control("设置_通用_Java选项_Java地址_检测", K::Button, p, 586, 36, 60, 24, "检测"));
    // On: a launch whose Java is not the version the game needs takes a
    // fitting one, downloading it when none is installed.
    c.push_back(Control("设置_通用_Java选项_自动选择", K::Switch, p, 446, 8, 200, 22, "自动选择合适的Java"));

    c.push_back(Heading("设置_通用_内存_标题", p, 12, 70, "给Java分配内存"));
    c.push_back(Control("设置_通用_内存_滑块", K::Slider, p, 12, 98, 420, 24));
    c.push_back(Control("设置_通用_内存_输入框", K::Edit, p, 440, 98, 70, 24));
    c.push_back(Control("设置_通用_内存_单位", K::Label, p, 514, 98, 28, 24, "MB"));
    c.push_back(Control("设置_通用_内存_推荐内存", K::Button, p, 546, 98, 100, 24, "推荐内存"));
    c.push_back(Control("设置_通用_内存_提示", K::Label, p, 12, 126, 420, 18, "PS：右边的输入框要用回车提交哦~"));
    c.push_back(Control("设置_通用_内存_占用条", K::ProgressBar, p, 12, 148, 634, 12));
    c.push_back(Control("设置_通用_内存_已使用", K::Label, p, 12, 166, 150, 18, "已使用:"));
    c.push_back(Control("设置_通用_内存_内存占用", K::Label, p, 170, 166, 150, 18, "内存占用:"));
    c.push_back(Control("设置_通用_内存_总使用", K::Label, p, 330, 166, 150, 18, "总使用:"));
    c.push_back(Aligned(Control("设置_通用_内存_总内存", K::Label, p, 490, 166, 156, 18), TextAlign::Right));

    c.push_back(Heading("设置_通用_启动选项_标题", p, 12, 192, "启动选项"));
    c.push_back(Control("设置_通用_一般启动选项_标题", K::Label, p, 12, 216, 200, 20, "一般启动选项"));
    // Left column.
    c.push_back(Control("设置_通用_版本隔离_标题", K::Label, p, 12, 242, 88, 24, "版本隔离"));
    c.push_back(Combo("设置_通用_版本隔离_选择框", p, 104, 242, 196, 24, {"关闭隔离", "强制隔离"}));
    c.push_back(Control("设置_通用_进程优先级_标题", K::Label, p, 12, 272, 88, 24, "进程优先级"));
    ControlDef priority = Combo("设置_通用_进程优先级_选择框", p, 104, 272, 196, 24,
                                {"实时", "高", "高于正常", "正常", "低于正常", "低"});
    priority.caption = "正常";
    c.push_back(priority);
    c.push_back(Control("设置_通用_启动器行为_标题", K::Label, p, 12, 302, 88, 24, "启动器行为"));
    c.push_back(Combo("设置_通用_启动器行为_选择框", p, 104, 302, 196, 24,
                      {"启动游戏后结束运行", "启动游戏后最小化", "游戏结束后可见(暂时隐藏)",
                       "游戏结束后重新启动", "不进行任何操作"}));
    // Right column.
    c.push_back(Control("设置_通用_游戏窗口大小_标题", K::Label, p, 330, 242, 90, 24, "游戏窗口大小"));
    c.push_back(Combo("设置_通用_游戏窗口大小_选择框", p, 424, 242, 196, 24,
                      {"默认", "自定义", "最大化", "全屏", "与启动器相同"}));
    // With "自定义" the box narrows to 72, which still shows that item whole,
    // and the size boxes follow it.
    c.push_back(Control("设置_通用_游戏窗口大小_宽度", K::Edit, p, 500, 242, 54, 24, "", false));
    c.push_back(Aligned(Control("设置_通用_游戏窗口大小_分隔", K::Label, p, 554, 242, 14, 24, "x", false),
                        TextAlign::Center));
    c.push_back(Control("设置_通用_游戏窗口大小_高度", K::Edit, p, 568, 242, 54, 24, "", false));
    c.push_back(Control("设置_通用_游戏目录_标题", K::Label, p, 330, 272, 90, 24, "游戏目录"));
    c.push_back(Control("设置_通用_游戏目录_框", K::Edit, p, 424, 272, 196, 24));
    c.push_back(Control("设置_通用_游戏目录_选择", K::Button, p, 424, 302, 94, 24, "选择"));
    c.push_back(Control("设置_通用_游戏目录_默认", K::Button, p, 526, 302, 94, 24, "默认"));

    // Where game files come from, how many are fetched at once, and the
    // check of the game files before each launch: the right column below
    // the game folder, beside the advanced options.
    c.push_back(Heading("设置_通用_下载选项_标题", p, 330, 340, "下载选项"));
    c.push_back(Control("设置_通用_下载源_标题", K::Label, p, 330, 366, 50, 24, "下载源"));
    c.push_back(Combo("设置_通用_下载源_选择框", p, 382, 366, 120, 24, {"官方", "BMCLAPI"}));
    c.push_back(Control("设置_通用_同时下载_标题", K::Label, p, 512, 366, 62, 24, "同时下载"));
    c.push_back(Combo("设置_通用_同时下载_选择框", p, 576, 366, 70, 24, {"1", "2", "4", "8", "16", "32", "64"}));
    c.push_back(Control("设置_通用_启动前检查_启用", K::Switch, p, 330, 394, 240, 24, "启动前检查并补全游戏文件"));

    c.push_back(Heading("设置_通用_高级启动选项_标题", p, 12, 340, "高级启动选项 (实验室)"));
    c.push_back(Control("设置_通用_高级启动选项_启用", K::Switch, p, 12, 370, 80, 24, "启用"));
    c.push_back(Control("临时标题", K::Label, p, 100, 364, 400, 36,
                  "想用吗?不给~\r\n機能欲しいの?あげません～", false));
}

void AddPersonalPage(std::vector<ControlDef>& c) {
    const std::string p = kSettingsPersonalPage;
    c.push_back(Control(p, K::Panel, "设置_背景", 110, 16, 665, 419, "", false));
    c.push_back(Heading("设置_个性化_音乐_标题", p, 12, 12, "本地音乐播放器"));
    c.push_back(Control("设置_个性化_音乐_启用", K::Switch, p, 12, 42, 80, 24, "启用"));
    c.push_back(Control("设置_个性化_音乐_提示", K::Label, p, 100, 42, 320, 24, "PS：本选项需要重启后生效"));
    c.push_back(Control("设置_个性化_音乐_打开目录", K::Button, p, 12, 76, 120, 26, "打开音乐目录"));
    c.push_back(Heading("设置_个性化_背景_标题", p, 12, 124, "背景轮换"));
    c.push_back(Control("设置_个性化_背景_打开目录", K::Button, p, 12, 154, 120, 26, "打开壁纸目录"));
    c.push_back(Heading("设置_个性化_游戏自定义_标题", p, 12, 204, "游戏自定义"));
    c.push_back(Control("设置_个性化_游戏标题_标题", K::Label, p, 12, 236, 80, 24, "游戏标题"));
    c.push_back(Control("设置_个性化_游戏标题_框", K::Edit, p, 96, 236, 320, 24));
    c.push_back(Control("设置_个性化_游戏水印_标题", K::Label, p, 12, 270, 80, 24, "游戏水印"));
    c.push_back(Control("设置_个性化_游戏水印_框", K::Edit, p, 96, 270, 320, 24));
}

void AddAboutPage(std::vector<ControlDef>& c) {
    const std::string p = kSettingsAboutPage;
    c.push_back(Control(p, K::Panel, "设置_背景", 110, 16, 665, 419, "", false));
    c.push_back(Control("设置_关于_图标", K::Picture, p, 20, 20, 64, 64));
    c.push_back(Sized(Control("设置_关于_名称", K::Label, p, 100, 20, 300, 30, "Kestrel 2"), 22));
    c.push_back(Control("设置_关于_简介", K::Label, p, 100, 52, 400, 20, "一款《Minecraft:Java Edition》启动器"));
    c.push_back(Control("设置_关于_版本", K::Label, p, 100, 74, 300, 20, "版本:"));
    c.push_back(Heading("设置_关于_制作_标题", p, 20, 104, "制作"));
    c.push_back(Control("设置_关于_制作_内容", K::Label, p, 20, 132, 300, 120,
                  "程序:Kestrel 开发组\r\n界面与美术:Kestrel 开发组\r\n"
                  "启动核心、Java 检测与皮肤渲染:Kestrel 开发组\r\n"
                  "本启动器与 Mojang、Microsoft 无关"));
    c.push_back(Heading("设置_关于_鸣谢_标题", p, 340, 104, "鸣谢"));
    c.push_back(Control("设置_关于_鸣谢_副标题", K::Label, p, 340, 128, 305, 20, "PS：没有这些人可能就没有本启动器"));
    c.push_back(Control(kSettingsThanksBox, K::TextBox, p, 340, 152, 305, 250));
}

}  // namespace

WindowDef SettingsWindowDef() {
    WindowDef w;
    w.name = kSettingsWindow;
    w.title = "设置";
    w.frame_caption = "设置";
    w.width = 790;
    w.height = 486;
    auto& c = w.controls;

    c.push_back(Control("设置_窗口EX", K::Frame, "", 0, 0, 790, 486, "设置"));
    c.push_back(Control("设置_背景", K::Picture, "", 1, 30, 788, 455));

    // The page buttons; the current page's button is disabled.
    const std::string b = "设置_背景";
    c.push_back(Control("设置_账户", K::Button, b, 16, 16, 96, 34, "档案"));
    c.push_back(Control("设置_通用", K::Button, b, 16, 56, 96, 34, "通用"));
    c.push_back(Control("设置_个性化", K::Button, b, 16, 96, 96, 34, "个性化"));
    c.push_back(Control("设置_服务器", K::Button, b, 16, 136, 96, 34, "服务器"));
    c.push_back(Control("设置_游戏内", K::Button, b, 16, 176, 96, 34, "游戏内"));
    c.push_back(Control("设置_高级", K::Button, b, 16, 216, 96, 34, "实验室"));
    c.push_back(Control("设置_关于", K::Button, b, 16, 256, 96, 34, "关于"));
    c.push_back(Sized(Control("设置_返回", K::Button, b, 16, 386, 96, 34, "←"), 18));
    c.push_back(Control("设置_版本_标题", K::Label, b, 16, 435, 300, 18, "启动器版本:"));

    AddAccountPage(c);
    AddGeneralPage(c);
    AddPersonalPage(c);
    AddAboutPage(c);
    return w;
}

}  // namespace kestrel::toolkit
