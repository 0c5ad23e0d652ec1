#include <utility>

#include "toolkit/Windows.h"

namespace kestrel::toolkit {
namespace {

using K = ControlKind;

constexpr std::uint32_t kProblemColor = 0xFFFF8A80;

ControlDef Styled(ControlDef def, int font_px, TextAlign align = TextAlign::Left) {
    def.font_px = font_px;
    def.align = align;
    return def;
}

ControlDef Combo(std::string name, std::string parent, int x, int y, int w, int h,
                 std::vector<std::string> items, std::string caption = "") {
    ControlDef def = Control(std::move(name), K::ComboBox, std::move(parent), x, y, w, h, std::move(caption));
    def.items = std::move(items);
    return def;
}

// The catalogue: the type filters, the search box and the list, with the
// line that stands over the list while it loads or when it failed.
void AddCataloguePanel(std::vector<ControlDef>& c) {
    const std::string p = kDownloadListPanel;
    c.push_back(Control(p, K::Panel, "下载_背景", 16, 16, 440, 419));
    c.push_back(Control("下载_筛选_正式版", K::Switch, p, 12, 10, 84, 24, "正式版"));
    c.push_back(Control("下载_筛选_快照版", K::Switch, p, 100, 10, 84, 24, "快照版"));
    c.push_back(Control("下载_筛选_远古版", K::Switch, p, 188, 10, 84, 24, "远古版"));
    c.push_back(Control("下载_搜索_标题", K::Label, p, 280, 10, 36, 24, "搜索"));
    c.push_back(Control(kDownloadSearchBox, K::Edit, p, 316, 10, 112, 24));
    c.push_back(Control(kDownloadList, K::List, p, 12, 42, 416, 365, "版本\t类型\t发布日期\t状态"));
    // The line stands on the list's light ground, so it is written dark.
    ControlDef note = Styled(Control(kDownloadListNote, K::Label, p, 24, 150, 392, 84, "", false), 15, TextAlign::Center);
    note.text_color = 0xFF4A5263;
    c.push_back(note);
    c.push_back(Control(kDownloadRetry, K::Button, p, 184, 240, 72, 26, "重试", false));
}

// The chosen version: its loader, the loader's version, the name it gets,
// and the install with its progress.
void AddInstallPanel(std::vector<ControlDef>& c) {
    const std::string p = kDownloadInstallPanel;
    c.push_back(Control(p, K::Panel, "下载_背景", 466, 16, 306, 419));
    c.push_back(Styled(Control(kDownloadChosen, K::Label, p, 12, 10, 282, 30, "请在左侧选择一个版本"), 18));
    c.push_back(Control(kDownloadChosenKind, K::Label, p, 12, 40, 282, 20));
    c.push_back(Control("下载_加载器_标题", K::Label, p, 12, 72, 80, 24, "加载器"));
    c.push_back(Combo(kDownloadLoader, p, 96, 72, 198, 24, {"无", "Fabric", "Quilt", "Forge", "NeoForge"}, "无"));
    c.push_back(Control("下载_加载器版本_标题", K::Label, p, 12, 102, 80, 24, "加载器版本"));
    c.push_back(Combo(kDownloadLoaderVersion, p, 96, 102, 198, 24, {}));
    c.push_back(Control(kDownloadLoaderNote, K::Label, p, 12, 130, 204, 36, "", false));
    c.push_back(Control(kDownloadLoaderRetry, K::Button, p, 222, 134, 72, 24, "重试", false));
    c.push_back(Control("下载_名称_标题", K::Label, p, 12, 172, 80, 24, "版本名称"));
    c.push_back(Control(kDownloadName, K::Edit, p, 96, 172, 198, 24));
    ControlDef problem = Control(kDownloadNameNote, K::Label, p, 12, 200, 282, 36, "", false);
    problem.text_color = kProblemColor;
    c.push_back(problem);
    c.push_back(Styled(Control(kDownloadInstall, K::Button, p, 12, 242, 282, 34, "安装"), 15));
    c.push_back(Styled(Control(kDownloadCancel, K::Button, p, 12, 242, 282, 34, "取消", false), 15));
    c.push_back(Control(kDownloadProgress, K::ProgressBar, p, 12, 290, 282, 14, "", false));
    c.push_back(Control(kDownloadStep, K::Label, p, 12, 310, 282, 20));
    c.push_back(Control(kDownloadFiles, K::Label, p, 12, 334, 140, 20));
    c.push_back(Styled(Control(kDownloadBytes, K::Label, p, 154, 334, 140, 20), 0, TextAlign::Right));
    c.push_back(Control(kDownloadSpeed, K::Label, p, 12, 358, 140, 20));
    c.push_back(Styled(Control(kDownloadTimeLeft, K::Label, p, 154, 358, 140, 20), 0, TextAlign::Right));
}

}  // namespace

WindowDef DownloadWindowDef() {
    WindowDef w;
    w.name = kDownloadWindow;
    w.title = "下载游戏";
    w.frame_caption = "下载游戏";
    w.width = 790;
    w.height = 486;
    auto& c = w.controls;
    c.push_back(Control("下载_窗口EX", K::Frame, "", 0, 0, 790, 486, "下载游戏"));
    c.push_back(Control("下载_背景", K::Picture, "", 1, 30, 788, 455));
    AddCataloguePanel(c);
    AddInstallPanel(c);
    return w;
}

}  // namespace kestrel::toolkit
