#include "download/Downloader.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <thread>

#include "download/DownloadFixture.h"

namespace kestrel::download {
namespace {

using testing::FileServer;
using testing::TempFolder;

TEST(Downloader, FetchesABatchSideBySideIntoItsLayout) {
    FileServer server;
    TempFolder folder;
    std::vector<FileRequest> files;
    std::vector<std::string> contents;
    for (unsigned i = 0; i < 24; ++i) {
        contents.push_back(Bytes(1000 + i * 577, i));
        const std::string hash = HexSha1(contents.back());
        const std::string relative = "objects/" + hash.substr(0, 2) + "/" + hash;
        server.Put("/" + hash.substr(0, 2) + "/" + hash, contents.back());
        files.push_back(RequestFor(server, "/" + hash.substr(0, 2) + "/" + hash, folder, relative, contents.back()));
    }
    // The same file asked for twice is fetched once.
    files.push_back(files.front());
    // Every answer waits until four requests are in the server at once.
    server.SetGate(4);

    testing::FakeClock clock;
    DownloadOptions options = TestOptions(&clock);
    options.parallelism = 4;
    std::vector<DownloadProgress> reports;
    const std::thread::id caller = std::this_thread::get_id();
    bool other_thread = false;
    const DownloadOutcome outcome =
        Downloader(options).Run(files, {}, [&](const DownloadProgress& progress) {
            other_thread |= std::this_thread::get_id() != caller;
            reports.push_back(progress);
        });

    ASSERT_TRUE(outcome.status) << outcome.status.error();
    EXPECT_EQ(outcome.files_fetched, 24);
    EXPECT_EQ(outcome.requests, 24);
    EXPECT_GE(server.MostAtOnce(), 4);
    // Connections are kept and reused between files.
    EXPECT_LT(server.Connections(), 24u);
    for (std::size_t i = 0; i < contents.size(); ++i) EXPECT_EQ(ReadAll(files[i].path), contents[i]) << files[i].path;
    EXPECT_TRUE(LeftoversUnder(folder.path()).empty());

    // A clock that stands still lets through only the first report and the
    // last one, and both arrive on the thread that ran the job.
    EXPECT_FALSE(other_thread);
    ASSERT_EQ(reports.size(), 2u);
    std::uint64_t total = 0;
    for (const std::string& bytes : contents) total += bytes.size();
    EXPECT_EQ(reports.back().files_done, 24);
    EXPECT_EQ(reports.back().files_total, 24);
    EXPECT_EQ(reports.back().bytes_done, total);
    EXPECT_EQ(reports.back().bytes_total, total);
    EXPECT_EQ(reports.front().files_done, 0);
}

TEST(Downloader, ProgressComesAtMostOncePerInterval) {
    FileServer server;
    TempFolder folder;
    std::vector<FileRequest> files;
    for (unsigned i = 0; i < 40; ++i) {
        const std::string bytes = Bytes(20000, i);
        server.Put("/f" + std::to_string(i), bytes);
        files.push_back(RequestFor(server, "/f" + std::to_string(i), folder, "f" + std::to_string(i), bytes));
    }
    TickingClock clock(7);
    DownloadOptions options = TestOptions(&clock);
    options.progress_interval_ms = 100;
    // The ticking time must not pass for a stall.
    options.stall_ms = std::int64_t{1} << 40;
    std::vector<std::int64_t> times;
    std::vector<DownloadProgress> reports;
    const DownloadOutcome outcome = Downloader(options).Run(files, {}, [&](const DownloadProgress& progress) {
        times.push_back(clock.Last());
        reports.push_back(progress);
    });
    ASSERT_TRUE(outcome.status) << outcome.status.error();
    ASSERT_GE(times.size(), 3u);
    // Every report but the last keeps its distance from the one before.
    for (std::size_t i = 1; i + 1 < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 100) << i;
    for (std::size_t i = 1; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].files_done, reports[i - 1].files_done) << i;
        EXPECT_LE(reports[i].bytes_done, reports[i].bytes_total) << i;
    }
    EXPECT_EQ(reports.back().files_done, 40);
    EXPECT_GT(reports.back().bytes_per_second, 0);
}

