// Listing and installing Fabric and Quilt for the synthetic game version,
// with real libcurl against a metadata service and Maven repositories served
// on 127.0.0.1.

#include <gtest/gtest.h>

#include <filesystem>
#include <stop_token>

#include "install/InstallLock.h"
#include "install/LoaderVersionOrder.h"
#include "install/Loaders.h"
#include "install/SyntheticLoader.h"
#include "install/SyntheticVersion.h"
#include "install/VersionInstaller.h"
#include "install/VersionJsonStore.h"

namespace kestrel::install {
namespace {

using testing::FileServer;
using testing::TempFolder;

std::vector<std::string> VersionTexts(const std::vector<LoaderVersion>& versions) {
    std::vector<std::string> texts;
    for (const LoaderVersion& version : versions) texts.push_back(version.version + (version.stable ? "" : " (unstable)"));
    return texts;
}

class LoaderInstallTest : public ::testing::Test {
protected:
    std::string Game() const { return temp.path() + "/game"; }
    InstallSettings Settings(net::Mirror mirror = net::Mirror::kOfficial) const {
        std::vector<net::OriginRule> extra = LoaderOriginsTo(server);
        extra.push_back({"https://bmclapi2.bangbang93.com", server.Url("/bmcl")});
        return SettingsFor(server, Game(), mirror, extra);
    }
    LoaderRequest Request(const SyntheticLoader& loader, Loader kind = Loader::kFabric) const {
        LoaderRequest request;
        request.loader = kind;
        request.game_version = loader.game;
        request.loader_version = loader.version;
        return request;
    }
    bool Exists(const std::string& relative) const { return std::filesystem::exists(Game() + "/" + relative); }

