#include "net/HttpSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/RecordingHttpServer.h"
#include "support/HttpTestServer.h"

namespace kestrel::net {
namespace {

using testing::RecordingHttpServer;

enum class Path { kInet, kCurl, kCom };

std::string Request(const HttpSession& session, Path path, const std::string& url, int method,
                    std::string_view body, std::string_view headers) {
    switch (path) {
        case Path::kInet: return session.InetRequest(url, method, body, headers);
        case Path::kCurl: return session.CurlRequest(url, method, body, headers);
        case Path::kCom: return session.ComRequest(url, method, body, headers);
    }
    return {};
}

// What each path sends, line by line and in order, for the cases the
// services depend on. "HOST" and "URL" stand for the server's address and
// the request URL.
TEST(HttpSession, EachPathSendsItsOwnHeaderLinesInOrder) {
    const std::string ua = "User-Agent: " + std::string(kDefaultUserAgent);
    struct Case {
        const char* name;
        Path path;
        int method;
        std::string body;
        std::string headers;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"inet GET, no extra headers", Path::kInet, kGet, "", "",
         {"GET /p?q=1 HTTP/1.1", "Host: HOST", ua, "Accept: */*", "Referer: URL", "Accept-Language: zh-cn",
          "Content-Type: application/x-www-form-urlencoded"}},
        // Its search is case-sensitive, so a lower-case content type gets a
        // second, default one beside it.
        {"inet POST, lower-case content type", Path::kInet, kPost, "{}", "content-type: application/json",
         {"POST /p?q=1 HTTP/1.1", "Host: HOST", ua, "content-type: application/json", "Accept: */*",
          "Referer: URL", "Accept-Language: zh-cn", "Content-Type: application/x-www-form-urlencoded",
          "Content-Length: 2"}},
        {"com POST, JSON headers", Path::kCom, kPost, "{}", "Content-Type: application/json\r\nAccept: application/json",
         {"POST /p?q=1 HTTP/1.1", "Host: HOST", "Content-Type: application/json", "Accept: application/json",
          "Referer: URL", "Accept-Language: zh-cn", ua, "Content-Length: 2"}},
        // Its search ignores case, and it capitalises every name.
        {"com POST, lower-case names", Path::kCom, kPost, "{}",
         "content-type: application/json\r\nx-xbl-contract-version: 1\r\nConnection: keep-alive\r\nno colon here",
         {"POST /p?q=1 HTTP/1.1", "Host: HOST", "Content-Type: application/json", "X-Xbl-Contract-Version: 1",
          "Accept: */*", "Referer: URL", "Accept-Language: zh-cn", ua, "Content-Length: 2"}},
        {"com GET, no extra headers", Path::kCom, kGet, "", "",
         {"GET /p?q=1 HTTP/1.1", "Host: HOST", "Accept: */*", "Referer: URL", "Accept-Language: zh-cn", ua}},
        {"curl POST, empty body", Path::kCurl, kPost, "", "",
         {"POST /p?q=1 HTTP/1.1", "Host: HOST", "Accept: */*", "Content-Length: 0",
          "Content-Type: application/x-www-form-urlencoded"}},
        {"curl GET ignores the body", Path::kCurl, kGet, "ignored", "X-Test: 1\r\n\r\nX-Smuggled: 1\nX-Evil: 2",
         {"GET /p?q=1 HTTP/1.1", "Host: HOST", "Accept: */*", "X-Test: 1"}},
    };
    for (const Case& test : cases) {
        RecordingHttpServer server;
        const std::string url = server.Url("/p?q=1");
        const std::string answer = Request(HttpSession(), test.path, url, test.method, test.body, test.headers);
        EXPECT_EQ(answer, "ok") << test.name;
        std::vector<std::string> expected;
        for (std::string line : test.expected) {
            if (line == "Host: HOST") line = "Host: " + server.host();
            if (line == "Referer: URL") line = "Referer: " + url;
            expected.push_back(line);
        }
        EXPECT_EQ(server.HeadLines(), expected) << test.name;
        EXPECT_EQ(server.Body(), test.method == kPost ? test.body : "") << test.name;
    }
}

TEST(HttpSession, PostBodiesArriveWholeWithTheirNulBytes) {
    testing::HttpTestServer server;
    server.server().Post("/echo", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(request.body, "application/octet-stream");
    });
    const std::string body("a\0b\0\0c", 6);
    for (Path path : {Path::kInet, Path::kCurl, Path::kCom}) {
        EXPECT_EQ(Request(HttpSession(), path, server.Url("/echo"), kPost, body, ""), body);
    }
}