TEST(Downloader, KeepsWhatIsRightOnDiskAndFetchesTheRest) {
    struct Case {
        const char* name;
        // What is under the final name before the run; nullptr: nothing.
        std::function<std::string(const std::string&)> on_disk;
        bool fetched;
    };
    const Case cases[] = {
        {"missing", nullptr, true},
        {"right", [](const std::string& bytes) { return bytes; }, false},
        {"same size, other bytes",
         [](const std::string& bytes) {
             std::string changed = bytes;
             changed[10] ^= 1;
             return changed;
         },
         true},
        {"too short", [](const std::string& bytes) { return bytes.substr(0, bytes.size() - 1); }, true},
        {"empty", [](const std::string&) { return std::string(); }, true},
    };
    FileServer server;
    const std::string bytes = Bytes(5000, 7);
    server.Put("/lib.jar", bytes);
    for (const Case& c : cases) {
        TempFolder folder;
        const FileRequest request = RequestFor(server, "/lib.jar", folder, "libraries/a/lib.jar", bytes);
        if (c.on_disk) folder.Write("libraries/a/lib.jar", c.on_disk(bytes));
        const int before = server.RequestsFor("/lib.jar");
        testing::FakeClock clock;
        const DownloadOutcome outcome = Downloader(TestOptions(&clock)).Run({request}, {});
        ASSERT_TRUE(outcome.status) << c.name << ": " << outcome.status.error();
        EXPECT_EQ(server.RequestsFor("/lib.jar") - before, c.fetched ? 1 : 0) << c.name;
        EXPECT_EQ(outcome.files_present, c.fetched ? 0 : 1) << c.name;
        EXPECT_EQ(ReadAll(request.path), bytes) << c.name;
    }
}

TEST(Downloader, ASecondRunOfACompleteJobSendsNoRequest) {
    FileServer server;
    TempFolder folder;
    std::vector<FileRequest> files;
    for (unsigned i = 0; i < 30; ++i) {
        const std::string bytes = Bytes(3000 + i, i);
        server.Put("/f" + std::to_string(i), bytes);
        files.push_back(RequestFor(server, "/f" + std::to_string(i), folder, "d/f" + std::to_string(i), bytes));
    }
    testing::FakeClock clock;
    const Downloader downloader(TestOptions(&clock));
    ASSERT_TRUE(downloader.Run(files, {}).status);
    const std::size_t requests = server.Requests().size();
    const DownloadOutcome again = downloader.Run(files, {});
    ASSERT_TRUE(again.status) << again.status.error();
    EXPECT_EQ(server.Requests().size(), requests);
    EXPECT_EQ(again.files_present, 30);
    EXPECT_EQ(again.files_fetched, 0);
}

TEST(Downloader, FilesWithoutAHashAreCheckedBySize) {
    FileServer server;
    TempFolder folder;
    const std::string bytes = Bytes(4000, 3);
    server.Put("/a", bytes);
    FileRequest sized = RequestFor(server, "/a", folder, "sized", bytes);
    sized.sha1.clear();
    FileRequest bare = sized;
    bare.path = folder.path() + "/bare";
    bare.size.reset();
    FileRequest wrong_size = sized;
    wrong_size.path = folder.path() + "/wrong";
    wrong_size.size = bytes.size() + 1;
    // A server that sends more than the size is cut off as soon as it does.
    FileRequest too_long = sized;
    too_long.path = folder.path() + "/long";
    too_long.size = bytes.size() - 1;
    testing::FakeClock clock;
    DownloadOptions options = TestOptions(&clock);
    options.tries = 1;
    const DownloadOutcome outcome = Downloader(options).Run({sized, bare, wrong_size, too_long}, {});
    EXPECT_EQ(ReadAll(sized.path), bytes);
    EXPECT_EQ(ReadAll(bare.path), bytes);
    // Files end in any order; so do their failures.
    std::map<std::string, std::string> causes;
    for (const FileFailure& failure : outcome.failures) causes[failure.path] = failure.cause;
    EXPECT_EQ(causes.size(), 2u);
    EXPECT_EQ(causes[wrong_size.path], "文件大小不符(应为 4001 字节,收到 4000 字节)");
    EXPECT_EQ(causes[too_long.path], "文件比应有的 3999 字节大");
    EXPECT_FALSE(std::filesystem::exists(wrong_size.path));
    EXPECT_FALSE(std::filesystem::exists(too_long.path));
    EXPECT_TRUE(LeftoversUnder(folder.path()).empty());
    // Without a hash, a file of the right size on disk is kept; one without
    // a size or hash is always fetched again.
    const int before = server.RequestsFor("/a");
    ASSERT_TRUE(Downloader(options).Run({sized, bare}, {}).status);
    EXPECT_EQ(server.RequestsFor("/a") - before, 1);
}

