// The launch fetches what the game folder lacks: the window's launch checks
// the chain's files by existence and size, fetches the missing and
// wrong-sized ones from a local file server standing in for the official
// servers and the mirror, shows the progress on the game-start window, and
// starts the game only once they are all there.

#include <condition_variable>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "download/FileServer.h"
#include "install/InstallLock.h"
#include "platform/Files.h"
#include "platform/Sha1.h"
#include "shell/LaunchFlow.h"
#include "shell/LaunchTestRig.h"

namespace kestrel::shell {
namespace {

using testing::FileServer;
using testing::LaunchRig;
using Texts = std::vector<std::string>;

// Polls for a state that no window change announces; false when it has not
// come after a minute.
bool Eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 12000; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

std::string Sha1(const std::string& bytes) { return platform::Sha1Hex(*platform::Sha1Of(bytes)); }

std::string Download(const std::string& bytes, const std::string& url, const std::string& path = "") {
    return R"({)" + (path.empty() ? std::string() : R"("path":")" + path + R"(",)") + R"("sha1":")" + Sha1(bytes) +
           R"(","size":)" + std::to_string(bytes.size()) + R"(,"url":")" + url + R"("})";
}

// A version with a client jar, two libraries and an asset index of two
// objects, all named by their official addresses; the endpoints send the
// official hosts and the mirror's to the local server, each under a folder
// of its own, so the requests tell which address was used.
class FetchRig {
public:
    static constexpr const char* kLibrary = "org/example/lib/1.0/lib-1.0.jar";
    static constexpr const char* kKept = "org/example/kept/1.0/kept-1.0.jar";

    static constexpr const char* kObjectA = "sound of rain";
    static constexpr const char* kObjectB = "texture of stone";
    static std::string IndexText() {
        return R"({"objects":{"minecraft/sounds/rain.ogg":{"hash":")" + Sha1(kObjectA) + R"(","size":13},)" +
               R"("minecraft/textures/stone.png":{"hash":")" + Sha1(kObjectB) + R"(","size":16}}})";
    }
    static std::string ClientBytes() { return std::string(3000, 'c'); }

