#include "toolkit/Windows.h"

#include <optional>
#include <set>

#include <gtest/gtest.h>

namespace kestrel::toolkit {
namespace {

using K = ControlKind;
constexpr int kAny = -1;  // the design gives no figure for this field

struct Row {
    const char* name;
    K kind;
    const char* parent;
    int x, y, width, height;
    std::optional<const char*> caption;
};

// The main window's controls as the launcher's design lists them: name,
// kind, parent, place and caption (kAny / nullopt where the design leaves
// the figure open).
const Row kMainRows[] = {
    {"窗口EX1", K::Frame, "", 0, 0, 790, 486, "Kestrel 2.0"},
    {"背景", K::Picture, "", 1, 30, 788, 455, std::nullopt},
    {"登录面板", K::Panel, "背景", 0, 0, 239, 455, std::nullopt},
    {"主标题_MCLOGO", K::Picture, "登录面板", 5, 27, 228, 45, std::nullopt},
    {"副标题", K::Label, "登录面板", -4, 71, 247, 20, std::nullopt},
    {"登录方式_标签标题", K::Label, "登录面板", 15, 207, kAny, kAny, "登录方式:"},
    {"登录方式", K::ComboBox, "登录面板", 82, 207, kAny, kAny, std::nullopt},
    {"账号_标签标题", K::Label, "登录面板", kAny, kAny, kAny, kAny, "账号:"},
    {"账号", K::Edit, "登录面板", kAny, kAny, kAny, kAny, std::nullopt},
    {"密码_标签标题", K::Label, "登录面板", kAny, kAny, kAny, kAny, "密码:"},
    {"密码", K::PasswordEdit, "登录面板", kAny, kAny, kAny, kAny, std::nullopt},
    {"登录按钮", K::Button, "登录面板", 83, 261, 72, 26, "登录"},
    {"欢迎标题", K::Label, "登录面板", 15, 256, 208, 42, "欢迎,"},
    {"用户头像", K::Picture, "登录面板", 83, 176, 72, 72, std::nullopt},
    {"启动游戏按钮", K::Button, "登录面板", 55, 330, 128, 34, "启动游戏"},
    {"版本框", K::ComboBox, "登录面板", 55, 299, 128, 24, std::nullopt},
    {"设置按钮", K::Button, "登录面板", 55, 371, 64, 24, "设置"},
    {"注销按钮", K::Button, "登录面板", 119, 371, 64, 24, "注销"},
    // The launcher's own: opens the download window.
    {"下载按钮", K::Button, "登录面板", 55, 401, 128, 24, "下载游戏"},
    {"在线图标", K::Picture, "登录面板", 125, 230, 40, 24, std::nullopt},
    {"更新进度", K::ProgressBar, "登录面板", 7, 426, kAny, kAny, std::nullopt},
    {"更新进度_文字", K::Label, "登录面板", 8, 408, kAny, kAny, std::nullopt},
    {"微软登录_提示文本", K::Label, "登录面板", 64, 164, kAny, kAny, "您的代码是"},
    {"微软登录_登录代码", K::Edit, "登录面板", 37, 188, kAny, kAny, std::nullopt},
    {"微软登录_提示文本1", K::Label, "登录面板", 7, 226, kAny, kAny,
     "已复制到剪切板。\r\n稍后弹出的窗口中可能需要您粘贴。"},
    {"微软登录_取消登录", K::Button, "登录面板", 83, 291, kAny, kAny, "取消登录"},
    {"微软登录_取消登录_提示文本", K::Label, "登录面板", 7, 117, kAny, kAny,
     "登录已被禁止,五秒后才可重新登录."},
    {"Mojang登录_提示1", K::Label, "登录面板", kAny, kAny, kAny, kAny, std::nullopt},
    {"Mojang登录_提示2", K::Label, "登录面板", kAny, kAny, kAny, kAny, "详细信息"},
    {"公告板", K::Panel, "背景", 526, 6, 256, 252, std::nullopt},
    {"公告板_标题", K::Label, "公告板", kAny, kAny, kAny, kAny, std::nullopt},
    {"公告板_内容", K::Label, "公告板", kAny, kAny, kAny, kAny, std::nullopt},
    {"公告板_发布时间", K::Label, "公告板", kAny, kAny, kAny, kAny, std::nullopt},
    {"服务器在线状态板", K::Panel, "背景", 526, 259, 256, 80, std::nullopt},
    {"服务器状态_图标", K::Picture, "服务器在线状态板", kAny, kAny, kAny, kAny, std::nullopt},
    {"服务器状态_标题", K::Label, "服务器在线状态板", kAny, kAny, kAny, kAny, std::nullopt},
    {"服务器状态_详细状态", K::Label, "服务器在线状态板", kAny, kAny, kAny, kAny, std::nullopt},
    {"版本号显示", K::Label, "背景", 242, 434, 448, 16, "正在检查版本号..."},
    {"更新失败提示", K::Picture, "背景", 242, 434, 20, 20, std::nullopt},
    {"音乐播放", K::MediaPlayer, "", kAny, kAny, kAny, kAny, std::nullopt},
    {"初始化", K::Picture, "", kAny, 0, 790, 486, std::nullopt},
    {"初始化进度", K::ProgressBar, "初始化", kAny, kAny, kAny, kAny, std::nullopt},
    {"初始化进度_文字", K::Label, "初始化", kAny, kAny, kAny, kAny, "0%"},
    {"初始化进度_文字1", K::Label, "初始化", kAny, kAny, kAny, kAny, "请稍后"},
};

void ExpectRow(const WindowDef& window, const Row& row) {
    SCOPED_TRACE(row.name);
    const ControlDef* c = window.Find(row.name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->kind, row.kind) << KindName(c->kind);
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

TEST(WindowTables, MainWindowHasEveryDesignedControlAtItsPlace) {
    const WindowDef w = MainWindowDef();
    EXPECT_EQ(w.width, 790);
    EXPECT_EQ(w.height, 486);
    EXPECT_EQ(w.title, "Kestrel 2");
    EXPECT_EQ(w.frame_caption, "Kestrel 2.0");
    EXPECT_EQ(w.Problems(), std::vector<std::string>{});
    for (const Row& row : kMainRows) ExpectRow(w, row);
    // Nothing in the table that the design does not name.
    EXPECT_EQ(w.controls.size(), std::size(kMainRows));
}

TEST(WindowTables, SignedOutLookAndDesignedItems) {
    const WindowDef w = MainWindowDef();
    for (const char* hidden : {"启动游戏按钮", "版本框", "设置按钮", "注销按钮", "用户头像", "欢迎标题",
                               "在线图标", "微软登录_提示文本", "微软登录_登录代码",
                               "微软登录_提示文本1", "微软登录_取消登录",
                               "微软登录_取消登录_提示文本", "更新失败提示", "音乐播放"}) {
        EXPECT_FALSE(w.Find(hidden)->visible) << hidden;
    }
    for (const char* shown : {"登录方式", "登录方式_标签标题", "登录按钮", "背景", "登录面板",
                              "版本号显示", "初始化"}) {
        EXPECT_TRUE(w.Find(shown)->visible) << shown;
    }
    const ControlDef* type = w.Find("登录方式");
    EXPECT_EQ(type->items, (std::vector<std::string>{"Microsoft账户", "Mojang账户", "离线账户"}));
    // The designed layout is the Microsoft one, so that item is the text.
    EXPECT_EQ(type->caption, "Microsoft账户");
}

TEST(WindowTables, ControlsAwaitingALayoutAreOutOfSight) {
    const WindowDef w = MainWindowDef();
    for (const char* outside : {"账号_标签标题", "账号", "密码_标签标题", "密码", "Mojang登录_提示1",
                                "Mojang登录_提示2"}) {
        const ControlDef* c = w.Find(outside);
        EXPECT_LT(c->x + c->width, 0) << outside << " must lie wholly left of the panel";
    }
    EXPECT_GE(w.Find("初始化")->x, w.width) << "the overlay waits beyond the window's right edge";
}

// Every other control lies within its parent, so nothing designed is cut
// off by a wrong figure. The slogan line overhangs the panel by design.
TEST(WindowTables, ControlsFitTheirParents) {
    for (const WindowDef& w : {MainWindowDef(), GameStartWindowDef(854, 510), DownloadWindowDef()}) {
        EXPECT_EQ(w.Problems(), std::vector<std::string>{}) << w.name;
        const std::set<std::string> exempt = {"副标题", "账号_标签标题", "账号", "密码_标签标题", "密码",
                                              "Mojang登录_提示1", "Mojang登录_提示2", "初始化"};
        for (const ControlDef& c : w.controls) {
            if (exempt.count(c.name)) continue;
            int pw = w.width, ph = w.height;
            if (!c.parent.empty()) {
                pw = w.Find(c.parent)->width;
                ph = w.Find(c.parent)->height;
            }
            EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.width <= pw && c.y + c.height <= ph)
                << w.name << ": " << c.name << " at " << c.x << "," << c.y << " " << c.width << "x"
                << c.height << " in " << pw << "x" << ph;
        }
    }
}

TEST(WindowTables, GameStartWindowCoversItselfWithTheLoadingPanel) {
    const WindowDef w = GameStartWindowDef(854, 510);
    EXPECT_EQ(w.title, "Minecraft");
    EXPECT_EQ(w.width, 854);
    EXPECT_EQ(w.height, 510);
    EXPECT_EQ(w.Problems(), std::vector<std::string>{});
    const Row rows[] = {
        {"背景", K::Picture, "", 0, 0, 854, 510, std::nullopt},
        {"游戏初始化", K::Picture, "", 0, 0, 854, 510, std::nullopt},
        {"初始化进度", K::ProgressBar, "游戏初始化", 120, 368, 550, 20, std::nullopt},
        {"初始化进度_文字", K::Label, "游戏初始化", kAny, kAny, kAny, kAny, "0%"},
        {"初始化进度_文字1", K::Label, "游戏初始化", kAny, kAny, kAny, kAny, "请稍后"},
        {"取消启动", K::Label, "", 824, 6, 24, 24, "×"},
    };
    for (const Row& row : rows) ExpectRow(w, row);
    EXPECT_EQ(w.controls.size(), std::size(rows));
    // The loading panel lies above the background, the close control above both.
    EXPECT_EQ(w.controls[0].name, "背景");
    EXPECT_EQ(w.controls.back().name, "取消启动");
}

TEST(WindowTables, ProblemsNameBrokenTables) {
    WindowDef w;
    w.name = "w";
    auto def = [](const char* name, const char* parent) {
        ControlDef c;
        c.name = name;
        c.parent = parent;
        return c;
    };
    w.controls = {def("child", "box"), def("box", ""), def("box", ""), def("", "")};
    const std::vector<std::string> problems = w.Problems();
    EXPECT_EQ(problems.size(), 3u);
    EXPECT_NE(problems[0].find("child"), std::string::npos);
    EXPECT_NE(problems[1].find("duplicate"), std::string::npos);
    EXPECT_EQ(w.Find("missing"), nullptr);
}

// A table's faults are named, one line each; a sound one has none.
TEST(WindowTables, ProblemsNameEachFaultOfATable) {
    struct Case {
        const char* what;
        std::vector<ControlDef> controls;
        std::string cover;
        std::vector<std::string> problems;
    } cases[] = {
        {"sound", {Control("a", K::Panel, "", 0, 0, 10, 10), Control("b", K::Label, "a", 0, 0, 5, 5)}, "a", {}},
        {"twice", {Control("a", K::Panel, "", 0, 0, 1, 1), Control("a", K::Label, "", 0, 0, 1, 1)}, "",
         {"duplicate name: a"}},
        {"parent after child", {Control("b", K::Label, "a", 0, 0, 1, 1), Control("a", K::Panel, "", 0, 0, 1, 1)}, "",
         {"b: parent a is not listed before it"}},
        {"unknown cover", {Control("a", K::Panel, "", 0, 0, 1, 1)}, "overlay", {"cover overlay is not in the table"}},
    };
    for (const Case& c : cases) {
        WindowDef w;
        w.name = "w";
        w.controls = c.controls;
        w.cover = c.cover;
        EXPECT_EQ(w.Problems(), c.problems) << c.what;
    }
}

}  // namespace
}  // namespace kestrel::toolkit