TEST(Downloader, RefusesABadListBeforeFetchingAnything) {
    FileServer server;
    TempFolder folder;
    const std::string bytes = Bytes(100, 1);
    server.Put("/a", bytes);
    const FileRequest good = RequestFor(server, "/a", folder, "a", bytes);
    FileRequest bad_hash = good;
    bad_hash.path = folder.path() + "/b";
    bad_hash.sha1 = "not-a-sha1";
    FileRequest other_hash = good;
    other_hash.sha1 = std::string(40, '0');
    FileRequest no_url = good;
    no_url.path = folder.path() + "/c";
    no_url.url.clear();
    const std::pair<std::vector<FileRequest>, std::string> cases[] = {
        {{good, bad_hash}, "SHA-1 无效"},
        {{good, other_hash}, "出现了两次"},
        {{good, no_url}, "没有下载地址"},
    };
    for (const auto& [files, text] : cases) {
        const DownloadOutcome outcome = Downloader(TestOptions(nullptr)).Run(files, {});
        EXPECT_FALSE(outcome.status);
        EXPECT_NE(outcome.status.error().find(text), std::string::npos) << outcome.status.error();
    }
    EXPECT_TRUE(server.Requests().empty());
}

// A private mount namespace with a small tmpfs, so the test fills a real
// disk without touching the machine's own. Needs to be the process's only
// thread (as a test run by CTest is at its start) and root or user
// namespaces.
bool MountSmallDisk(const std::string& folder, std::size_t bytes) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(uid == 0 ? CLONE_NEWNS : CLONE_NEWNS | CLONE_NEWUSER) != 0) return false;
    if (uid != 0) {
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    const std::string size = "size=" + std::to_string(bytes);
    return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) == 0;
}

TEST(Downloader, AFullDiskEndsTheJobAndLeavesNoPartialFiles) {
    TempFolder folder;
    const std::string disk = folder.MakeFolder("disk");
    if (!MountSmallDisk(disk, 256 * 1024)) GTEST_SKIP() << "cannot mount a small tmpfs here (needs a private mount namespace)";
    FileServer server;
    std::vector<FileRequest> files;
    // Small files that fit, then larger ones that do not, resumable or not.
    for (unsigned i = 0; i < 12; ++i) {
        const std::string bytes = Bytes(i < 4 ? 2000 : 150000 + i * 1000, i);
        server.Put("/f" + std::to_string(i), bytes);
        FileRequest request = RequestFor(server, "/f" + std::to_string(i), folder, "disk/f" + std::to_string(i), bytes);
        files.push_back(request);
    }
    DownloadOptions options = TestOptions(nullptr);
    options.resume_above_bytes = 100000;
    const DownloadOutcome outcome = Downloader(options).Run(files, {});
    ASSERT_FALSE(outcome.status);
    EXPECT_NE(outcome.status.error().find("磁盘空间不足"), std::string::npos) << outcome.status.error();
    EXPECT_TRUE(LeftoversUnder(disk).empty());
    // What reached its final name is whole.
    for (const FileRequest& file : files) {
        if (std::filesystem::exists(file.path)) {
            EXPECT_EQ(HexSha1(ReadAll(file.path)), file.sha1) << file.path;
        }
    }
    ::umount(disk.c_str());
}

}  // namespace
}  // namespace kestrel::download
