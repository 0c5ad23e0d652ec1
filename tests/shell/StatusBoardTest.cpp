#include "shell/StatusBoard.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <regex>

#include "shell/ContentWiringFixture.h"
#include "support/FakeStatusServer.h"
#include "support/StopLater.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {
namespace {

using testing::ContentLauncher;
using testing::FakeStatusServer;
using testing::StatusResponse;

const std::string kDefaultIcon(toolkit::Asset("server-icon.png"));
const std::string kIcon("\x89PNG\r\n\x1a\nicon", 12);

// Base64 written independently of the code under test.
std::string Base64(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) out.push_back(digits[(n >> shift) & 63]);
    }
    if (i < bytes.size()) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out.push_back(digits[(n >> 18) & 63]);
        out.push_back(digits[(n >> 12) & 63]);
        out.push_back(i + 1 < bytes.size() ? digits[(n >> 6) & 63] : '=');
        out.push_back('=');
    }
    return out;
}

// Every field given; each case below takes some away.
servers::ServerStatus Full() {
    servers::ServerStatus status;
    status.version_name = "1.20.1";
    status.players_max = "20";
    status.players_online = "3";
    status.icon = kIcon;
    status.description = "欢迎来玩";
    status.echo = "12";
    return status;
}

TEST(StatusBoard, EachMissingValueCorrectsTheTextsInOrder) {
    using Edit = void (*)(servers::ServerStatus&);
    const struct Case {
        const char* name;
        Edit edit;
        std::string icon;
        std::string title;
        std::string detail;
        int misses;
    } cases[] = {
        {"everything said", [](servers::ServerStatus&) {}, kIcon, "欢迎来玩 1.20.1", "在线,Ping: 12ms\r\n在线人数: 3/20", 0},
        {"no description", [](servers::ServerStatus& s) { s.description.clear(); }, kIcon, "Minecraft服务器 1.20.1",
         "在线,Ping: 12ms\r\n在线人数: 3/20", 1},
        {"no version name", [](servers::ServerStatus& s) { s.version_name.clear(); }, kIcon, "Minecraft服务器",
         "在线,Ping: 12ms\r\n在线人数: 3/20", 1},
        {"neither description nor version name: the later row wins",
         [](servers::ServerStatus& s) {
             s.description.clear();
             s.version_name.clear();
         },
         kIcon, "Minecraft服务器", "在线,Ping: 12ms\r\n在线人数: 3/20", 2},
        {"echo never measured", [](servers::ServerStatus& s) { s.echo.clear(); }, kIcon, "欢迎来玩 1.20.1",
         "在线\r\n在线人数: 3/20", 1},
        {"echo blocked is no miss", [](servers::ServerStatus& s) { s.echo = "-1"; }, kIcon, "欢迎来玩 1.20.1",
         "在线\r\n在线人数: 3/20", 0},
        {"no players online: the later row wins over the echo",
         [](servers::ServerStatus& s) {
             s.players_online.clear();
             s.echo = "-1";
         },
         kIcon, "欢迎来玩 1.20.1", "在线\r\n在线人数: 不明", 1},
        {"no icon", [](servers::ServerStatus& s) { s.icon.clear(); }, kDefaultIcon, "欢迎来玩 1.20.1",
         "在线,Ping: 12ms\r\n在线人数: 3/20", 1},
        {"reached but silent: four misses is still online",
         [](servers::ServerStatus& s) {
             s = {};
             s.echo = "-1";
         },
         kDefaultIcon, "Minecraft服务器", "在线\r\n在线人数: 不明", 4},
        {"four misses with a measured echo",
         [](servers::ServerStatus& s) {
             s = {};
             s.echo = "7";
         },
         kDefaultIcon, "Minecraft服务器", "在线\r\n在线人数: 不明", 4},
        {"never reached: five misses is offline", [](servers::ServerStatus& s) { s = {}; },
         kDefaultIcon, "Minecraft服务器", "离线\r\nmc.example.org:25570", 5},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        servers::ServerStatus status = Full();
        test.edit(status);
        const StatusBoardView view = StatusBoardFor(status, "mc.example.org:25570");
        EXPECT_EQ(view.icon, test.icon);
        EXPECT_EQ(view.title, test.title);
        EXPECT_EQ(view.detail, test.detail);
        EXPECT_EQ(view.misses, test.misses);
    }
}

