#include "content/UpdateFeed.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/Updater.h"
#include "support/HttpTestServer.h"
#include "support/LoopbackServer.h"
#include "support/TempFolder.h"

namespace kestrel::content {
namespace {

// The update server's files on a local server, reached through an endpoints
// file as the launcher is pointed at a self-hosted server.
class Feed : public ::testing::Test {
protected:
    Feed() {
        Serve("/launcher/loading.gif", std::string("GIF89a\0\1", 8));
        Serve("/launcher//Client_update.xml", "<latest>c2</latest>");
        Serve("/launcher//update.xml", "<main>22w05a</main>\r\n<updatelevel>1</updatelevel>");
        Serve("/launcher/notice.xml", "<title>News</title><content>line 1\\Nline 2</content>");
        Serve("/slogans/Titlelist.ini", "first\r\nsecond\r\n");
        Serve("/launcher/Special_thanks.txt", "\xE6\x84\x9F\xE8\xB0\xA2");
        const std::string lines = "update=" + server_.Url("/launcher/") + "\nupdate_probe=" + server_.Url("/") +
                                  "\nslogans=" + server_.Url("/slogans/Titlelist.ini") +
                                  "\nthanks=" + server_.Url("/launcher/Special_thanks.txt") + "\n";
        ::setenv("KESTREL_ENDPOINTS", folder_.Write("endpoints", lines).c_str(), 1);
        endpoints_ = net::Endpoints::FromEnvironment();
        ::unsetenv("KESTREL_ENDPOINTS");
    }

    void Serve(const std::string& path, std::string body) {
        server_.server().Get(path, [body](const httplib::Request&, httplib::Response& response) {
            response.set_content(body, "application/octet-stream");
        });
    }

    testing::TempFolder folder_;
    testing::HttpTestServer server_;
    net::Endpoints endpoints_;
    net::HttpSession session_;
};

TEST_F(Feed, EveryFileIsFetchedFromItsEndpoint) {
    const UpdateFeed feed(session_, endpoints_);
    EXPECT_EQ(feed.LoadingPicture(), std::string("GIF89a\0\1", 8));
    // The root has no file; an answer of any kind still means the server is up.
    EXPECT_TRUE(feed.ProbeServer());
    EXPECT_FALSE(feed.ClientUpdateNeeded("c2"));
    EXPECT_TRUE(feed.ClientUpdateNeeded("c1"));
    const LauncherUpdate update = feed.CheckLauncher();
    EXPECT_EQ(update.state, UpdateState::kOptionalUpdate);
    EXPECT_EQ(update.published, "22w05a");
    const NoticeBoard notice = feed.Notice();
    EXPECT_TRUE(notice.visible);
    EXPECT_EQ(notice.title, "News");
    EXPECT_EQ(notice.content, "line 1\r\nline 2");
    EXPECT_FALSE(notice.time_visible);
    EXPECT_EQ(feed.Slogans(), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(feed.Thanks(), "感谢");
}

TEST_F(Feed, WithoutTheServerNothingIsOffered) {
    // The files are gone (404) on one server, and another accepts and
    // closes without a word.
    net::Endpoints missing = net::Endpoints::Defaults();
    missing.Override("update=" + server_.Url("/nothing/") + "\nslogans=" + server_.Url("/nothing/Titlelist.ini"));
    testing::LoopbackServer closing([](int, const std::atomic<bool>&) {});
    net::Endpoints dead = net::Endpoints::Defaults();
    const std::string url = "http://" + closing.address();
    dead.Override("update=" + url + "/\nupdate_probe=" + url + "/\nslogans=" + url + "/t\nthanks=" + url + "/s");
    for (const net::Endpoints* endpoints : {&missing, &dead}) {
        const UpdateFeed feed(session_, *endpoints);
        EXPECT_EQ(feed.LoadingPicture(), "");
        EXPECT_FALSE(feed.ClientUpdateNeeded(""));
        EXPECT_EQ(feed.CheckLauncher().state, UpdateState::kUnrecognised);
        EXPECT_FALSE(feed.Notice().visible);
        EXPECT_TRUE(feed.Slogans().empty());
    }
    EXPECT_FALSE(UpdateFeed(session_, dead).ProbeServer());
}

// The client version is compared with the published one; a line end left by
// an editor must not make the two differ.
TEST(ClientVersion, ReadFromTheDataFolderWithoutItsLineEnd) {
    const struct Case {
        const char* file;  // nullptr: no file
        const char* version;
    } cases[] = {
        {nullptr, ""}, {"c2", "c2"}, {"c2\r\n", "c2"}, {"c2\n\n", "c2"}, {"c2 beta", "c2 beta"}, {"c\xFF" "2", "c?2"},
    };
    for (const Case& c : cases) {
        testing::TempFolder program;
        const auto paths = platform::LauncherPaths::For(program.path(), program.path(), "kestrel",
                                                        platform::HostProfile::Current());
        if (c.file) program.Write("KSTfiles/ClientVersion.ini", c.file);
        EXPECT_EQ(ReadClientVersion(paths), c.version) << (c.file ? c.file : "(none)");
    }
}

TEST(Updater, StartsTheProgramBesideTheLauncher) {
    testing::TempFolder program;
    const std::string updater =
        platform::LauncherPaths::For(program.path(), program.path(), "kestrel", platform::HostProfile::Current())
            .updater;
    EXPECT_EQ(updater, program.path() + "/Update");
    EXPECT_FALSE(platform::StartUpdater(updater).ok());
    const std::string marker = program.path() + "/started";
    program.Write("Update", "#!/bin/sh\necho yes > '" + marker + "'\n");
    ASSERT_EQ(::chmod(updater.c_str(), 0755), 0);
    ASSERT_TRUE(platform::StartUpdater(updater).ok());
    for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(std::filesystem::exists(marker));
}

}  // namespace
}  // namespace kestrel::content
