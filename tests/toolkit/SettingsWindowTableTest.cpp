// The settings window's table: the controls its design names, with their
// kinds, captions and places, and a layout where every control that is
// shown lies inside its parent.

#include <cstdlib>
#include <optional>
#include <set>

#include <gtest/gtest.h>

#include "toolkit/Windows.h"

namespace kestrel::toolkit {
namespace {

using K = ControlKind;
constexpr int kAny = -1;

struct Row {
    const char* name;
    K kind;
    const char* parent;
    int x, y, width, height;
    std::optional<const char*> caption;
};

const Row kRows[] = {
    {"设置_账户", K::Button, "设置_背景", 16, kAny, 96, 34, "档案"},
    {"设置_通用", K::Button, "设置_背景", 16, kAny, 96, 34, "通用"},
    {"设置_个性化", K::Button, "设置_背景", 16, kAny, 96, 34, "个性化"},
    {"设置_服务器", K::Button, "设置_背景", 16, kAny, 96, 34, "服务器"},
    {"设置_游戏内", K::Button, "设置_背景", 16, kAny, 96, 34, "游戏内"},
    {"设置_高级", K::Button, "设置_背景", 16, kAny, 96, 34, "实验室"},
    {"设置_关于", K::Button, "设置_背景", 16, kAny, 96, 34, "关于"},
    {"设置_返回", K::Button, "设置_背景", 16, kAny, 96, 34, std::nullopt},
    {"设置_版本_标题", K::Label, "设置_背景", kAny, kAny, kAny, kAny, "启动器版本:"},
    {"设置_账户夹", K::Panel, "设置_背景", 110, 16, 665, 419, std::nullopt},
    {"设置_通用夹", K::Panel, "设置_背景", 110, 16, 665, 419, std::nullopt},
    {"设置_个性化夹", K::Panel, "设置_背景", 110, 16, 665, 419, std::nullopt},
    {"设置_关于夹", K::Panel, "设置_背景", 110, 16, 665, 419, std::nullopt},
    // General page.
    {"设置_通用_Java选项_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "Java选项"},
    {"设置_通用_Java选项_Java地址_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "Java地址"},
    {"设置_通用_Java选项_Java地址_选择框", K::ComboBox, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_Java选项_Java地址_查找", K::Button, "设置_通用夹", kAny, kAny, kAny, kAny, "查找"},
    {"设置_通用_Java选项_Java地址_检测", K::Button, "设置_通用夹", kAny, kAny, kAny, kAny, "检测"},
    {"设置_通用_内存_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "给Java分配内存"},
    {"设置_通用_内存_滑块", K::Slider, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_内存_输入框", K::Edit, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_内存_单位", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "MB"},
    {"设置_通用_内存_提示", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "PS：右边的输入框要用回车提交哦~"},
    {"设置_通用_内存_推荐内存", K::Button, "设置_通用夹", kAny, kAny, kAny, kAny, "推荐内存"},
    {"设置_通用_内存_占用条", K::ProgressBar, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_内存_已使用", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "已使用:"},
    {"设置_通用_内存_内存占用", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "内存占用:"},
    {"设置_通用_内存_总使用", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "总使用:"},
    {"设置_通用_内存_总内存", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_启动选项_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "启动选项"},
    {"设置_通用_一般启动选项_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "一般启动选项"},
    {"设置_通用_版本隔离_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "版本隔离"},
    {"设置_通用_版本隔离_选择框", K::ComboBox, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_进程优先级_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "进程优先级"},
    {"设置_通用_进程优先级_选择框", K::ComboBox, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_启动器行为_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "启动器行为"},
    {"设置_通用_启动器行为_选择框", K::ComboBox, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_游戏窗口大小_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "游戏窗口大小"},
    {"设置_通用_游戏窗口大小_选择框", K::ComboBox, "设置_通用夹", kAny, kAny, 196, kAny, std::nullopt},
    {"设置_通用_游戏窗口大小_宽度", K::Edit, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_游戏窗口大小_分隔", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_游戏窗口大小_高度", K::Edit, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_游戏目录_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "游戏目录"},
    {"设置_通用_游戏目录_框", K::Edit, "设置_通用夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_通用_游戏目录_选择", K::Button, "设置_通用夹", kAny, kAny, kAny, kAny, "选择"},
    {"设置_通用_游戏目录_默认", K::Button, "设置_通用夹", kAny, kAny, kAny, kAny, "默认"},
    {"设置_通用_高级启动选项_标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "高级启动选项 (实验室)"},
    {"设置_通用_高级启动选项_启用", K::Switch, "设置_通用夹", kAny, kAny, kAny, kAny, "启用"},
    {"临时标题", K::Label, "设置_通用夹", kAny, kAny, kAny, kAny, "想用吗?不给~\r\n機能欲しいの?あげません～"},
    // Personalisation page.
    {"设置_个性化_音乐_标题", K::Label, "设置_个性化夹", kAny, kAny, kAny, kAny, "本地音乐播放器"},
    {"设置_个性化_音乐_启用", K::Switch, "设置_个性化夹", kAny, kAny, kAny, kAny, "启用"},
    {"设置_个性化_音乐_提示", K::Label, "设置_个性化夹", kAny, kAny, kAny, kAny, "PS：本选项需要重启后生效"},
    {"设置_个性化_音乐_打开目录", K::Button, "设置_个性化夹", kAny, kAny, kAny, kAny, "打开音乐目录"},
    {"设置_个性化_背景_标题", K::Label, "设置_个性化夹", kAny, kAny, kAny, kAny, "背景轮换"},
    {"设置_个性化_背景_打开目录", K::Button, "设置_个性化夹", kAny, kAny, kAny, kAny, "打开壁纸目录"},
    {"设置_个性化_游戏自定义_标题", K::Label, "设置_个性化夹", kAny, kAny, kAny, kAny, "游戏自定义"},
    {"设置_个性化_游戏标题_标题", K::Label, "设置_个性化夹", kAny, kAny, kAny, kAny, "游戏标题"},
    {"设置_个性化_游戏标题_框", K::Edit, "设置_个性化夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_个性化_游戏水印_标题", K::Label, "设置_个性化夹", kAny, kAny, kAny, kAny, "游戏水印"},
    {"设置_个性化_游戏水印_框", K::Edit, "设置_个性化夹", kAny, kAny, kAny, kAny, std::nullopt},
    // About page.
    {"设置_关于_图标", K::Picture, "设置_关于夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_关于_名称", K::Label, "设置_关于夹", kAny, kAny, kAny, kAny, "Kestrel 2"},
    {"设置_关于_简介", K::Label, "设置_关于夹", kAny, kAny, kAny, kAny, "一款《Minecraft:Java Edition》启动器"},
    {"设置_关于_版本", K::Label, "设置_关于夹", kAny, kAny, kAny, kAny, "版本:"},
    {"设置_关于_鸣谢_标题", K::Label, "设置_关于夹", kAny, kAny, kAny, kAny, "鸣谢"},
    {"设置_关于_鸣谢_副标题", K::Label, "设置_关于夹", kAny, kAny, kAny, kAny, "PS：没有这些人可能就没有本启动器"},
    {"设置_关于_鸣谢_内容", K::TextBox, "设置_关于夹", kAny, kAny, kAny, kAny, ""},
    // Account page.
    {"设置_账户_玩家名", K::Label, "设置_账户夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_账户_头像", K::Picture, "设置_账户夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_账户_类型", K::Label, "设置_账户夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_账户_类型图标", K::Picture, "设置_账户夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_账户_正面_标题", K::Label, "设置_账户夹", kAny, kAny, kAny, kAny, "正面"},
    {"设置_账户_正面", K::Picture, "设置_账户夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_账户_反面_标题", K::Label, "设置_账户夹", kAny, kAny, kAny, kAny, "反面"},
    {"设置_账户_反面", K::Picture, "设置_账户夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_账户_更换皮肤_标题", K::Label, "设置_账户夹", kAny, kAny, kAny, kAny, "更换我的皮肤"},
    {"设置_账户_皮肤文件框", K::Edit, "设置_账户夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_账户_皮肤文件_选择", K::Button, "设置_账户夹", kAny, kAny, kAny, kAny, "选择"},
    {"设置_账户_皮肤类型_标题", K::Label, "设置_账户夹", kAny, kAny, kAny, kAny, "2.选择您的皮肤类型"},
    {"设置_账户_Steve", K::RadioButton, "设置_账户夹", kAny, kAny, kAny, kAny, "Steve"},
    {"设置_账户_Alex", K::RadioButton, "设置_账户夹", kAny, kAny, kAny, kAny, "Alex"},
    {"设置_账户_上传_标题", K::Label, "设置_账户夹", kAny, kAny, kAny, kAny, "3.恭喜您, 您可以上传了!"},
    {"设置_账户_更换皮肤", K::Button, "设置_账户夹", kAny, kAny, kAny, kAny, "更换皮肤"},
    {"设置_账户_更名", K::Button, "设置_账户夹", kAny, kAny, kAny, kAny, "更名"},
    {"设置_账户_遮罩", K::Panel, "设置_账户夹", kAny, kAny, kAny, kAny, std::nullopt},
    {"设置_账户_未登录面板", K::Panel, "设置_账户夹", kAny, kAny, kAny, kAny, std::nullopt},
};

TEST(SettingsWindowTable, HoldsEveryNamedControl) {
    const WindowDef def = SettingsWindowDef();
    EXPECT_EQ(def.name, kSettingsWindow);
    EXPECT_EQ(def.title, "设置");
    EXPECT_EQ(def.width, 790);
    EXPECT_EQ(def.height, 486);
    EXPECT_EQ(def.Problems(), std::vector<std::string>{});
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const ControlDef* c = def.Find(row.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->kind, row.kind);
        EXPECT_EQ(c->parent, row.parent);
        if (row.x != kAny) {
            EXPECT_EQ(c->x, row.x);
        }
        if (row.y != kAny) {
            EXPECT_EQ(c->y, row.y);
        }
        if (row.width != kAny) {
            EXPECT_EQ(c->width, row.width);
        }
        if (row.height != kAny) {
            EXPECT_EQ(c->height, row.height);
        }
        if (row.caption) {
            EXPECT_EQ(c->caption, *row.caption);
        }
    }
    EXPECT_EQ(def.Find("设置_通用_版本隔离_选择框")->items, (std::vector<std::string>{"关闭隔离", "强制隔离"}));
    EXPECT_EQ(def.Find("设置_通用_启动器行为_选择框")->items,
              (std::vector<std::string>{"启动游戏后结束运行", "启动游戏后最小化", "游戏结束后可见(暂时隐藏)",
                                        "游戏结束后重新启动", "不进行任何操作"}));
    EXPECT_EQ(def.Find("设置_通用_游戏窗口大小_选择框")->items,
              (std::vector<std::string>{"默认", "自定义", "最大化", "全屏", "与启动器相同"}));
}

TEST(SettingsWindowTable, OnlyTheAccountPageIsShownAtFirstAndNothingOverlapsItsParent) {
    const WindowDef def = SettingsWindowDef();
    EXPECT_TRUE(def.Find(kSettingsAccountPage)->visible);
    for (const char* page : {kSettingsGeneralPage, kSettingsPersonalPage, kSettingsAboutPage}) {
        EXPECT_FALSE(def.Find(page)->visible) << page;
    }
    // Page buttons stand in one column without overlapping.
    std::set<int> rows;
    for (const char* button : {"设置_账户", "设置_通用", "设置_个性化", "设置_服务器", "设置_游戏内", "设置_高级",
                               "设置_关于", "设置_返回"}) {
        const int y = def.Find(button)->y;
        for (int other : rows) EXPECT_GE(std::abs(other - y), 34) << button;
        rows.insert(y);
    }
    // Every control lies inside its parent, except the not-signed-in panel,
    // which waits outside the page until the account fill moves it in.
    for (const ControlDef& c : def.controls) {
        if (c.parent.empty() || c.name == "设置_账户_未登录面板") continue;
        SCOPED_TRACE(c.name);
        const ControlDef* parent = def.Find(c.parent);
        ASSERT_NE(parent, nullptr);
        EXPECT_GE(c.x, 0);
        EXPECT_GE(c.y, 0);
        EXPECT_LE(c.x + c.width, parent->width);
        EXPECT_LE(c.y + c.height, parent->height);
    }
    EXPECT_GE(def.Find("设置_账户_未登录面板")->x, def.Find(kSettingsAccountPage)->width);
}

}  // namespace
}  // namespace kestrel::toolkit