    FileServer server;
    TempFolder temp;
    SyntheticVersion version;
    SyntheticLoader fabric = FabricLoader();
};

TEST(LoaderVersionOrderTest, ComparesByNumbersAndPreReleases) {
    struct Case {
        std::string older;
        std::string newer;
    };
    const std::vector<Case> cases = {
        {"0.9.2", "0.10.0"},
        {"0.9", "0.10"},
        {"0.16.9", "0.16.10"},
        {"0.17.0-beta.2", "0.17.0-beta.10"},
        {"0.17.0-beta.10", "0.17.0"},
        {"0.17.0-alpha.3", "0.17.0-beta.1"},
        {"0.17.0-rc.1", "0.17.0"},
        {"1.0", "1.0.1"},
        {"1.20.1-47.4.9", "1.20.1-47.4.10"},
        {"1.7.10-10.13.4.1558-1.7.10", "1.7.10-10.13.4.1614-1.7.10"},
        {"20.4.237", "21.1.209"},
        {"99999999999999999999998", "99999999999999999999999"},
    };
    for (const Case& c : cases) {
        EXPECT_LT(CompareVersions(c.older, c.newer), 0) << c.older << " < " << c.newer;
        EXPECT_GT(CompareVersions(c.newer, c.older), 0) << c.newer << " > " << c.older;
    }
    EXPECT_EQ(CompareVersions("0.16.9", "0.16.9"), 0);
    EXPECT_TRUE(LooksUnstable("0.20.0-Beta.3"));
    EXPECT_TRUE(LooksUnstable("1.0-rc.1"));
    EXPECT_FALSE(LooksUnstable("0.20.0"));
}

TEST_F(LoaderInstallTest, ListsStableFirstNewestFirstByNumbers) {
    // The servers' order is oldest first here, and text order would put 0.9
    // above 0.10; an entry without a flag is judged by its name, and a
    // version that could not name a folder is left out.
    fabric.list = "[" + LoaderEntry("0.9.2", "true") + "," + LoaderEntry("0.10.0", "true") + "," +
                  LoaderEntry("0.10.1-beta.1", "") + "," + LoaderEntry("0.11.0", "false") + "," +
                  LoaderEntry("0.8.0", "") + "," + LoaderEntry("../0.99", "true") + "," + LoaderEntry("0.9.2", "true") +
                  R"(,{"loader":null},"text"])";
    fabric.Serve(server);
    SyntheticLoader quilt = QuiltLoader();
    quilt.list = "[" + LoaderEntry("0.9.0", "") + "," + LoaderEntry("0.10.0-beta.2", "") + "," +
                 LoaderEntry("0.10.0-beta.10", "") + "," + LoaderEntry("0.10.0", "") + "," + LoaderEntry("0.9.10", "") +
                 "]";
    quilt.Serve(server);

    const Result<std::vector<LoaderVersion>> listed = ListLoaderVersions(Settings(), Loader::kFabric, fabric.game);
    ASSERT_TRUE(listed) << listed.error();
    EXPECT_EQ(VersionTexts(*listed), (std::vector<std::string>{"0.10.0", "0.9.2", "0.8.0", "0.11.0 (unstable)",
                                                                "0.10.1-beta.1 (unstable)"}));
    const Result<std::vector<LoaderVersion>> quilts = ListLoaderVersions(Settings(), Loader::kQuilt, quilt.game);
    ASSERT_TRUE(quilts) << quilts.error();
    EXPECT_EQ(VersionTexts(*quilts), (std::vector<std::string>{"0.10.0", "0.9.10", "0.9.0", "0.10.0-beta.10 (unstable)",
                                                               "0.10.0-beta.2 (unstable)"}));
}

TEST_F(LoaderInstallTest, ListingGoesThroughTheMirrorAndFailsClearly) {
    // BMCLAPI serves Fabric's metadata under its own base.
    server.Put("/bmcl/fabric-meta/v2/versions/loader/1.0", "[" + LoaderEntry("0.1.0", "true") + "]");
    const Result<std::vector<LoaderVersion>> mirrored = ListLoaderVersions(Settings(net::Mirror::kBmclapi), Loader::kFabric, "1.0");
    ASSERT_TRUE(mirrored) << mirrored.error();
    EXPECT_EQ(VersionTexts(*mirrored), std::vector<std::string>{"0.1.0"});
    // Old game versions have spaces in their names; they travel encoded.
    server.Put("/fabricmeta/v2/versions/loader/1.14 Pre-Release 1", "[" + LoaderEntry("0.2.0", "true") + "]");
    const Result<std::vector<LoaderVersion>> spaced = ListLoaderVersions(Settings(), Loader::kFabric, "1.14 Pre-Release 1");
    ASSERT_TRUE(spaced) << spaced.error();
    EXPECT_EQ(VersionTexts(*spaced), std::vector<std::string>{"0.2.0"});

    struct Case {
        std::string body;   // empty: not served at all
        std::string error;  // a part of the error; empty: an empty list
    };
    const std::vector<Case> cases = {
        {"[]", ""},
        {"{\"loader\":[]}", "Fabric 版本列表无法读取: "},
        {"<html>busy</html>", "Fabric 版本列表无法读取: "},
        {"[{\"loader\":{\"stable\":true}}]", "Fabric 版本列表无法读取: "},
        {"", "无法获取 Fabric 版本列表 ("},
    };
    for (const Case& c : cases) {
        FileServer fresh;
        if (!c.body.empty()) fresh.Put("/fabricmeta/v2/versions/loader/1.1", c.body);
        const Result<std::vector<LoaderVersion>> listed = ListLoaderVersions(
            SettingsFor(fresh, Game(), net::Mirror::kOfficial, LoaderOriginsTo(fresh)), Loader::kFabric, "1.1");
        if (c.error.empty()) {
            ASSERT_TRUE(listed) << listed.error();
            EXPECT_TRUE(listed->empty());
            continue;
        }
        ASSERT_FALSE(listed) << c.body;
        EXPECT_NE(listed.error().find(c.error), std::string::npos) << listed.error();
        // The error names where the answer came from.
        EXPECT_NE(listed.error().find(fresh.Url("/fabricmeta/v2/versions/loader/1.1")), std::string::npos)
            << listed.error();
    }
}

TEST_F(LoaderInstallTest, InstallsTheMissingGameVersionFirstThenTheLoader) {
    version.Serve(server);
    fabric.Serve(server);
    std::vector<InstallStep> steps;
    const Result<std::string> id = InstallLoader(Settings(), Request(fabric), {}, [&](const InstallProgress& p) {
        if (steps.empty() || steps.back() != p.step) steps.push_back(p.step);
    });
    ASSERT_TRUE(id) << id.error();
    EXPECT_EQ(*id, "fabric-loader-0.16.9-1.7.2-test");

    std::map<std::string, std::string> expected = version.LinuxLayout();
    expected["versions/" + version.id + "/" + version.id + ".json"] = version.VersionJson();
    expected[".kestrel-install.lock"] = "";
    for (auto& [path, bytes] : fabric.Layout(*id)) expected[path] = bytes;
    // The profile as served, byte for byte, and nothing else.
    EXPECT_EQ(FilesUnder(Game()), expected);

    // The profile first (a wrong loader version fails before the game is
    // fetched), then the game, then the loader's libraries.
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), InstallStep::kLoader);
    const auto at = [&](InstallStep step) { return std::find(steps.begin(), steps.end(), step) - steps.begin(); };
    EXPECT_LT(at(InstallStep::kVersionJson), at(InstallStep::kLoaderFiles));
    EXPECT_LT(at(InstallStep::kFiles), at(InstallStep::kLoaderFiles));
    EXPECT_EQ(steps.back(), InstallStep::kLoaderFiles);

