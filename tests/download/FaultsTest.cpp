#include <gtest/gtest.h>
#include <sys/socket.h>

#include "download/DownloadFixture.h"
#include "support/LoopbackServer.h"

namespace kestrel::download {
namespace {

using Fault = testing::FileServer::Fault;
using Step = testing::FileServer::Step;
using testing::FileServer;
using testing::TempFolder;

// Faults of one server, each on one file, with three tries and no fallback:
// what the job ends with, how many requests it took and which pauses it made.
TEST(DownloadFaults, EachFaultIsTriedAgainOrNotAsItDeserves) {
    struct Case {
        const char* name;
        std::vector<Step> script;
        bool ok;
        int requests;
        std::vector<std::int64_t> pauses;
        const char* text;  // in the error, when it fails
    };
    const Case cases[] = {
        {"500 once", {{Fault::kStatus, 500}}, true, 2, {50}, ""},
        {"503 twice", {{Fault::kStatus, 503}, {Fault::kStatus, 503}}, true, 3, {50, 100}, ""},
        {"429 once", {{Fault::kStatus, 429}}, true, 2, {50}, ""},
        {"body cut", {{Fault::kCut, 0, 3000}}, true, 2, {50}, ""},
        {"wrong bytes", {{Fault::kWrongBytes}}, true, 2, {50}, ""},
        {"500 for ever",
         {{Fault::kStatus, 500}, {Fault::kStatus, 500}, {Fault::kStatus, 500}},
         false,
         3,
         {50, 100},
         "服务器返回 HTTP 500"},
        {"wrong bytes for ever",
         {{Fault::kWrongBytes}, {Fault::kWrongBytes}, {Fault::kWrongBytes}},
         false,
         3,
         {50, 100},
         "SHA-1 校验不符"},
        {"404", {{Fault::kStatus, 404}}, false, 1, {}, "服务器返回 HTTP 404"},
        {"403", {{Fault::kStatus, 403}}, false, 1, {}, "服务器返回 HTTP 403"},
    };
    const std::string bytes = Bytes(10000, 42);
    for (const Case& c : cases) {
        FileServer server;
        TempFolder folder;
        server.Put("/file.bin", bytes);
        server.Script("/file.bin", c.script);
        testing::FakeClock clock;
        const FileRequest request = RequestFor(server, "/file.bin", folder, "out/file.bin", bytes);
        const DownloadOutcome outcome = Downloader(TestOptions(&clock)).Run({request}, {});
        EXPECT_EQ(static_cast<bool>(outcome.status), c.ok) << c.name << ": " << outcome.status.error();
        EXPECT_EQ(server.RequestsFor("/file.bin"), c.requests) << c.name;
        EXPECT_EQ(clock.Sleeps(), c.pauses) << c.name;
        EXPECT_TRUE(LeftoversUnder(folder.path()).empty()) << c.name;
        if (c.ok) {
            EXPECT_EQ(ReadAll(request.path), bytes) << c.name;
        } else {
            EXPECT_FALSE(std::filesystem::exists(request.path)) << c.name;
            // The error names the file and the cause.
            EXPECT_NE(outcome.status.error().find(request.path), std::string::npos) << outcome.status.error();
            EXPECT_NE(outcome.status.error().find(c.text), std::string::npos) << outcome.status.error();
        }
    }
}

// A server that resets every connection as soon as it has read the request.
class ResettingServer {
public:
    ResettingServer()
        : server_([](int fd, const std::atomic<bool>& stopping) {
              testing::ReceiveUntil(fd, stopping,
                                    [](const std::string& got) { return got.find("\r\n\r\n") != std::string::npos; });
              const linger reset{1, 0};
              ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
          }) {}
    std::string Url(const std::string& path) const { return "http://" + server_.address() + path; }
    int connections() const { return server_.connections(); }

private:
    testing::LoopbackServer server_;
};

TEST(DownloadFaults, RefusedAndResetConnectionsAreTriedAgainThenFail) {
    ResettingServer resetting;
    std::string refused_url;
    {
        FileServer gone;
        refused_url = gone.Url("/file.bin");
    }
    const std::pair<std::string, const char*> cases[] = {
        {refused_url, "无法连接服务器"},
        {resetting.Url("/file.bin"), "传输中断"},
    };
    for (const auto& [url, text] : cases) {
        TempFolder folder;
        testing::FakeClock clock;
        FileRequest request{url, "", folder.path() + "/file.bin", HexSha1("x"), 1};
        const DownloadOutcome outcome = Downloader(TestOptions(&clock)).Run({request}, {});
        ASSERT_FALSE(outcome.status) << url;
        EXPECT_EQ(outcome.requests, 3) << url;
        EXPECT_EQ(clock.Sleeps(), (std::vector<std::int64_t>{50, 100})) << url;
        EXPECT_NE(outcome.status.error().find(text), std::string::npos) << outcome.status.error();
        ASSERT_EQ(outcome.failures.size(), 1u);
    }
    EXPECT_EQ(resetting.connections(), 3);
}

TEST(DownloadFaults, AStalledBodyIsEndedAndTriedAgain) {
    FileServer server;
    TempFolder folder;
    const std::string bytes = Bytes(200000, 5);
    server.Put("/slow.bin", bytes);
    server.Script("/slow.bin", {{Fault::kStall, 0, 70000}, {Fault::kStall, 0, 0}});
    platform::SystemClock clock;
    DownloadOptions options = TestOptions(&clock);
    options.stall_ms = 300;
    options.first_pause_ms = 10;
    const FileRequest request = RequestFor(server, "/slow.bin", folder, "slow.bin", bytes);
    const DownloadOutcome outcome = Downloader(options).Run({request}, {});
    ASSERT_TRUE(outcome.status) << outcome.status.error();
    EXPECT_EQ(server.RequestsFor("/slow.bin"), 3);
    EXPECT_EQ(ReadAll(request.path), bytes);

    // A file that stalls every time fails with the stall as its cause.
    server.Script("/slow.bin", {{Fault::kStall, 0, 10}, {Fault::kStall, 0, 10}, {Fault::kStall, 0, 10}});
    FileRequest again = request;
    again.path = folder.path() + "/again.bin";
    const DownloadOutcome stalled = Downloader(options).Run({again}, {});
    ASSERT_FALSE(stalled.status);
    EXPECT_NE(stalled.status.error().find("超过 300 毫秒没有收到数据"), std::string::npos) << stalled.status.error();
}

// The mirror of the rewriter fails a file; it is then fetched from its
// official address, which the endpoints' origin lines send to another server.
TEST(DownloadFaults, AFileTheMirrorFailsComesFromTheOfficialAddress) {
    struct Case {
        const char* name;
        std::vector<Step> mirror_script;
        int mirror_requests;
        std::vector<std::int64_t> pauses;
    };
    const Case cases[] = {
        {"wrong bytes", {{Fault::kWrongBytes}, {Fault::kWrongBytes}, {Fault::kWrongBytes}}, 3, {50, 100}},
        {"server errors", {{Fault::kStatus, 502}, {Fault::kStatus, 502}, {Fault::kStatus, 502}}, 3, {50, 100}},
        {"404 goes straight to the official address", {{Fault::kStatus, 404}}, 1, {}},
    };
    const std::string bytes = Bytes(8000, 9);
    for (const Case& c : cases) {
        FileServer mirror;
        FileServer official;
        TempFolder folder;
        mirror.Put("/maven/org/x/x.jar", bytes);
        mirror.Script("/maven/org/x/x.jar", c.mirror_script);
        official.Put("/libraries/org/x/x.jar", bytes);
        testing::FakeClock clock;
        DownloadOptions options = TestOptions(&clock);
        options.rewriter = net::UrlRewriter(net::Mirror::kBmclapi,
                                            {{"https://bmclapi2.bangbang93.com", mirror.Url()},
                                             {"https://libraries.minecraft.net", official.Url("/libraries")}});
        FileRequest request{"https://libraries.minecraft.net/org/x/x.jar", "", folder.path() + "/x.jar",
                            HexSha1(bytes), bytes.size()};
        const DownloadOutcome outcome = Downloader(options).Run({request}, {});
        ASSERT_TRUE(outcome.status) << c.name << ": " << outcome.status.error();
        EXPECT_EQ(mirror.RequestsFor("/maven/org/x/x.jar"), c.mirror_requests) << c.name;
        EXPECT_EQ(official.RequestsFor("/libraries/org/x/x.jar"), 1) << c.name;
        EXPECT_EQ(clock.Sleeps(), c.pauses) << c.name;
        EXPECT_EQ(ReadAll(request.path), bytes) << c.name;
    }
}

TEST(DownloadFaults, TheOfficialAddressGetsOneTryAndTheErrorNamesIt) {
    ResettingServer mirror;
    FileServer official;
    TempFolder folder;
    const std::string bytes = Bytes(500, 2);
    official.Put("/assets/ab/abc", bytes);
    official.Script("/assets/ab/abc", {{Fault::kStatus, 503}, {Fault::kStatus, 503}});
    testing::FakeClock clock;
    DownloadOptions options = TestOptions(&clock);
    options.rewriter = net::UrlRewriter(
        net::Mirror::kBmclapi, {{"https://bmclapi2.bangbang93.com", mirror.Url("")},
                                {"https://resources.download.minecraft.net", official.Url("/assets")}});
    FileRequest request{"https://resources.download.minecraft.net/ab/abc", "", folder.path() + "/abc",
                        HexSha1(bytes), bytes.size()};
    const DownloadOutcome outcome = Downloader(options).Run({request}, {});
    ASSERT_FALSE(outcome.status);
    EXPECT_EQ(mirror.connections(), 3);
    EXPECT_EQ(official.RequestsFor("/assets/ab/abc"), 1);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].url, official.Url("/assets/ab/abc"));
    EXPECT_EQ(outcome.failures[0].http_status, 503);
    EXPECT_NE(outcome.status.error().find("服务器返回 HTTP 503"), std::string::npos) << outcome.status.error();
}

TEST(DownloadFaults, OneFileFailingDoesNotStopTheOthers) {
    FileServer server;
    TempFolder folder;
    std::vector<FileRequest> files;
    for (unsigned i = 0; i < 6; ++i) {
        const std::string bytes = Bytes(3000, i);
        server.Put("/f" + std::to_string(i), bytes);
        files.push_back(RequestFor(server, "/f" + std::to_string(i), folder, "f" + std::to_string(i), bytes));
    }
    server.Script("/f1", {{Fault::kStatus, 404}});
    server.Script("/f4", {{Fault::kStatus, 410}});
    testing::FakeClock clock;
    const DownloadOutcome outcome = Downloader(TestOptions(&clock)).Run(files, {});
    ASSERT_FALSE(outcome.status);
    EXPECT_EQ(outcome.files_fetched, 4);
    ASSERT_EQ(outcome.failures.size(), 2u);
    EXPECT_NE(outcome.status.error().find("另有 1 个文件未能下载"), std::string::npos) << outcome.status.error();
    for (const unsigned i : {0u, 2u, 3u, 5u}) EXPECT_TRUE(std::filesystem::exists(files[i].path)) << i;
}

}  // namespace
}  // namespace kestrel::download