    FetchRig() {
        const std::string object_a = kObjectA, object_b = kObjectB;
        const std::string index_url = "https://piston-meta.mojang.com/v1/packages/" + Sha1(index) + "/5.json";
        const std::string client_url = "https://piston-data.mojang.com/v1/objects/" + Sha1(client) + "/client.jar";
        const std::string library_url = std::string("https://libraries.minecraft.net/") + kLibrary;
        const std::string kept_url = std::string("https://libraries.minecraft.net/") + kKept;
        rig.game.Manifest("1.20.1", R"({"id":"1.20.1","mainClass":"M","minecraftArguments":"--a b","assets":"5",
          "assetIndex":{"id":"5","sha1":")" + Sha1(index) + R"(","size":)" + std::to_string(index.size()) +
                                        R"(,"totalSize":29,"url":")" + index_url + R"("},
          "downloads":{"client":)" + Download(client, client_url) + R"(},
          "libraries":[
            {"name":"org.example:lib:1.0","downloads":{"artifact":)" + Download(library, library_url, kLibrary) + R"(}},
            {"name":"org.example:kept:1.0","downloads":{"artifact":)" + Download(kept, kept_url, kKept) + R"(}}]})");
        for (const char* folder : {"/official", "/mirror"}) {
            const bool mirror = std::string(folder) == "/mirror";
            server.Put(folder + std::string(mirror ? "" : "/meta") + "/v1/packages/" + Sha1(index) + "/5.json", index);
            server.Put(folder + std::string(mirror ? "" : "/data") + "/v1/objects/" + Sha1(client) + "/client.jar",
                       client);
            server.Put(folder + std::string(mirror ? "/maven/" : "/libraries/") + kLibrary, library);
            server.Put(folder + std::string(mirror ? "/maven/" : "/libraries/") + kKept, kept);
            for (const auto& [hash, bytes] : {std::pair{hash_a, object_a}, std::pair{hash_b, object_b}}) {
                server.Put(folder + std::string(mirror ? "/assets/" : "/resources/") + hash.substr(0, 2) + "/" + hash,
                           bytes);
            }
        }
        rig.ctx.endpoints.Override("https://piston-meta.mojang.com=" + server.Url("/official/meta") +
                                   "\nhttps://piston-data.mojang.com=" + server.Url("/official/data") +
                                   "\nhttps://libraries.minecraft.net=" + server.Url("/official/libraries") +
                                   "\nhttps://resources.download.minecraft.net=" + server.Url("/official/resources") +
                                   "\nhttps://bmclapi2.bangbang93.com=" + server.Url("/mirror"));
        // The kept library has the right size and other bytes: the launch's
        // check does not hash, so it stays as it is.
        rig.game.File(std::string("libraries/") + kKept, std::string(kept.size(), '?'));
        // The client jar is there, but cut short.
        rig.game.File("versions/1.20.1/1.20.1.jar", client.substr(0, 10));
        const std::string java = rig.game.FakeJava("jdk", "17.0.2");
        rig.Settings([&](SettingsRecord& s) {
            s.selected_version = "1.20.1";
            s.java_path = java;
            s.check_files_before_launch = true;
        });
        // The game "starts" once: what is on disk by then is recorded, and it
        // is gone at the watcher's first look.
        system.alive_answers = 0;
        services = system.Services();
        services.start_game = [this](const launch::LaunchPlan&, std::stop_token) -> Result<launch::StartedGame> {
            std::lock_guard lock(mutex);
            ++starts;
            library_at_start = platform::ReadFile(Path(std::string("libraries/") + kLibrary)).value_or("");
            client_at_start = platform::ReadFile(Path("versions/1.20.1/1.20.1.jar")).value_or("");
            object_at_start = platform::ReadFile(Path("assets/objects/" + hash_b.substr(0, 2) + "/" + hash_b)).value_or("");
            return launch::StartedGame{4242, ""};
        };
    }

    std::string Path(const std::string& relative) const { return rig.game.path() + "/" + relative; }

    // Clicks the launch button and waits for the launch to be over.
    void Launch() {
        WireLaunch(rig.ctx, services);
        ASSERT_TRUE(rig.main->Click("启动游戏按钮"));
        ASSERT_TRUE(rig.WaitForClosedStartWindow());
        rig.workers.StopAll();
    }

    int Starts() {
        std::lock_guard lock(mutex);
        return starts;
    }

    // The request paths of the server that began with this folder.
    Texts RequestsUnder(const std::string& folder) const {
        Texts paths;
        for (const FileServer::Request& r : server.Requests()) {
            if (r.path.rfind(folder, 0) == 0) paths.push_back(r.path.substr(folder.size()));
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    const std::string client = ClientBytes();
    const std::string library = std::string(2000, 'l');
    const std::string kept = std::string(500, 'k');
    const std::string index = IndexText(), hash_a = Sha1(kObjectA), hash_b = Sha1(kObjectB);
    FileServer server;
    LaunchRig rig;
    testing::ScriptedSystem& system = rig.system;
    LaunchServices services;
    std::mutex mutex;
    int starts = 0;
    std::string library_at_start, client_at_start, object_at_start;
};

TEST(LaunchFetch, MissingAndWrongSizedFilesComeFromTheChosenSourceBeforeTheGameStarts) {
    struct Case {
        settings::DownloadSource source;
        std::string folder;
        Texts requests;
    };
    const std::string a = Sha1(FetchRig::kObjectA), b = Sha1(FetchRig::kObjectB);
    const std::string index = Sha1(FetchRig::IndexText()), client = Sha1(FetchRig::ClientBytes());
    const std::vector<Case> cases = {
        {settings::DownloadSource::kOfficial, "/official",
         {"/data/v1/objects/" + client + "/client.jar", "/libraries/" + std::string(FetchRig::kLibrary),
          "/meta/v1/packages/" + index + "/5.json", "/resources/" + a.substr(0, 2) + "/" + a,
          "/resources/" + b.substr(0, 2) + "/" + b}},
        {settings::DownloadSource::kBmclapi, "/mirror",
         {"/assets/" + a.substr(0, 2) + "/" + a, "/assets/" + b.substr(0, 2) + "/" + b,
          "/maven/" + std::string(FetchRig::kLibrary), "/v1/objects/" + client + "/client.jar",
          "/v1/packages/" + index + "/5.json"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(settings::DownloadSourceText(c.source));
        FetchRig f;
        f.rig.Settings([&](SettingsRecord& s) { s.download_source = c.source; });
        f.Launch();

        EXPECT_TRUE(f.rig.app.MessageBoxes().empty()) << f.rig.app.MessageBoxes().at(0).text;
        ASSERT_EQ(f.Starts(), 1);
        EXPECT_EQ(f.library_at_start, f.library);
        EXPECT_EQ(f.client_at_start, f.client);
        EXPECT_EQ(f.object_at_start, "texture of stone");
        // Every missing file once, from the chosen source only; the index
        // before its objects, which only it names; nothing for the kept
        // library.
        Texts expected = c.requests;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(f.RequestsUnder(c.folder), expected);
        EXPECT_EQ(f.server.Requests().size(), c.requests.size());
        EXPECT_EQ(platform::ReadFile(f.Path(std::string("libraries/") + FetchRig::kKept)), std::string(500, '?'));

        // The steps: the check, the fetch with its count, then the launch.
        const auto window = f.rig.StartWindow();
        const Texts steps = window->History("初始化进度_文字1", "text");
        ASSERT_GE(steps.size(), 4u);
        EXPECT_EQ(steps.front(), "正在检查参数");
        EXPECT_EQ(steps[1].rfind("正在补全游戏文件 ", 0), 0u) << steps[1];
        const auto fetch_end = std::find(steps.begin(), steps.end(), "正在启动游戏");
        ASSERT_NE(fetch_end, steps.end());
        EXPECT_EQ(*(fetch_end - 1), "正在补全游戏文件 2/2") << "the last round: the two objects";
        for (auto step = steps.begin() + 1; step != fetch_end; ++step) {
            EXPECT_EQ(step->rfind("正在补全游戏文件 ", 0), 0u) << *step;
        }
        // The bar never goes back; the fetch fills it up to 40, where the
        // launch goes on.
        const Texts values = window->History("初始化进度", "value");
        for (size_t i = 1; i < values.size(); ++i) EXPECT_LE(std::stoi(values[i - 1]), std::stoi(values[i]));
        EXPECT_NE(std::find(values.begin(), values.end(), "40"), values.end());
        EXPECT_FALSE(f.rig.state.launch_in_progress);
    }
}

// An asset index of the right size with other bytes would pass the size
// check, and its objects could never be listed: it is hashed and fetched.
TEST(LaunchFetch, AnAssetIndexWithWrongBytesIsFetchedAgainAndItsObjectsFollow) {
    FetchRig f;
    f.rig.game.File("assets/indexes/5.json", std::string(f.index.size(), ' '));
    f.Launch();
    EXPECT_TRUE(f.rig.app.MessageBoxes().empty()) << f.rig.app.MessageBoxes().at(0).text;
    EXPECT_EQ(f.Starts(), 1);
    EXPECT_EQ(platform::ReadFile(f.Path("assets/indexes/5.json")), f.index);
    EXPECT_EQ(f.object_at_start, "texture of stone");
}

TEST(LaunchFetch, WithTheCheckTurnedOffTheGameStartsWithWhatIsThere) {
    FetchRig f;
    f.rig.Settings([](SettingsRecord& s) { s.check_files_before_launch = false; });
    f.Launch();
    EXPECT_EQ(f.Starts(), 1);
    EXPECT_TRUE(f.server.Requests().empty());
    EXPECT_EQ(f.library_at_start, "");
    EXPECT_EQ(f.client_at_start, f.client.substr(0, 10));
    EXPECT_EQ(f.rig.StartWindow()->History("初始化进度_文字1", "text"),
              (Texts{"正在检查参数", "正在启动游戏", "正在等待游戏启动"}));
    EXPECT_TRUE(f.rig.app.MessageBoxes().empty());
}

TEST(LaunchFetch, AFailedFetchShowsItsCauseAndTheGameDoesNotStart) {
    FetchRig f;
    // The library is served by neither address: 404 from the official one
    // and from the fallback alike.
    f.server.Script(std::string("/official/libraries/") + FetchRig::kLibrary,
                    std::vector<FileServer::Step>(5, {FileServer::Fault::kStatus, 404}));
    f.Launch();
    EXPECT_EQ(f.Starts(), 0);
    const auto boxes = f.rig.app.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    const std::string prefix = "启动失败!\r\n错误信息:补全游戏文件失败:下载 ";
    EXPECT_EQ(boxes[0].text.rfind(prefix, 0), 0u) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find(FetchRig::kLibrary), std::string::npos) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("404"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_FALSE(f.rig.state.launch_in_progress);
    EXPECT_EQ(f.rig.state.launch_error.Get(), boxes[0].text.substr(std::string("启动失败!\r\n错误信息:").size()));
    EXPECT_FALSE(platform::IsRegularFile(f.Path(std::string("libraries/") + FetchRig::kLibrary)));
}

TEST(LaunchFetch, AnInstallRunningInTheFolderKeepsTheFetchOut) {
    FetchRig f;
    Result<install::InstallLock> install = install::InstallLock::TryTake(f.rig.game.path());
    ASSERT_TRUE(install.ok()) << install.error();
    f.Launch();
    EXPECT_EQ(f.Starts(), 0);
    EXPECT_TRUE(f.server.Requests().empty());
    const auto boxes = f.rig.app.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "启动失败!\r\n错误信息:补全游戏文件失败:" + std::string(install::kErrorInstallRunning));
}

TEST(LaunchFetch, TheCancelOfTheStartWindowStopsTheFetch) {
    FetchRig f;
    const std::string path = std::string("/official/libraries/") + FetchRig::kLibrary;
    // The library's body stops after 100 bytes and never goes on; the
    // test clock stands still, so no stall is ever detected: only the
    // cancel can end the fetch.
    f.server.Script(path, {{FileServer::Fault::kStall, 0, 100}});
    WireLaunch(f.rig.ctx, f.services);
    ASSERT_TRUE(f.rig.main->Click("启动游戏按钮"));
    const auto window = f.rig.StartWindow();
    ASSERT_TRUE(Eventually([&] { return f.server.RequestsFor(path) > 0; }));
    ASSERT_TRUE(window->Click("取消启动"));
    ASSERT_TRUE(Eventually([&] { return f.rig.workers.Running() == 0; }))
        << "the fetch went on after the cancel";
    EXPECT_EQ(window->CloseCount(), 1);
    EXPECT_EQ(f.Starts(), 0);
    EXPECT_TRUE(f.rig.app.MessageBoxes().empty()) << f.rig.app.MessageBoxes().at(0).text;
    EXPECT_FALSE(f.rig.state.launch_in_progress);
    EXPECT_FALSE(platform::IsRegularFile(f.Path(std::string("libraries/") + FetchRig::kLibrary)));
}

}  // namespace
}  // namespace kestrel::shell