// A server that accepts and never answers must not hold a worker: every path
// gives up after its time-outs (short ones here; 15 s and 60 s in use).
TEST(HttpSession, EveryPathGivesUpOnASilentServer) {
    testing::LoopbackServer silent(testing::StaySilent);
    HttpOptions options;
    options.inet = {500, 400, 0};
    options.curl = {500, 400, 0};
    options.com = {500, 0, 1000};
    const HttpSession session(options);
    const std::string url = "http://" + silent.address() + "/";
    for (Path path : {Path::kInet, Path::kCurl, Path::kCom}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Request(session, path, url, kGet, "", ""), "");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    }
}

TEST(HttpSession, StopRequestEndsARunningRequestAtOnce) {
    // The server sends part of an answer, then stalls.
    testing::LoopbackServer stalling([](int fd, const std::atomic<bool>& stopping) {
        testing::SendBytes(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\npartial");
        testing::StaySilent(fd, stopping);
    });
    std::stop_source stop;
    HttpOptions options;
    options.cancel = stop.get_token();
    const HttpSession session(options);
    std::jthread canceller([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop.request_stop();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(session.CurlRequest("http://" + stalling.address() + "/", kGet, "", ""), "");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(1000));
    // A session whose token has stopped sends nothing more.
    const int before = stalling.connections();
    EXPECT_EQ(session.InetRequest("http://" + stalling.address() + "/", kGet, "", ""), "");
    EXPECT_EQ(stalling.connections(), before);
}

TEST(HttpSession, DownloadsTreatErrorPagesAsFailures) {
    testing::HttpTestServer server;
    server.server().Get("/file", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("content", "text/plain");
    });
    server.server().Get("/missing", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("<html>not found</html>", "text/html");
    });
    const HttpSession session;
    EXPECT_EQ(session.Download(server.Url("/file")), "content");
    EXPECT_EQ(session.Download(server.Url("/missing")), "");
    // The sign-in paths hand error bodies to their callers, which read the
    // services' error texts from them.
    EXPECT_EQ(session.InetRequest(server.Url("/missing"), kGet, "", ""), "<html>not found</html>");
    // Reachable means "answered", whatever the status.
    EXPECT_TRUE(session.Reachable(server.Url("/missing")));
    testing::LoopbackServer closing([](int, const std::atomic<bool>&) {});
    EXPECT_FALSE(session.Reachable("http://" + closing.address() + "/"));
}

// A caller's body limit drops a longer answer as it arrives, on every path;
// an answer within the limit arrives whole.
TEST(HttpSession, AnAnswerOverTheBodyLimitGivesNoBytes) {
    testing::HttpTestServer server;
    const std::string big(3 << 20, 'x');
    server.server().Get("/big", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(big, "text/plain");
    });
    server.server().Get("/small", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("small", "text/plain");
    });
    HttpOptions options;
    options.max_body_bytes = 1 << 20;
    const HttpSession limited(options);
    for (Path path : {Path::kInet, Path::kCurl, Path::kCom}) {
        EXPECT_EQ(Request(limited, path, server.Url("/big"), kGet, "", ""), "") << int(path);
        EXPECT_EQ(Request(limited, path, server.Url("/small"), kGet, "", ""), "small") << int(path);
    }
    EXPECT_EQ(limited.Download(server.Url("/big")), "");
    EXPECT_EQ(HttpSession().Download(server.Url("/big")).size(), big.size());
}

TEST(HttpSession, ResponseTextDecodesUtf8) {
    EXPECT_EQ(ResponseText(""), "");
    EXPECT_EQ(ResponseText("\xE7\x99\xBB\xE5\xBD\x95"), "登录");
    EXPECT_EQ(ResponseText("a\xFF" "b"), "a?b");
}

}  // namespace
}  // namespace kestrel::net
