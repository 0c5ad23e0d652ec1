#pragma once

// The settings window ("设置", 790 × 486): it edits the settings record and
// has the whole options file saved after every single change (the options
// saver writes it on its worker), shows the signed-in account with its skin,
// the machine's memory and an about page.
// The main window's "设置" button opens it, not modal, owned by the main
// window; "返回" or the window's close button closes it. A click on "设置"
// while it is open brings the open one back instead of a second copy.
//
// Opening it starts four workers (ctx.workers) that fill the account,
// general, personalisation and about pages while the player may already
// click; every handler runs on the user-interface thread, and the "检测"
// button's Java discovery on a worker of its own. Each change goes through
// the record's lock and queues its save there, so the newest change is the
// one written last.
//
// Where the window learns about Java runtimes and the machine's memory is a
// SettingsSources, so tests can give fixed answers.
//
// Threading: call OpenSettingsWindow on the user-interface thread.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "java/JavaDiscovery.h"
#include "platform/HostProfile.h"
#include "platform/SystemInfo.h"
#include "shell/LauncherContext.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

struct SettingsSources {
    // The Java runtimes found, in discovery order.
    std::function<std::vector<java::JavaCandidate>()> discover_java;
    // The record of one executable chosen by hand (its version label).
    std::function<java::JavaCandidate(const std::string& executable)> describe_java;
    // The machine's memory now.
    std::function<platform::MemoryInfo()> memory_figures;

    // Java discovery and the memory figures of this machine.
    static SettingsSources ForHost(const platform::HostProfile& host);
};

// The texts the settings window shows in message boxes.
inline constexpr const char* kNoJavaAtOpenText =
    "未检测到您安装了Java!\r\n请安装或是去设置里手动选择您已安装且未检测到的java,否则会启动失败!";
inline constexpr const char* kNoJavaAtOpenCaption = "Error";
inline constexpr const char* kGameFolderDialogTitle = "选择游戏目录(通常是.Minecraft)";
inline constexpr const char* kDefaultGameFolderText = "默认(取运行目录+Minecraft)";

// Opens the settings window with this machine's Java discovery and memory
// figures. The 设置按钮 click calls it.
void OpenSettingsWindow(LauncherContext& ctx);

// The same with the given sources; returns the window (also kept in
// ctx.state.settings_window).
std::shared_ptr<toolkit::Surface> OpenSettingsWindow(LauncherContext& ctx, const SettingsSources& sources);

}  // namespace kestrel::shell