    // The profile's sha1 is trusted; only the library without one asks the
    // repository for its checksum.
    EXPECT_EQ(server.RequestsFor("/fabric/" + fabric.LoaderPath() + ".sha1"), 1);
    EXPECT_EQ(server.RequestsFor("/fabric/" + SyntheticLoader::HelperPath() + ".sha1"), 0);
}

TEST_F(LoaderInstallTest, APresentGameVersionIsCompletedNotReinstalled) {
    version.Serve(server);
    fabric.Serve(server);
    ASSERT_TRUE(VersionInstaller(Settings()).Install(version.id, {}));
    // A file lost since, and one the player changed (same size): the first
    // is fetched again, the second is the player's to keep.
    std::filesystem::remove(Game() + "/libraries/" + version.plain_path);
    const std::string changed = Bytes(version.client.size(), 99);
    temp.Write("game/versions/" + version.id + "/" + version.id + ".jar", changed);
    const std::size_t catalogue = server.RequestsFor("/meta/mc/game/version_manifest_v2.json");

    const Result<std::string> id = InstallLoader(Settings(), Request(fabric), {});
    ASSERT_TRUE(id) << id.error();
    EXPECT_EQ(server.RequestsFor("/meta/mc/game/version_manifest_v2.json"), catalogue);
    EXPECT_TRUE(Exists("libraries/" + version.plain_path));
    EXPECT_EQ(download::ReadAll(Game() + "/versions/" + version.id + "/" + version.id + ".jar"), changed);
    EXPECT_TRUE(Exists("versions/" + *id + "/" + *id + ".json"));
}

