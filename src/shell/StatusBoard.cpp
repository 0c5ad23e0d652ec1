#include "shell/StatusBoard.h"

#include "toolkit/Assets.h"

namespace kestrel::shell {

namespace {

constexpr const char* kBoard = "服务器在线状态板";
constexpr const char* kMissingServerName = "Minecraft服务器";

std::string PlayersLine(const servers::ServerStatus& status) {
    return "在线\r\n在线人数: " + status.players_online + "/" + status.players_max;
}

}  // namespace

StatusBoardView StatusBoardFor(const servers::ServerStatus& status, const std::string& address) {
    StatusBoardView view;
    view.icon = status.icon;
    view.title = status.description + " " + status.version_name;
    view.detail = "在线,Ping: " + status.echo + "ms\r\n在线人数: " + status.players_online + "/" + status.players_max;

    if (status.description.empty()) {
        ++view.misses;
        view.title = std::string(kMissingServerName) + " " + status.version_name;
    }
    if (status.version_name.empty()) {
        ++view.misses;
        view.title = kMissingServerName;
    }
    if (status.echo.empty()) {
        ++view.misses;
        view.detail = PlayersLine(status);
    }
    if (status.echo == "-1") view.detail = PlayersLine(status);
    if (status.players_online.empty()) {
        ++view.misses;
        view.detail = "在线\r\n在线人数: 不明";
    }
    if (status.icon.empty()) {
        ++view.misses;
        view.icon = std::string(toolkit::Asset("server-icon.png"));
    }

    if (view.misses >= 5) {
        view.icon = std::string(toolkit::Asset("server-icon.png"));
        view.title = kMissingServerName;
        view.detail = "离线\r\n" + address;
    }
    return view;
}

std::string StatusBoardAddress(const Constants& constants, const SettingsRecord& settings) {
    return constants.server_address.empty() ? settings.server_address : constants.server_address;
}

void FillStatusBoard(LauncherContext& ctx, std::stop_token stop) { FillStatusBoard(ctx, stop, {}); }

void FillStatusBoard(LauncherContext& ctx, std::stop_token stop, const servers::QueryOptions& options) {
    if (!ctx.main_window) return;
    toolkit::Surface& window = *ctx.main_window;
    const std::string address = StatusBoardAddress(ctx.state.constants.Get(), ctx.state.settings.Get());
    if (address.empty()) {
        window.Hide(kBoard);
        return;
    }
    if (stop.stop_requested()) return;
    servers::ServerStatus status;
    servers::ServerTool(options).QueryServerStatus(address, status, stop);
    if (stop.stop_requested()) return;
    const StatusBoardView view = StatusBoardFor(status, address);
    window.SetPicture("服务器状态_图标", view.icon);
    window.SetText("服务器状态_标题", view.title);
    window.SetText("服务器状态_详细状态", view.detail);
}

}  // namespace kestrel::shell
