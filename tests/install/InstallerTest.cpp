// Installing, verifying and repairing a small synthetic version with real
// libcurl against a file server on 127.0.0.1.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "install/ChainFiles.h"
#include "install/InstallLock.h"
#include "install/SyntheticVersion.h"
#include "install/VersionInstaller.h"

namespace kestrel::install {
namespace {

using testing::FileServer;
using testing::TempFolder;

class InstallerTest : public ::testing::Test {
protected:
    std::string Game() const { return temp.path() + "/game"; }
    VersionInstaller Installer(net::Mirror mirror = net::Mirror::kOfficial,
                               std::vector<net::OriginRule> extra = {}) const {
        return VersionInstaller(SettingsFor(server, Game(), mirror, std::move(extra)));
    }

    FileServer server;
    TempFolder temp;
    SyntheticVersion version;
};

TEST_F(InstallerTest, InstallsTheSharedLayoutAndASecondRunFetchesNothing) {
    version.Serve(server);
    const Result<InstallReport> first = Installer().Install(version.id, {});
    ASSERT_TRUE(first) << first.error();

    std::map<std::string, std::string> expected = version.LinuxLayout();
    expected["versions/" + version.id + "/" + version.id + ".json"] = version.VersionJson();
    expected[".kestrel-install.lock"] = "";
    // Exactly these files: nothing for macOS or Windows, no partial files.
    EXPECT_EQ(FilesUnder(Game()), expected);
    // Two names share the sound's object: it is fetched once.
    const std::string sound = HexSha1(version.sound);
    EXPECT_EQ(server.RequestsFor("/assets/" + sound.substr(0, 2) + "/" + sound), 1);
    EXPECT_EQ(first->copies_made, 3);

    const std::size_t before = server.Requests().size();
    const Result<InstallReport> second = Installer().Install(version.id, {});
    ASSERT_TRUE(second) << second.error();
    EXPECT_EQ(second->files_fetched, 0);
    EXPECT_EQ(second->copies_made, 0);
    // Only the catalogue and the Maven checksum are asked for again; every
    // file was right on disk.
    std::vector<std::string> again;
    const std::vector<FileServer::Request> requests = server.Requests();
    for (std::size_t i = before; i < requests.size(); ++i) again.push_back(requests[i].path);
    EXPECT_EQ(again, (std::vector<std::string>{"/meta/mc/game/version_manifest_v2.json",
                                               "/fabric/net/fabricmc/intermediary/1.0/intermediary-1.0.jar.sha1"}));
}

TEST_F(InstallerTest, ALibraryWithoutSha1IsCheckedAgainstTheRepositorysChecksum) {
    version.Serve(server);
    const std::string jar = "/fabric/net/fabricmc/intermediary/1.0/intermediary-1.0.jar";
    // The repository's file is not the one its checksum names.
    server.Put(jar, Bytes(version.maven_lib.size(), 77));
    const Result<InstallReport> report = Installer().Install(version.id, {});
    ASSERT_FALSE(report);
    EXPECT_NE(report.error().find("intermediary-1.0.jar"), std::string::npos) << report.error();
    EXPECT_FALSE(std::filesystem::exists(Game() + "/libraries/net/fabricmc/intermediary/1.0/intermediary-1.0.jar"));
}

TEST_F(InstallerTest, OldIndexesGetTheirNamedCopies) {
    struct Case {
        std::string flags;
        std::string copies;  // the folder of the copies; empty for none
    };
    const std::vector<Case> cases = {
        {R"("virtual":true)", "assets/virtual/legacy/"},
        {R"("map_to_resources":true)", "resources/"},
        {R"("virtual":true,"map_to_resources":true)", "resources/"},
        {R"("virtual":false)", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        FileServer files;
        TempFolder root;
        SyntheticVersion old;
        old.index_flags = c.flags;
        old.Serve(files);
        const std::string game = root.path() + "/game";
        ASSERT_TRUE(VersionInstaller(SettingsFor(files, game)).Install(old.id, {}));
        std::map<std::string, std::string> copies;
        for (const auto& [path, bytes] : FilesUnder(game)) {
            if (path.starts_with("resources/") || path.starts_with("assets/virtual/")) copies[path] = bytes;
        }
        if (c.copies.empty()) {
            EXPECT_TRUE(copies.empty());
            continue;
        }
        EXPECT_EQ(copies, (std::map<std::string, std::string>{{c.copies + "lang/en_US.lang", old.lang},
                                                              {c.copies + "sound/step-copy.ogg", old.sound},
                                                              {c.copies + "sound/step.ogg", old.sound}}));
    }
}

TEST_F(InstallerTest, TheHostsRulesChooseTheNatives) {
    version.Serve(server);
    ASSERT_TRUE(Installer().Install(version.id, {}));
    const net::UrlRewriter none;
    struct Case {
        platform::HostProfile host;
        std::vector<std::string> wanted;
        std::vector<std::string> unwanted;
    };
    const std::string libs = Game() + "/libraries/";
    const std::vector<Case> cases = {
        {platform::HostProfile::Linux64(),
         {"org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar",
          "org/lwjgl/lwjgl-platform/2.9/lwjgl-platform-2.9-natives-linux.jar"},
         {"org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-windows.jar", "org/example/maconly/1.0/maconly-1.0.jar"}},
        {platform::HostProfile::Windows64(),
         {"org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-windows.jar",
          "org/lwjgl/lwjgl-platform/2.9/lwjgl-platform-2.9-natives-windows-64.jar"},
         {"org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar", "org/example/maconly/1.0/maconly-1.0.jar"}},
    };
    for (const Case& c : cases) {
        const Result<ChainFileList> list = ListChainFiles(Game(), version.id, c.host, none);
        ASSERT_TRUE(list) << list.error();
        std::set<std::string> paths;
        for (const download::FileRequest& file : list->files) paths.insert(file.path);
        for (const std::string& path : c.wanted) EXPECT_TRUE(paths.count(libs + path)) << c.host.os_name << " " << path;
        for (const std::string& path : c.unwanted) EXPECT_FALSE(paths.count(libs + path)) << c.host.os_name << " " << path;
    }
}

TEST_F(InstallerTest, TheMirrorServesFirstAndTheOfficialHostTakesOverWhatItLacks) {
    FileServer mirror;
    version.Serve(server);
    // The mirror lacks one library.
    const std::string missing = SyntheticVersion::MirrorPath("libraries", "/" + version.plain_path);
    version.Serve(mirror, SyntheticVersion::MirrorPath, {missing});
    const Result<InstallReport> report =
        Installer(net::Mirror::kBmclapi, {{"https://bmclapi2.bangbang93.com", mirror.Url("/bmcl")}})
            .Install(version.id, {});
    ASSERT_TRUE(report) << report.error();
    EXPECT_EQ(FilesUnder(Game()).at("libraries/" + version.plain_path), version.lib_plain);
    // Everything but that library came from the mirror, the catalogue too.
    std::vector<std::string> official;
    for (const FileServer::Request& request : server.Requests()) official.push_back(request.path);
    EXPECT_EQ(official, std::vector<std::string>{"/libraries/" + version.plain_path});
    EXPECT_EQ(mirror.RequestsFor("/bmcl/mc/game/version_manifest_v2.json"), 1);
    EXPECT_EQ(mirror.RequestsFor(missing), 1);
}

TEST_F(InstallerTest, AVersionJsonThatIsNotTheCataloguesIsNotStored) {
    version.catalogue_sha1 = std::string(40, 'b');
    version.Serve(server);
    const Result<InstallReport> report = Installer().Install(version.id, {});
    ASSERT_FALSE(report);
    EXPECT_NE(report.error().find(version.id + ".json"), std::string::npos) << report.error();
    EXPECT_FALSE(std::filesystem::exists(Game() + "/versions/" + version.id + "/" + version.id + ".json"));
    EXPECT_FALSE(std::filesystem::exists(Game() + "/libraries"));
}

TEST_F(InstallerTest, AnUnknownVersionFails) {
    version.Serve(server);
    const Result<InstallReport> report = Installer().Install("9.9", {});
    ASSERT_FALSE(report);
    EXPECT_NE(report.error().find("9.9"), std::string::npos);
}

TEST_F(InstallerTest, HostileNamesFailTheInstallAndNothingIsWrittenOutside) {
    struct Case {
        const char* what;
        std::function<void(SyntheticVersion&)> spoil;
        std::string named;
    };
    const std::vector<Case> cases = {
        {"library path", [](SyntheticVersion& v) { v.plain_path = "../../escape.jar"; }, "../../escape.jar"},
        {"absolute library path", [](SyntheticVersion& v) { v.plain_path = "/tmp/escape.jar"; }, "/tmp/escape.jar"},
        {"asset index id", [](SyntheticVersion& v) { v.index_id = "../../escape"; }, "../../escape"},
        {"log configuration id", [](SyntheticVersion& v) { v.log_id = "../escape.xml"; }, "../escape.xml"},
        {"asset name", [](SyntheticVersion& v) { v.sound_name = "../../../escape.ogg"; }, "../../../escape.ogg"},
        {"object hash", [](SyntheticVersion& v) { v.sound_hash = "../../../../escape0000000000000000000000000"; },
         "sound/step.ogg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileServer hostile_server;
        TempFolder root;
        SyntheticVersion hostile;
        c.spoil(hostile);
        hostile.Serve(hostile_server);
        const std::string game = root.path() + "/a/b/game";
        const Result<InstallReport> report = VersionInstaller(SettingsFor(hostile_server, game)).Install(hostile.id, {});
        ASSERT_FALSE(report);
        EXPECT_NE(report.error().find(c.named), std::string::npos) << report.error();
        // Only the game folder exists below the root, and nothing named escape anywhere.
        for (const auto& [path, bytes] : FilesUnder(root.path())) {
            EXPECT_TRUE(path.starts_with("a/b/game/")) << path;
            EXPECT_EQ(path.find("escape"), std::string::npos) << path;
        }
        EXPECT_FALSE(std::filesystem::exists("/tmp/escape.jar"));
    }
}

TEST_F(InstallerTest, VerifyFindsMissingAndCorruptFilesAndRepairMendsThem) {
    version.Serve(server);
    ASSERT_TRUE(Installer().Install(version.id, {}));
    const Result<VerifyReport> clean = Installer().Verify(version.id, {});
    ASSERT_TRUE(clean) << clean.error();
    EXPECT_TRUE(clean->bad.empty());
    EXPECT_EQ(clean->files_checked, 11);

    const std::string lang = HexSha1(version.lang);
    const std::string object = "assets/objects/" + lang.substr(0, 2) + "/" + lang;
    std::filesystem::remove(Game() + "/libraries/" + version.plain_path);
    // Same sizes, other bytes: only the hash can tell.
    temp.Write("game/" + object, Bytes(version.lang.size(), 99));
    temp.Write("game/assets/virtual/legacy/sound/step.ogg", Bytes(version.sound.size(), 98));
    temp.Write("game/versions/" + version.id + "/" + version.id + ".jar", Bytes(version.client.size(), 97));

    const std::vector<BadFile> expected = {
        {"versions/" + version.id + "/" + version.id + ".jar", FileFault::kCorrupt},
        {"libraries/" + version.plain_path, FileFault::kMissing},
        {object, FileFault::kCorrupt},
        {"assets/virtual/legacy/sound/step.ogg", FileFault::kCorrupt},
    };
    const auto same = [](const std::vector<BadFile>& a, const std::vector<BadFile>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i].path != b[i].path || a[i].fault != b[i].fault) return false;
        }
        return true;
    };
    const Result<VerifyReport> found = Installer().Verify(version.id, {});
    ASSERT_TRUE(found) << found.error();
    EXPECT_TRUE(same(found->bad, expected));

