#include "net/RequestFailure.h"

#include <gtest/gtest.h>

#include "net/HttpSession.h"
#include "support/HttpTestServer.h"
#include "support/LoopbackServer.h"

namespace kestrel::net {
namespace {

// Each way a request can fail, against real peers on loopback: the kind, the
// status, whether a retry is worth it, and the body the callers of the
// design's request functions still get.
TEST(RequestFailure, RepliesSayWhyARequestFailed) {
    testing::HttpTestServer server;
    server.server().Get("/ok", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("fine", "text/plain");
    });
    for (const int status : {404, 429, 503}) {
        server.server().Get("/" + std::to_string(status), [status](const httplib::Request&, httplib::Response& response) {
            response.status = status;
            response.set_content("error page", "text/plain");
        });
    }
    // Headers promise 1000 bytes; the connection closes after 7.
    testing::LoopbackServer cutting([](int fd, const std::atomic<bool>& stopping) {
        testing::ReceiveUntil(fd, stopping, [](const std::string& got) { return got.find("\r\n\r\n") != std::string::npos; });
        testing::SendBytes(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\npartial");
    });
    std::string refused;
    {
        testing::LoopbackServer gone([](int, const std::atomic<bool>&) {});
        refused = "http://" + gone.address() + "/";
    }
    struct Case {
        std::string url;
        FailureKind kind;
        long status;
        bool retryable;
        std::string inet_body;
    };
    const Case cases[] = {
        {server.Url("/ok"), FailureKind::kNone, 200, false, "fine"},
        {server.Url("/404"), FailureKind::kHttpStatus, 404, false, "error page"},
        {server.Url("/429"), FailureKind::kHttpStatus, 429, true, "error page"},
        {server.Url("/503"), FailureKind::kHttpStatus, 503, true, "error page"},
        {"http://" + cutting.address() + "/", FailureKind::kCut, 200, true, "partial"},
        {refused, FailureKind::kConnect, 0, true, ""},
    };
    const HttpSession session;
    for (const Case& c : cases) {
        const HttpReply reply = session.InetReply(c.url, kGet, "", "");
        EXPECT_EQ(reply.failure.kind, c.kind) << c.url << " " << reply.failure.detail;
        EXPECT_EQ(reply.failure.http_status, c.status) << c.url;
        EXPECT_EQ(IsRetryable(reply.failure), c.retryable) << c.url;
        EXPECT_EQ(reply.body, c.inet_body) << c.url;
        EXPECT_EQ(session.InetRequest(c.url, kGet, "", ""), c.inet_body) << c.url;
        // A download takes no error page and no half file.
        const HttpReply download = session.DownloadReply(c.url);
        EXPECT_EQ(download.failure.kind, c.kind) << c.url;
        EXPECT_EQ(download.body, c.kind == FailureKind::kNone ? "fine" : "") << c.url;
    }
}

TEST(RequestFailure, ACancelIsNoFailureToRetry) {
    testing::LoopbackServer silent(testing::StaySilent);
    std::stop_source stop;
    stop.request_stop();
    HttpOptions options;
    options.cancel = stop.get_token();
    const HttpReply reply = HttpSession(options).CurlReply("http://" + silent.address() + "/", kGet, "", "");
    EXPECT_EQ(reply.failure.kind, FailureKind::kCancelled);
    EXPECT_FALSE(IsRetryable(reply.failure));
    EXPECT_EQ(FailureText(reply.failure), "已取消");
}

TEST(RequestFailure, LibcurlResultsMapToKinds) {
    const std::tuple<CURLcode, long, FailureKind> cases[] = {
        {CURLE_COULDNT_RESOLVE_HOST, 0, FailureKind::kConnect},
        {CURLE_OPERATION_TIMEDOUT, 0, FailureKind::kTimeout},
        {CURLE_PEER_FAILED_VERIFICATION, 0, FailureKind::kTls},
        {CURLE_SSL_CONNECT_ERROR, 0, FailureKind::kTls},
        {CURLE_RECV_ERROR, 200, FailureKind::kCut},
        {CURLE_HTTP2_STREAM, 0, FailureKind::kCut},
        {CURLE_HTTP_RETURNED_ERROR, 502, FailureKind::kHttpStatus},
        {CURLE_URL_MALFORMAT, 0, FailureKind::kOther},
    };
    for (const auto& [code, status, kind] : cases) {
        EXPECT_EQ(ClassifyCurlResult(code, status).kind, kind) << code;
    }
    EXPECT_EQ(ClassifyCurlResult(CURLE_WRITE_ERROR, 200, false, true).kind, FailureKind::kTooLarge);
    EXPECT_EQ(FailureText(ClassifyCurlResult(CURLE_HTTP_RETURNED_ERROR, 502)), "服务器返回 HTTP 502");
    EXPECT_TRUE(IsRetryable(ClassifyCurlResult(CURLE_OPERATION_TIMEDOUT, 0)));
    EXPECT_FALSE(IsRetryable(ClassifyCurlResult(CURLE_PEER_FAILED_VERIFICATION, 0)));
}

}  // namespace
}  // namespace kestrel::net
