#include <gtest/gtest.h>

#include <chrono>

#include "download/DownloadFixture.h"

namespace kestrel::download {
namespace {

using Fault = testing::FileServer::Fault;
using testing::FileServer;
using testing::TempFolder;

constexpr std::size_t kMiB = 1 << 20;

TEST(DownloadResume, ALargeFileCutShortResumesWithARange) {
    struct Case {
        const char* name;
        std::size_t size;
        bool ranges;
        std::vector<std::string> sent_ranges;
        std::uint64_t body_bytes;  // what the server had to send in all
    };
    const Case cases[] = {
        {"large, server resumes", 5 * kMiB, true, {"", "bytes=3145728-"}, 5 * kMiB},
        {"large, server ignores the range", 5 * kMiB, false, {"", "bytes=3145728-"}, 8 * kMiB},
        {"small files start over", 3 * kMiB + 1000, true, {"", ""}, 6 * kMiB + 1000},
    };
    for (const Case& c : cases) {
        FileServer server;
        TempFolder folder;
        const std::string bytes = Bytes(c.size, 11);
        server.Put("/client.jar", bytes);
        server.SetRangeSupport(c.ranges);
        server.Script("/client.jar", {{Fault::kCut, 0, 3 * kMiB}});
        testing::FakeClock clock;
        const FileRequest request = RequestFor(server, "/client.jar", folder, "versions/x/x.jar", bytes);
        const DownloadOutcome outcome = Downloader(TestOptions(&clock)).Run({request}, {});
        ASSERT_TRUE(outcome.status) << c.name << ": " << outcome.status.error();
        EXPECT_EQ(server.RangesFor("/client.jar"), c.sent_ranges) << c.name;
        EXPECT_EQ(server.BodyBytesSent(), c.body_bytes) << c.name;
        EXPECT_TRUE(ReadAll(request.path) == bytes) << c.name;
        EXPECT_TRUE(LeftoversUnder(folder.path()).empty()) << c.name;
    }
}

TEST(DownloadResume, APartialFileOfAnEarlierRunIsPickedUp) {
    const std::string bytes = Bytes(5 * kMiB, 12);
    std::string wrong_prefix = bytes.substr(0, 2 * kMiB);
    wrong_prefix[1000] ^= 0x40;
    struct Case {
        const char* name;
        std::string part;
        std::vector<std::string> sent_ranges;
    };
    const Case cases[] = {
        {"a right beginning", bytes.substr(0, 2 * kMiB), {"bytes=2097152-"}},
        {"a wrong beginning is caught by the hash and fetched again", wrong_prefix, {"bytes=2097152-", ""}},
        {"every byte, never checked", bytes, {}},
        {"more bytes than the file has", bytes + "extra", {""}},
    };
    for (const Case& c : cases) {
        FileServer server;
        TempFolder folder;
        server.Put("/client.jar", bytes);
        const FileRequest request = RequestFor(server, "/client.jar", folder, "x.jar", bytes);
        folder.Write("x.jar.part", c.part);
        testing::FakeClock clock;
        const DownloadOutcome outcome = Downloader(TestOptions(&clock)).Run({request}, {});
        ASSERT_TRUE(outcome.status) << c.name << ": " << outcome.status.error();
        EXPECT_EQ(server.RangesFor("/client.jar"), c.sent_ranges) << c.name;
        EXPECT_TRUE(ReadAll(request.path) == bytes) << c.name;
        EXPECT_FALSE(std::filesystem::exists(request.path + ".part")) << c.name;
    }
}

std::int64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

TEST(DownloadCancel, AStopEndsStalledTransfersAndTheNextRunResumes) {
    FileServer server;
    TempFolder folder;
    const std::string large = Bytes(6 * kMiB, 13);
    server.Put("/large", large);
    server.Script("/large", {{Fault::kStall, 0, kMiB}});
    std::vector<FileRequest> files{RequestFor(server, "/large", folder, "large", large)};
    for (unsigned i = 0; i < 6; ++i) {
        const std::string bytes = Bytes(50000, i);
        server.Put("/s" + std::to_string(i), bytes);
        server.Script("/s" + std::to_string(i), {{Fault::kStall, 0, 20000}});
        files.push_back(RequestFor(server, "/s" + std::to_string(i), folder, "s" + std::to_string(i), bytes));
    }
    platform::SystemClock clock;
    DownloadOptions options = TestOptions(&clock);
    options.parallelism = 8;
    std::stop_source stop;
    const auto start = std::chrono::steady_clock::now();
    DownloadOutcome outcome;
    {
        // The stop comes once every file's request is in the server, all of
        // them stalled, and the large file's first megabyte is on disk: a
        // client that held back the others behind the first stalled file
        // never gets that far and runs into the stall time-out.
        const std::string part = files[0].path + ".part";
        std::jthread stopper([&](std::stop_token own) {
            std::error_code error;
            while (!own.stop_requested() && (server.Requests().size() < files.size() ||
                                             std::filesystem::file_size(part, error) < kMiB || error)) {
                platform::SystemClock().Sleep(5, own);
            }
            stop.request_stop();
        });
        outcome = Downloader(options).Run(files, stop.get_token());
    }
    // Without the stop the stalls would last 15 s a try; a generous bound
    // shows that the stop ended them.
    EXPECT_LT(MillisecondsSince(start), 5000);
    EXPECT_TRUE(outcome.cancelled);
    ASSERT_FALSE(outcome.status);
    EXPECT_EQ(outcome.status.error(), "下载已取消");
    for (const FileRequest& file : files) EXPECT_FALSE(std::filesystem::exists(file.path)) << file.path;
    // The large file's bytes wait under its partial name.
    EXPECT_EQ(std::filesystem::file_size(files[0].path + ".part"), kMiB);

    const DownloadOutcome again = Downloader(options).Run(files, {});
    ASSERT_TRUE(again.status) << again.status.error();
    EXPECT_EQ(server.RangesFor("/large"), (std::vector<std::string>{"", "bytes=1048576-"}));
    for (const FileRequest& file : files) EXPECT_EQ(HexSha1(ReadAll(file.path)), file.sha1) << file.path;
    EXPECT_TRUE(LeftoversUnder(folder.path()).empty());
}

TEST(DownloadCancel, AStopCutsThePauseBeforeTheNextTry) {
    FileServer server;
    TempFolder folder;
    const std::string bytes = Bytes(100, 1);
    server.Put("/f", bytes);
    server.Script("/f", {{Fault::kStatus, 500}, {Fault::kStatus, 500}});
    platform::SystemClock clock;
    DownloadOptions options = TestOptions(&clock);
    options.first_pause_ms = 600000;
    std::stop_source stop;
    const auto start = std::chrono::steady_clock::now();
    DownloadOutcome outcome;
    {
        // The stop comes once the first try has failed and the ten-minute
        // pause has begun.
        std::jthread stopper([&](std::stop_token own) {
            while (!own.stop_requested() && server.RequestsFor("/f") < 1) platform::SystemClock().Sleep(5, own);
            platform::SystemClock().Sleep(100, own);
            stop.request_stop();
        });
        outcome = Downloader(options).Run({RequestFor(server, "/f", folder, "f", bytes)}, stop.get_token());
    }
    EXPECT_LT(MillisecondsSince(start), 5000);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(server.RequestsFor("/f"), 1);
}

}  // namespace
}  // namespace kestrel::download
