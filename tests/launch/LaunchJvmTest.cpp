// End-to-end launches: a real JVM runs the fake game (compiled by the build)
// from our command line, and the fake game records how it was started.

#include <filesystem>

#include <gtest/gtest.h>

#include "java/JavaVersion.h"
#include "launch/CommandLineBuilder.h"
#include "launch/GameFolder.h"
#include "launch/Launcher.h"
#include "net/JsonDocument.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "support/ZipWriter.h"

namespace kestrel::launch {
namespace {

using testing::GameFolder;
namespace manifests = testing::manifests;
namespace fs = std::filesystem;

void ReplaceOnce(std::string& text, const std::string& what, const std::string& with) {
    const auto at = text.find(what);
    ASSERT_NE(at, std::string::npos) << what;
    text.replace(at, what.size(), with);
}

// What the fake game wrote down.
struct Record {
    net::JsonDocument json;
    std::vector<std::string> args;
    std::string Property(const std::string& name) const { return json.GetText("properties['" + name + "']"); }
    std::vector<std::string> List(const std::string& path) const {
        std::vector<std::string> items;
        for (std::size_t i = 0; i < json.Count(path); ++i) items.push_back(json.GetText(path + "[" + std::to_string(i) + "]"));
        return items;
    }
};

class LaunchJvmTest : public ::testing::Test {
protected:
    void SetUp() override {
        java_ = fs::canonical(KESTREL_JAVA).string();
        major_ = java::JavaMajorVersion(java_, profile_);
        ASSERT_FALSE(major_.empty()) << "no release file beside " << java_;
        record_ = game_.root() + "/record.json";

        std::string vanilla = manifests::Vanilla119();
        ReplaceOnce(vanilla, "\"majorVersion\":17", "\"majorVersion\":" + major_);
        ReplaceOnce(vanilla, R"("--versionType","${version_type}",)",
                    R"("--versionType","${version_type}","--record",")" + record_ + "\",");
        game_.Manifest("1.19", vanilla);
        game_.Manifest("1.12.2", manifests::Vanilla1122(" --record " + record_));
        game_.Manifest("1.19-forge", manifests::Forge118());
        for (const char* id : {"1.19", "1.12.2"}) {
            fs::copy_file(KESTREL_FAKE_GAME_JAR, game_.path() + "/versions/" + id + "/" + id + ".jar");
        }
        const std::vector<std::pair<std::string, std::string>> natives = {
            {"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}, {"liblwjgl.so", "not really ELF"}};
        Jar("org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar", natives);
        Jar("org/lwjgl/lwjgl/lwjgl-platform/2.9.4-nightly-20150209/"
            "lwjgl-platform-2.9.4-nightly-20150209-natives-linux.jar",
            {{"liblwjgl64.so", "old natives"}});
        Jar("org/ow2/asm/asm/9.3/asm-9.3.jar", {{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}});
        Jar("com/mojang/patchy/1.3.9/patchy-1.3.9.jar", {{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}});
        Jar("cpw/mods/bootstraplauncher/1.1.2/bootstraplauncher-1.1.2.jar",
            {{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}});
        Jar("cpw/mods/securejarhandler/2.1.4/securejarhandler-2.1.4.jar",
            {{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}});
    }

    void Jar(const std::string& relative, const std::vector<std::pair<std::string, std::string>>& entries) {
        ASSERT_TRUE(testing::WriteZip(game_.File("libraries/" + relative), entries));
    }

    LaunchPlan Plan(const std::string& id) const {
        LaunchPlan plan;
        plan.version_id = id;
        plan.java_path = java_;
        plan.player_name = "Big \"Steve\" \\\"";
        plan.game_folder = game_.path();
        plan.memory_mb = 600;
        return plan;
    }

    // Launches, waits for the game and reads its record.
    Record Run(const LaunchPlan& plan) {
        fs::remove(record_);
        const Result<int> pid = Launcher(profile_, random_).Launch(plan);
        EXPECT_TRUE(pid.ok()) << pid.error();
        Record record;
        if (!pid.ok()) return record;
        EXPECT_GT(*pid, 0);
        const Result<int> status = platform::WaitForProcess(*pid);
        EXPECT_TRUE(status.ok() && *status == 0) << "the game exited with " << (status.ok() ? *status : -1);
        const auto text = platform::ReadFile(record_);
        EXPECT_TRUE(text.has_value()) << "the fake game wrote no record";
        if (text) {
            EXPECT_TRUE(record.json.Parse(*text)) << *text;
        }
        record.args = record.List("args");
        return record;
    }

    static std::string After(const std::vector<std::string>& args, const std::string& option) {
        const auto hit = std::find(args.begin(), args.end(), option);
        return hit == args.end() || hit + 1 == args.end() ? "<missing>" : *(hit + 1);
    }

    GameFolder game_;
    platform::HostProfile profile_ = platform::HostProfile::Current();
    platform::TickRandom random_;
    std::string java_, major_, record_;
};

TEST_F(LaunchJvmTest, ManifestFormStartsTheGameWithEverythingItNeeds) {
    const Record record = Run(Plan("1.19"));
    const std::string g = game_.path();
    EXPECT_EQ(record.json.GetText("main"), "net.minecraft.client.main.Main");
    EXPECT_EQ(After(record.args, "--username"), "Big \"Steve\" \\\"");
    EXPECT_EQ(After(record.args, "--version"), "由Kestrel 2安全启动");
    EXPECT_EQ(After(record.args, "--gameDir"), g);
    EXPECT_EQ(After(record.args, "--assetIndex"), "1.19");
    EXPECT_EQ(After(record.args, "--uuid").size(), 32u);
    EXPECT_EQ(After(record.args, "--width"), "854");
    EXPECT_EQ(record.args.back(), "854");
    EXPECT_EQ(fs::path(record.json.GetText("cwd")), fs::path(g));
    EXPECT_EQ(record.Property("java.library.path"), g + "/versions/1.19/1.19-natives");
    EXPECT_EQ(record.Property("minecraft.launcher.brand"), "Tern");
    EXPECT_EQ(record.List("natives"), (std::vector<std::string>{"META-INF/MANIFEST.MF", "liblwjgl.so"}));
    EXPECT_EQ(record.Property("java.class.path"),
              g + "/libraries/org/ow2/asm/asm/9.3/asm-9.3.jar:" + g +
                  "/libraries/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar:" + g + "/versions/1.19/1.19.jar");
    EXPECT_TRUE(record.Property("java.version").starts_with(major_)) << record.Property("java.version");
}

TEST_F(LaunchJvmTest, LegacyFormStartsInTheIsolatedDirectory) {
    LaunchPlan plan = Plan("1.12.2");
    plan.isolation = true;
    plan.watermark = "Pack \"One\"";
    plan.access_token = "abc";
    plan.player_uuid = "0123";
    const Record record = Run(plan);
    const std::string g = game_.path();
    EXPECT_EQ(record.json.GetText("main"), "net.minecraft.client.main.Main");
    const std::vector<std::string> expected = {
        "--username", "Big \"Steve\" \\\"", "--version", "Pack \"One\"", "--gameDir", g + "/versions/1.12.2",
        "--assetsDir", g + "/assets", "--assetIndex", "1.12", "--uuid", "0123", "--accessToken", "abc",
        "--userType", "mojang", "--versionType", "Pack \"One\"", "--record", record_, "--height", "480",
        "--width", "854"};
    EXPECT_EQ(record.args, expected);
    EXPECT_EQ(fs::path(record.json.GetText("cwd")), fs::path(g + "/versions/1.12.2"));
    // The natives folder stays under the game folder's versions, isolation or not.
    EXPECT_EQ(record.Property("java.library.path"), g + "/versions/1.12.2/1.12.2-natives");
    EXPECT_EQ(record.List("natives"), std::vector<std::string>{"liblwjgl64.so"});
    EXPECT_NE(record.Property("java.class.path").find("patchy-1.3.9.jar"), std::string::npos);
}

TEST_F(LaunchJvmTest, ForgeStyleChildStartsWithItsModulePathAndMainClass) {
    const Record record = Run(Plan("1.19-forge"));
    const std::string libraries = game_.path() + "/libraries";
    EXPECT_EQ(record.json.GetText("main"), "cpw.mods.bootstraplauncher.BootstrapLauncher");
    EXPECT_EQ(record.args.at(0), "--launchTarget");
    EXPECT_EQ(After(record.args, "--fml.forgeVersion"), "41.1.0");
    EXPECT_EQ(After(record.args, "--username"), "Big \"Steve\" \\\"");
    EXPECT_EQ(record.Property("jdk.module.path"),
              libraries + "/cpw/mods/bootstraplauncher/1.1.2/bootstraplauncher-1.1.2.jar:" + libraries +
                  "/cpw/mods/securejarhandler/2.1.4/securejarhandler-2.1.4.jar");
    EXPECT_EQ(record.Property("ignoreList"), "bootstraplauncher,securejarhandler,1.19-forge.jar");
    EXPECT_EQ(record.Property("libraryDirectory"), libraries);
    // The child's natives folder holds the parent's natives.
    EXPECT_EQ(record.Property("java.library.path"), game_.path() + "/versions/1.19-forge/1.19-forge-natives");
    EXPECT_EQ(record.List("natives"), (std::vector<std::string>{"META-INF/MANIFEST.MF", "liblwjgl.so"}));
    const std::string classpath = record.Property("java.class.path");
    for (const std::string jar : {"bootstraplauncher-1.1.2.jar", "securejarhandler-2.1.4.jar", "asm-9.3.jar",
                                  "/versions/1.19/1.19.jar"}) {
        EXPECT_NE(classpath.find(jar), std::string::npos) << jar;
    }
}

TEST_F(LaunchJvmTest, OldVersionsStartWithTheirAssetCopiesAndTheLoggingConfiguration) {
    const std::string g = game_.path();
    const std::string sound = game_.AssetObject("a sound");
    const std::string texture = game_.AssetObject("a texture");
    const std::string objects = R"("objects":{"sound/a.ogg":{"hash":")" + sound + R"(","size":7},)" +
                                R"("textures/b.png":{"hash":")" + texture + R"(","size":9}})";
    game_.File("assets/indexes/legacy.json", R"({"virtual":true,)" + objects + "}");
    game_.File("assets/indexes/pre-1.6.json", R"({"map_to_resources":true,)" + objects + "}");
    game_.File("assets/log_configs/client-1.7.xml", "<Configuration/>");
    game_.Manifest("1.7.2", manifests::Vanilla172(" --record " + record_));
    game_.Manifest("1.5.2", manifests::Vanilla152(" --record " + record_));
    for (const char* id : {"1.7.2", "1.5.2"}) {
        fs::copy_file(KESTREL_FAKE_GAME_JAR, g + "/versions/" + id + "/" + id + ".jar");
    }
    game_.File("assets/virtual/legacy/sound/a.ogg", "cut");  // a damaged copy is made again

    Record record = Run(Plan("1.7.2"));
    EXPECT_EQ(After(record.args, "--assetsDir"), g + "/assets/virtual/legacy");
    EXPECT_EQ(record.Property("log4j.configurationFile"), g + "/assets/log_configs/client-1.7.xml");
    EXPECT_EQ(platform::ReadFile(g + "/assets/virtual/legacy/sound/a.ogg"), "a sound");
    EXPECT_EQ(platform::ReadFile(g + "/assets/virtual/legacy/textures/b.png"), "a texture");

    LaunchPlan plan = Plan("1.5.2");
    plan.isolation = true;
    record = Run(plan);
    const std::string resources = g + "/versions/1.5.2/resources";
    EXPECT_EQ(After(record.args, "--assetsDir"), resources);
    EXPECT_EQ(record.Property("log4j.configurationFile"), "");
    EXPECT_EQ(platform::ReadFile(resources + "/sound/a.ogg"), "a sound");
    EXPECT_EQ(platform::ReadFile(resources + "/textures/b.png"), "a texture");
}

TEST_F(LaunchJvmTest, TheRealJavasMajorVersionIsCheckedAgainstTheManifest) {
    std::string vanilla = manifests::Vanilla119("other");
    const std::string wrong = std::to_string(java::JavaMajorNumber(major_) + 1);
    ReplaceOnce(vanilla, "\"majorVersion\":17", "\"majorVersion\":" + wrong);
    game_.Manifest("other", vanilla);
    EXPECT_EQ(Launcher(profile_, random_).Launch(Plan("other")).error(), std::string(kErrorJavaVersion) + wrong);
}

// A game that dies at start leaves its reason in the launch log of its game
// directory (the version's folder under isolation), where the launcher's
// own output would have lost it.
TEST_F(LaunchJvmTest, TheGamesOutputGoesToALaunchLogInItsGameDirectory) {
    game_.Manifest("broken", manifests::Vanilla1122());  // no --record: the fake game complains and exits 3
    fs::copy_file(KESTREL_FAKE_GAME_JAR, game_.path() + "/versions/broken/broken.jar");
    LaunchPlan plan = Plan("broken");
    plan.isolation = true;
    const Result<StartedGame> started = Launcher(profile_, random_).Start(plan);
    ASSERT_TRUE(started.ok()) << started.error();
    EXPECT_EQ(platform::WaitForProcess(started->pid).value(), 3);

    const fs::path log(started->log_path);
    EXPECT_EQ(log.parent_path(), fs::path(game_.path() + "/versions/broken/logs"));
    EXPECT_TRUE(log.filename().string().starts_with("kestrel-launch-")) << log;
    const auto text = platform::ReadFile(started->log_path);
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("fake game: no --record FILE"), std::string::npos) << *text;

    // A stop request before the process is started cancels the launch.
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(Launcher(profile_, random_).Start(plan, stop.get_token()).error(), kLaunchCancelled);
}

}  // namespace
}  // namespace kestrel::launch
