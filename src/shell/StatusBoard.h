#pragma once

// The server status board 服务器在线状态板 on the right of the main window:
// one Minecraft server's icon, message of the day, version, echo time and
// player count, from one server list ping at start-up.
//
// The server is the built-in address of the constants when there is one,
// else the `ip` of the settings; with neither the board is hidden and nothing
// is asked. The board starts from the full form
//
//   title  "<description> <version name>"
//   detail "在线,Ping: <echo>ms\r\n在线人数: <online>/<max>"
//
// and corrects it for what the server did not say, in this order, a later
// correction overwriting an earlier one; all but the blocked echo count as a
// miss:
//
//   description empty     title  "Minecraft服务器 <version name>"
//   version name empty    title  "Minecraft服务器"
//   echo never measured   detail "在线\r\n在线人数: <online>/<max>"
//   echo blocked ("-1")   detail the same (not a miss)
//   players online empty  detail "在线\r\n在线人数: 不明"
//   icon empty            the built-in server icon
//
// Five misses mean the server was never reached: the board then reads
// "Minecraft服务器" and "离线\r\n<address>" beside the built-in icon.
//
// Threading: StatusBoardFor and StatusBoardAddress are pure. FillStatusBoard
// blocks on the query (bounded by the query's time-outs) and runs on a worker
// of its own; a stop requested meanwhile ends the query within moments (only
// a host-name lookup cannot be cut short) and leaves the board alone.

#include <functional>
#include <stop_token>
#include <string>

#include "servers/ServerStatus.h"
#include "servers/ServerTool.h"
#include "shell/LauncherContext.h"

namespace kestrel::shell {

struct StatusBoardView {
    std::string icon;    // 服务器状态_图标, PNG bytes
    std::string title;   // 服务器状态_标题
    std::string detail;  // 服务器状态_详细状态
    int misses = 0;
};

// What the board shows for a query's record of the server at address.
StatusBoardView StatusBoardFor(const servers::ServerStatus& status, const std::string& address);

// The address the board asks: the built-in one, else the settings' ip; ""
// when there is neither.
std::string StatusBoardAddress(const Constants& constants, const SettingsRecord& settings);

void FillStatusBoard(LauncherContext& ctx, std::stop_token stop);

// The same with the query's time-outs given (for tests and callers that want
// a shorter wait than the default).
void FillStatusBoard(LauncherContext& ctx, std::stop_token stop, const servers::QueryOptions& options);

}  // namespace kestrel::shell