TEST(StatusBoard, TheBuiltInAddressComesBeforeTheSettings) {
    const struct {
        const char* built_in;
        const char* ip;
        const char* chosen;
    } cases[] = {
        {"builtin.example", "mine.example:25570", "builtin.example"},
        {"", "mine.example:25570", "mine.example:25570"},
        {"", "", ""},
    };
    for (const auto& test : cases) {
        Constants constants;
        constants.server_address = test.built_in;
        SettingsRecord settings;
        settings.server_address = test.ip;
        EXPECT_EQ(StatusBoardAddress(constants, settings), test.chosen);
    }
}

// Short time-outs, so a silent server ends the query at once.
const servers::QueryOptions kFast{1000, 1000, 300, 300};

// The detail line of a reachable server: with the echo time where the
// system permits ICMP echoes, without it where it blocks them.
::testing::AssertionResult OnlineDetail(const std::string& detail, const std::string& players) {
    const std::regex form("在线(,Ping: [0-9]+ms)?\r\n在线人数: " + players);
    if (std::regex_match(detail, form)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "detail: " << detail;
}

// A port on 127.0.0.1 that refuses connections: bound, never listening.
class RefusingPort {
public:
    RefusingPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(fd_); }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
};

struct Board {
    std::string icon, title, detail;
};

Board Fill(ContentLauncher& launcher, const std::string& built_in, const std::string& ip) {
    launcher.state().constants.Update([&](Constants& c) { c.server_address = built_in; });
    launcher.state().settings.Update([&](SettingsRecord& s) { s.server_address = ip; });
    FillStatusBoard(launcher.ctx(), {}, kFast);
    toolkit::MemorySurface& window = launcher.window();
    EXPECT_TRUE(window.Problems().empty());
    return {window.Picture("服务器状态_图标"), window.Text("服务器状态_标题"), window.Text("服务器状态_详细状态")};
}

TEST(StatusBoard, FilledFromTheServersAnswer) {
    const std::string favicon = "data:image/png;base64," + Base64(kIcon);
    const struct Case {
        const char* name;
        std::string json;
        std::size_t piece;  // TCP segment size, 0 for one send
        std::string icon;
        std::string title;
        std::string players;
    } cases[] = {
        {"a plain text description loses its codes and question marks",
         R"({"version":{"name":"1.8.9"},"players":{"max":20,"online":3},"description":"§aHello§r World?","favicon":")" +
             favicon + R"("})",
         0, kIcon, "Hello World 1.8.9", "3/20"},
        {"a description's extra texts follow its text",
         R"({"version":{"name":"1.20.1"},"players":{"max":100,"online":42},"description":{"text":"A","extra":[{"text":"B","color":"gold"},{"text":"C"}]}})",
         0, kDefaultIcon, "ABC 1.20.1", "42/100"},
        // A JSON text under 128 bytes has a 3-byte header; read by its
        // framing it still shows.
        {"a short status", R"({"version":{"name":"x"},"players":{"max":1,"online":0},"description":"d"})", 0,
         kDefaultIcon, "d x", "0/1"},
        // Over one receive and over 16383 bytes, in pieces.
        {"a long status in pieces",
         R"({"version":{"name":"big"},"players":{"max":5,"online":1},"description":")" + std::string(20000, 'm') +
             R"("})",
         1000, kDefaultIcon, std::string(20000, 'm') + " big", "1/5"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ContentLauncher launcher;
        FakeStatusServer server(StatusResponse(test.json), test.piece);
        const Board board = Fill(launcher, server.address(), "");
        EXPECT_EQ(board.icon, test.icon);
        EXPECT_EQ(board.title, test.title);
        EXPECT_TRUE(OnlineDetail(board.detail, test.players));
        EXPECT_TRUE(launcher.window().Visible("服务器在线状态板"));
    }
}