    const Result<VerifyReport> repaired = Installer().Repair(version.id, {});
    ASSERT_TRUE(repaired) << repaired.error();
    EXPECT_TRUE(same(repaired->bad, expected));
    std::map<std::string, std::string> layout = version.LinuxLayout();
    const std::map<std::string, std::string> now = FilesUnder(Game());
    for (const auto& [path, bytes] : layout) {
        EXPECT_TRUE(now.count(path) && now.at(path) == bytes) << path;
    }
    EXPECT_TRUE(Installer().Verify(version.id, {})->bad.empty());
}

TEST_F(InstallerTest, AMissingAssetIndexIsReportedAndRepairBringsBackItsObjects) {
    version.Serve(server);
    ASSERT_TRUE(Installer().Install(version.id, {}));
    std::filesystem::remove_all(Game() + "/assets");
    const Result<VerifyReport> found = Installer().Verify(version.id, {});
    ASSERT_TRUE(found) << found.error();
    ASSERT_FALSE(found->bad.empty());
    EXPECT_EQ(found->bad.back().path, "assets/log_configs/" + version.log_id);
    ASSERT_TRUE(Installer().Repair(version.id, {}));
    const std::map<std::string, std::string> now = FilesUnder(Game());
    for (const auto& [path, bytes] : version.LinuxLayout()) EXPECT_TRUE(now.count(path)) << path;
}

TEST_F(InstallerTest, OneInstallAtATimePerGameFolder) {
    version.Serve(server);
    {
        Result<InstallLock> held = InstallLock::TryTake(Game());
        ASSERT_TRUE(held) << held.error();
        const Result<InstallReport> second = Installer().Install(version.id, {});
        ASSERT_FALSE(second);
        EXPECT_EQ(second.error(), kErrorInstallRunning);
        EXPECT_FALSE(Installer().Repair(version.id, {}));
        EXPECT_TRUE(server.Requests().empty());
        // Another folder is not held.
        EXPECT_TRUE(InstallLock::TryTake(temp.path() + "/other"));
    }
    EXPECT_TRUE(Installer().Install(version.id, {}));
}

}  // namespace
}  // namespace kestrel::install