TEST_F(LoaderInstallTest, AWrongChecksumFailsWithNothingStored) {
    struct Case {
        std::string what;
        // Called before the loader is served (to change its profile) and
        // after (to change what the server holds).
        std::function<void(SyntheticLoader&, FileServer&)> spoil;
        std::string file;  // below the game folder; named in the error
    };
    const std::vector<Case> cases = {
        {"the profile's sha1", [](SyntheticLoader& l, FileServer&) { l.helper_sha1 = std::string(40, 'b'); },
         "libraries/" + SyntheticLoader::HelperPath()},
        {"the repository's .sha1",
         [](SyntheticLoader& l, FileServer& s) { s.Put(l.maven_folder + l.LoaderPath(), Bytes(l.loader_jar.size(), 5)); },
         "libraries/" + FabricLoader().LoaderPath()},
    };
    for (const Case& c : cases) {
        FileServer fresh;
        TempFolder folder;
        SyntheticLoader loader = FabricLoader();
        version.Serve(fresh);
        c.spoil(loader, fresh);
        loader.Serve(fresh);
        c.spoil(loader, fresh);
        const std::string game = folder.path() + "/game";
        const Result<std::string> id =
            InstallLoader(SettingsFor(fresh, game, net::Mirror::kOfficial, LoaderOriginsTo(fresh)), Request(loader), {});
        ASSERT_FALSE(id) << c.what;
        const std::string name = c.file.substr(c.file.rfind('/') + 1);
        EXPECT_NE(id.error().find(name), std::string::npos) << c.what << ": " << id.error();
        EXPECT_FALSE(std::filesystem::exists(game + "/" + c.file)) << c.what;
        EXPECT_FALSE(std::filesystem::exists(game + "/versions/" + loader.Id())) << c.what;
        // The game version was whole and stays.
        EXPECT_TRUE(std::filesystem::exists(game + "/versions/" + version.id + "/" + version.id + ".jar")) << c.what;
    }
}

TEST_F(LoaderInstallTest, ARenamedVersionChangesOnlyTheId) {
    version.Serve(server);
    fabric.Serve(server);
    LoaderRequest request = Request(fabric);
    request.name = "我的 Fabric";
    const Result<std::string> id = InstallLoader(Settings(), request, {});
    ASSERT_TRUE(id) << id.error();
    EXPECT_EQ(*id, "我的 Fabric");
    std::string expected = fabric.Profile();
    expected.replace(expected.find(fabric.Id()), fabric.Id().size(), "我的 Fabric");
    EXPECT_EQ(download::ReadAll(Game() + "/versions/我的 Fabric/我的 Fabric.json"), expected);
    EXPECT_FALSE(Exists("versions/" + fabric.Id()));
}

TEST(VersionJsonStoreTest, ReplacesOnlyTheTopLevelId) {
    struct Case {
        std::string json;
        std::string expected;  // empty: an error
    };
    const std::vector<Case> cases = {
        {R"({"id":"a","x":{"id":"a"},"list":["id","a"]})", R"({"id":"b","x":{"id":"a"},"list":["id","a"]})"},
        {"{ \"\\u0069d\" : \"a\" ,\n \"s\": \"\\\"id\\\": \\\"a\\\"\" }", "{ \"\\u0069d\" : \"b\" ,\n \"s\": \"\\\"id\\\": \\\"a\\\"\" }"},
        {R"({"id":"a","id":"c"})", R"({"id":"b","id":"b"})"},
        {R"({"x":{"id":"a"}})", ""},
        {R"({"id":7})", ""},
        {R"(["id","a"])", ""},
        {R"({"id":"a")", ""},
    };
    for (const Case& c : cases) {
        const Result<std::string> renamed = WithVersionId(c.json, "b");
        if (c.expected.empty()) {
            EXPECT_FALSE(renamed) << c.json;
        } else {
            ASSERT_TRUE(renamed) << c.json << ": " << renamed.error();
            EXPECT_EQ(*renamed, c.expected);
        }
    }
}