TEST(StatusBoard, UnusableAnswersAndAbsentServers) {
    ContentLauncher launcher;
    {
        SCOPED_TRACE("reached but silent");
        FakeStatusServer silent("", 0, FakeStatusServer::kSilent);
        const Board board = Fill(launcher, silent.address(), "");
        EXPECT_EQ(board.icon, kDefaultIcon);
        EXPECT_EQ(board.title, "Minecraft服务器");
        EXPECT_EQ(board.detail, "在线\r\n在线人数: 不明");
    }
    {
        SCOPED_TRACE("an answer that does not parse");
        FakeStatusServer garbage(StatusResponse("{not json"));
        const Board board = Fill(launcher, garbage.address(), "");
        EXPECT_EQ(board.title, "Minecraft服务器");
        EXPECT_EQ(board.detail, "在线\r\n在线人数: 不明");
    }
    {
        SCOPED_TRACE("refused");
        RefusingPort refusing;
        const Board board = Fill(launcher, "", refusing.address());
        EXPECT_EQ(board.icon, kDefaultIcon);
        EXPECT_EQ(board.title, "Minecraft服务器");
        EXPECT_EQ(board.detail, "离线\r\n" + refusing.address());
    }
    {
        SCOPED_TRACE("an address that is no address");
        const Board board = Fill(launcher, "127.0.0.1:notaport", "");
        EXPECT_EQ(board.detail, "离线\r\n127.0.0.1:notaport");
    }
    EXPECT_TRUE(launcher.window().Visible("服务器在线状态板"));
}

TEST(StatusBoard, TheSettingsServerIsAskedOnlyWithoutABuiltInOne) {
    FakeStatusServer built_in(StatusResponse(R"({"version":{"name":"b"},"players":{"max":2,"online":1},"description":"built-in"})"));
    FakeStatusServer mine(StatusResponse(R"({"version":{"name":"m"},"players":{"max":2,"online":1},"description":"mine"})"));
    {
        ContentLauncher launcher;
        EXPECT_EQ(Fill(launcher, built_in.address(), mine.address()).title, "built-in b");
    }
    {
        ContentLauncher launcher;
        EXPECT_EQ(Fill(launcher, "", mine.address()).title, "mine m");
    }
}

TEST(StatusBoard, WithoutAnAddressTheBoardIsHidden) {
    ContentLauncher launcher;
    launcher.window().ClearChanges();
    Fill(launcher, "", "");
    EXPECT_FALSE(launcher.window().Visible("服务器在线状态板"));
    // Nothing else was written: the board is simply gone.
    EXPECT_EQ(launcher.window().Changes().size(), 1u);
}

TEST(StatusBoard, AStopDuringTheQueryLeavesTheBoardAlone) {
    ContentLauncher launcher;
    FakeStatusServer server(StatusResponse(R"({"version":{"name":"1"}})"));
    launcher.state().constants.Update([&](Constants& c) { c.server_address = server.address(); });
    launcher.window().ClearChanges();
    std::stop_source stop;
    stop.request_stop();
    FillStatusBoard(launcher.ctx(), stop.get_token(), kFast);
    EXPECT_TRUE(launcher.window().Changes().empty());
}

TEST(StatusBoard, AStopWhileTheServerStaysSilentEndsTheFillPromptly) {
    // The worker's stop reaches the query itself: with time-outs far longer
    // than the guard, only the stop can end the fill within it.
    ContentLauncher launcher;
    FakeStatusServer silent("", 0, FakeStatusServer::kSilent);
    launcher.state().constants.Update([&](Constants& c) { c.server_address = silent.address(); });
    launcher.window().ClearChanges();
    std::stop_source stop;
    const testing::StopLater stopper(stop, 100);
    const auto start = std::chrono::steady_clock::now();
    FillStatusBoard(launcher.ctx(), stop.get_token(), servers::QueryOptions{60000, 60000, 60000, 60000});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(launcher.window().Changes().empty());
}

}  // namespace
}  // namespace kestrel::shell