TEST_F(LoaderInstallTest, HostileOrWrongProfilesAreRefused) {
    struct Case {
        std::string what;
        std::function<void(SyntheticLoader&, LoaderRequest&)> change;
        std::string error;  // a part of the error
    };
    const std::vector<Case> cases = {
        {"a coordinate that climbs out", [](SyntheticLoader& l, LoaderRequest&) { l.helper_name = "org.ow2:..:9.7"; },
         "库文件路径不安全"},
        {"a group that climbs out",
         [](SyntheticLoader& l, LoaderRequest&) { l.helper_name = "..:..:..:evil"; }, "库文件路径不安全"},
        {"an id with a separator", [](SyntheticLoader& l, LoaderRequest&) { l.profile_id = "../../evil"; },
         "版本名不安全: ../../evil"},
        {"a profile of another game version",
         [](SyntheticLoader& l, LoaderRequest&) { l.inherits_from = "1.0"; }, "不是游戏版本 1.7.2-test 的"},
        {"a name with a separator", [](SyntheticLoader&, LoaderRequest& r) { r.name = "a/b"; }, "版本名不安全: a/b"},
        {"a name that is the game's", [](SyntheticLoader&, LoaderRequest& r) { r.name = "1.7.2-test"; },
         "不能与游戏版本相同"},
        {"a loader version that climbs out", [](SyntheticLoader&, LoaderRequest& r) { r.loader_version = "../x"; },
         "加载器版本名不安全"},
        {"a game version that climbs out", [](SyntheticLoader&, LoaderRequest& r) { r.game_version = ".."; },
         "游戏版本名不安全"},
        {"a loader version the service does not know",
         [](SyntheticLoader&, LoaderRequest& r) { r.loader_version = "0.0.1"; }, "无法获取 Fabric 的版本文件"},
    };
    for (const Case& c : cases) {
        FileServer fresh;
        TempFolder folder;
        SyntheticLoader loader = FabricLoader();
        LoaderRequest request = Request(loader);
        c.change(loader, request);
        version.Serve(fresh);
        loader.Serve(fresh);
        const std::string game = folder.path() + "/game";
        const Result<std::string> id =
            InstallLoader(SettingsFor(fresh, game, net::Mirror::kOfficial, LoaderOriginsTo(fresh)), request, {});
        ASSERT_FALSE(id) << c.what;
        EXPECT_NE(id.error().find(c.error), std::string::npos) << c.what << ": " << id.error();
        // No loader version is stored, the names are refused before the
        // game version is fetched, and nothing is written outside.
        EXPECT_FALSE(std::filesystem::exists(game + "/versions/" + loader.Id())) << c.what;
        EXPECT_FALSE(std::filesystem::exists(game + "/versions/" + version.id + "/" + version.id + ".jar")) << c.what;
        EXPECT_FALSE(std::filesystem::exists(folder.path() + "/evil")) << c.what;
        EXPECT_FALSE(std::filesystem::exists(game + "/evil")) << c.what;
    }
}

TEST_F(LoaderInstallTest, ACancelOrABusyFolderStoresNoVersion) {
    version.Serve(server);
    fabric.Serve(server);
    {
        const Result<InstallLock> held = InstallLock::TryTake(Game());
        ASSERT_TRUE(held);
        const Result<std::string> busy = InstallLoader(Settings(), Request(fabric), {});
        ASSERT_FALSE(busy);
        EXPECT_EQ(busy.error(), kErrorInstallRunning);
    }
    std::stop_source stop;
    const Result<std::string> id = InstallLoader(Settings(), Request(fabric), stop.get_token(), [&](const InstallProgress& p) {
        if (p.step == InstallStep::kChecksums && Exists("versions/" + version.id + "/" + version.id + ".jar")) {
            stop.request_stop();
        }
    });
    ASSERT_FALSE(id);
    EXPECT_FALSE(Exists("versions/" + fabric.Id()));
    // What was finished stays: the game version is whole.
    EXPECT_TRUE(Exists("versions/" + version.id + "/" + version.id + ".json"));
}

TEST_F(LoaderInstallTest, QuiltInstallsTheNewestStableWhenNoVersionIsNamed) {
    version.Serve(server);
    const SyntheticLoader quilt = QuiltLoader();
    quilt.Serve(server);
    LoaderRequest request = Request(quilt, Loader::kQuilt);
    request.loader_version.clear();
    const Result<std::string> id = InstallLoader(Settings(), request, {});
    ASSERT_TRUE(id) << id.error();
    EXPECT_EQ(*id, "quilt-loader-0.20.0-1.7.2-test");
    for (const auto& [path, bytes] : quilt.Layout(*id)) {
        EXPECT_EQ(download::ReadAll(Game() + "/" + path), bytes) << path;
    }
    EXPECT_EQ(server.RequestsFor(quilt.maven_folder + quilt.LoaderPath() + ".sha1"), 1);
}

}  // namespace
}  // namespace kestrel::install
