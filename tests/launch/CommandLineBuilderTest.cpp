#include "launch/CommandLineBuilder.h"

#include <algorithm>
#include <regex>

#include <gtest/gtest.h>

#include "launch/GameFolder.h"
#include "launch/Launcher.h"
#include "platform/Process.h"

namespace kestrel::launch {
namespace {

using testing::GameFolder;
namespace manifests = testing::manifests;

// Draws the low end of every range: tokens come out as "000…".
class LowRandom : public platform::RandomSource {
public:
    std::uint32_t Between(std::uint32_t lo, std::uint32_t) override {
        ++draws;
        return lo;
    }
    int draws = 0;
};

class CommandLineBuilderTest : public ::testing::Test {
protected:
    LaunchPlan Plan(const std::string& id, const platform::HostProfile& profile) const {
        LaunchPlan plan;
        plan.version_id = id;
        plan.java_path = profile.IsWindows() ? Windows(java17_.substr(0, java17_.size() - 4) + "javaw.exe") : java17_;
        plan.player_name = "Steve";
        plan.access_token = "TOKEN";
        plan.game_folder = profile.IsWindows() ? Windows(game_.path()) : game_.path();
        return plan;
    }
    Result<std::string> Build(const LaunchPlan& plan, const platform::HostProfile& profile) {
        return CommandLineBuilder(profile, random_).Build(plan);
    }
    // The argument vector Java receives for this command line.
    static std::vector<std::string> Argv(const std::string& line) {
        return platform::SplitCommandLine(Launcher::ProcessCommandLine("/usr/bin/java", line));
    }
    // A Linux path written as the Windows profile writes it.
    static std::string Windows(std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    GameFolder game_;
    std::string java17_ = game_.FakeJava("jdk17", "17.0.2");
    LowRandom random_;
};

TEST_F(CommandLineBuilderTest, ChecksRunInOrderAndTheLastFailureIsReported) {
    game_.Manifest("1.19", manifests::Vanilla119());
    game_.Manifest("broken", "{\"id\": \"broken\", ");
    game_.Manifest("no-arguments", R"({"id":"no-arguments","mainClass":"net.minecraft.client.main.Main"})");
    const std::string java8 = game_.FakeJava("jre8", "1.8.0_301");
    const std::string java18 = game_.FakeJava("jdk18", "18.0.1");
    struct Case {
        std::string id, name;
        int memory;
        std::string java;
        std::string error;  // empty: the build succeeds
    };
    const std::string missing_java = game_.root() + "/nowhere/bin/java";
    const std::vector<Case> cases = {
        {"1.19", "Steve", 513, java17_, ""},
        {"1.19", "", 513, java17_, std::string(kErrorNoPlayerName)},
        {"1.19", "", 512, java17_, std::string(kErrorMemory)},
        {"1.19", "Steve", 512, missing_java, std::string(kErrorJavaVersion) + "17"},
        {"broken", "Steve", 2048, missing_java, std::string(kErrorManifest)},
        {"broken", "Steve", 2048, java8, std::string(kErrorManifest)},
        {"1.19", "Steve", 2048, java8, "启动游戏Java要求版本为: Java 17"},
        {"1.19", "Steve", 2048, java18, "启动游戏Java要求版本为: Java 17"},
        {"no-arguments", "Steve", 2048, java8, std::string(kErrorGameArguments)},
        {"no-arguments", "", 100, missing_java, std::string(kErrorGameArguments)},
        {"no-arguments", "Steve", 2048, missing_java, std::string(kErrorGameArguments)},
        {"missing", "Steve", 2048, java8, std::string(kErrorManifest)},
    };
    const auto profile = platform::HostProfile::Linux64();
    for (const Case& c : cases) {
        LaunchPlan plan = Plan(c.id, profile);
        plan.player_name = c.name;
        plan.memory_mb = c.memory;
        plan.java_path = c.java;
        const auto line = Build(plan, profile);
        EXPECT_EQ(line.error(), c.error) << c.id << " name=" << c.name << " memory=" << c.memory;
        EXPECT_EQ(line.ok(), c.error.empty());
        if (line.ok()) {
            EXPECT_FALSE(line->empty());
        }
    }
    // With no Java at all the Java check fails; the version check names the
    // manifest's requirement last, so that is what is reported.
    LaunchPlan plan = Plan("no-arguments", profile);
    plan.java_path = missing_java;
    game_.Manifest("plain", R"({"id":"plain","mainClass":"M","minecraftArguments":"--a b"})");
    plan.version_id = "plain";
    EXPECT_EQ(Build(plan, profile).error(), kErrorNoJava);
}

TEST_F(CommandLineBuilderTest, LegacyManifestGivesTheWindowsTextByteForByte) {
    game_.Manifest("1.12.2", manifests::Vanilla1122());
    game_.File("libraries/com/mojang/patchy/1.3.9/patchy-1.3.9.jar");
    const auto windows = platform::HostProfile::Windows64();
    LaunchPlan plan = Plan("1.12.2", windows);
    plan.player_uuid = "";  // offline: the UUID of the name
    const std::string g = plan.game_folder;
    const auto line = Build(plan, windows);
    ASSERT_TRUE(line.ok()) << line.error();
    EXPECT_EQ(*line,
              "-XX:HeapDumpPath=MojangTricksIntelDriversForPerformance_javaw.exe_minecraft.exe.heapdump "
              "-Djava.library.path=\"" + g + "\\versions\\1.12.2\\1.12.2-natives\" -Xmn128m -Xmx2048m "
              "-Dfml.ignoreInvalidMinecraftCertificates=true -Dfml.ignorePatchDiscrepancies=true "
              "-cp \"" + g + "\\libraries\\com\\mojang\\patchy\\1.3.9\\patchy-1.3.9.jar;" + g +
              "\\versions\\1.12.2\\1.12.2.jar\"  net.minecraft.client.main.Main  --username Steve "
              "--version \"Tern 2.8.220830-A12\" --gameDir \"" + g + "\" --assetsDir \"" + g + "\\assets\" "
              "--assetIndex 1.12 --uuid 29EBA48502E61C168846C2FF82ED3940 --accessToken TOKEN --userType mojang "
              "--versionType \"Tern 2.8.220830-A12\"  --height 480 --width 854");
}

TEST_F(CommandLineBuilderTest, ManifestFormGivesTheWindowsTextByteForByte) {
    game_.Manifest("1.19", manifests::Vanilla119());
    const auto windows = platform::HostProfile::Windows64();
    LaunchPlan plan = Plan("1.19", windows);
    plan.java_path = Windows(java17_);
    plan.watermark = "My Pack";
    plan.memory_mb = 4096;
    plan.window_width = 1280;
    plan.window_height = 720;
    const std::string g = plan.game_folder;
    const auto line = Build(plan, windows);
    ASSERT_TRUE(line.ok()) << line.error();
    // The Windows-only entry whose value is one string contributes an empty
    // text (two blanks); the Windows 10, macOS and x86 entries are not taken;
    // unknown placeholders stay.
    EXPECT_EQ(*line,
              "-Xmn128m -Xmx4096m -Dfml.ignoreInvalidMinecraftCertificates=true -Dfml.ignorePatchDiscrepancies=true"
              "  -Djava.library.path=\"" + g + "\\versions\\1.19\\1.19-natives\" -Dminecraft.launcher.brand=Tern "
              "-Dminecraft.launcher.version=2.8.220830-A12 -cp \"" + g + "\\versions\\1.19\\1.19.jar\"  "
              "net.minecraft.client.main.Main  --username Steve --version \"My Pack\" --gameDir \"" + g + "\" "
              "--assetsDir \"" + g + "\\assets\" --assetIndex 1.19 --uuid 29EBA48502E61C168846C2FF82ED3940 "
              "--accessToken TOKEN --clientId ${clientid} --xuid ${auth_xuid} --userType mojang "
              "--versionType \"My Pack\"  --height 720 --width 1280");
}

TEST_F(CommandLineBuilderTest, LinuxProfileGivesAVectorJavaAccepts) {
    game_.Manifest("1.19", manifests::Vanilla119());
    game_.File("libraries/org/ow2/asm/asm/9.3/asm-9.3.jar");
    game_.File("libraries/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar");
    const auto linux = platform::HostProfile::Linux64();
    LaunchPlan plan = Plan("1.19", linux);
    plan.isolation = true;
    const std::string g = game_.path();
    const auto line = Build(plan, linux);
    ASSERT_TRUE(line.ok()) << line.error();
    const std::vector<std::string> expected = {
        "/usr/bin/java", "-Xmn128m", "-Xmx2048m", "-Dfml.ignoreInvalidMinecraftCertificates=true",
        "-Dfml.ignorePatchDiscrepancies=true", "-Djava.library.path=" + g + "/versions/1.19/1.19-natives",
        "-Dminecraft.launcher.brand=Tern", "-Dminecraft.launcher.version=2.8.220830-A12", "-cp",
        g + "/libraries/org/ow2/asm/asm/9.3/asm-9.3.jar:" + g +
            "/libraries/org/lwjgl/lwjgl/3.3.1/lwjgl-3.3.1-natives-linux.jar:" + g + "/versions/1.19/1.19.jar",
        "net.minecraft.client.main.Main", "--username", "Steve", "--version", "Tern 2.8.220830-A12",
        "--gameDir", g + "/versions/1.19", "--assetsDir", g + "/assets", "--assetIndex", "1.19",
        "--uuid", "29EBA48502E61C168846C2FF82ED3940", "--accessToken", "TOKEN", "--clientId", "${clientid}",
        "--xuid", "${auth_xuid}", "--userType", "mojang", "--versionType", "Tern 2.8.220830-A12",
        "--height", "480", "--width", "854"};
    EXPECT_EQ(Argv(*line), expected);
}

TEST_F(CommandLineBuilderTest, ForgeLegacyChildKeepsEachOptionOnceWithTheChildsValues) {
    game_.Manifest("1.12.2", manifests::Vanilla1122(" --demoOption ${user_type}"));
    game_.Manifest("1.12.2-forge", manifests::Forge1122());
    game_.File("libraries/net/minecraftforge/forge/1.12.2-14.23.5.2860/forge-1.12.2-14.23.5.2860.jar");
    const auto linux = platform::HostProfile::Linux64();
    const auto line = Build(Plan("1.12.2-forge", linux), linux);
    ASSERT_TRUE(line.ok()) << line.error();
    const std::vector<std::string> argv = Argv(*line);
    const auto main = std::find(argv.begin(), argv.end(), "net.minecraft.launchwrapper.Launch");
    ASSERT_NE(main, argv.end());
    const std::vector<std::string> game(main + 1, argv.end());
    for (const char* option : {"--username", "--version", "--gameDir", "--assetIndex", "--uuid", "--accessToken",
                               "--userType", "--versionType", "--tweakClass"}) {
        EXPECT_EQ(std::count(game.begin(), game.end(), option), 1) << option;
    }
    EXPECT_EQ(*(std::find(game.begin(), game.end(), "--versionType") + 1), "Forge");
    EXPECT_EQ(*(std::find(game.begin(), game.end(), "--assetIndex") + 1), "1.12");  // the parent's assets
    // The parent's own option survives once, after the child's; the child's
    // text is not appended a second time behind it.
    EXPECT_EQ(std::count(game.begin(), game.end(), "--demoOption"), 1);
    EXPECT_EQ(game.back(), "854");
    EXPECT_EQ(*(game.end() - 5), "mojang");  // --demoOption ${user_type}, then the window options
    // The Forge jar is on the classpath; the client jar is the parent's.
    const std::string cp = *(std::find(argv.begin(), argv.end(), "-cp") + 1);
    EXPECT_NE(cp.find("forge-1.12.2-14.23.5.2860.jar:"), std::string::npos);
    EXPECT_TRUE(cp.ends_with("/versions/1.12.2/1.12.2.jar")) << cp;
}

TEST_F(CommandLineBuilderTest, ChildJvmEntriesFollowTheRootsAndUseThePlaceholdersOfTheManifestForm) {
    game_.Manifest("1.19", manifests::Vanilla119());
    game_.Manifest("1.19-forge", manifests::Forge118());
    const auto linux = platform::HostProfile::Linux64();
    LaunchPlan plan = Plan("1.19-forge", linux);
    plan.watermark = "W";
    const auto line = Build(plan, linux);
    ASSERT_TRUE(line.ok()) << line.error();
    const std::vector<std::string> argv = Argv(*line);
    const std::string libraries = game_.path() + "/libraries";
    const auto at = [&](const std::string& word) { return std::find(argv.begin(), argv.end(), word); };
    // The root's entries first, then the child's.
    ASSERT_NE(at("-cp"), argv.end());
    ASSERT_NE(at("-p"), argv.end());
    EXPECT_LT(at("-cp"), at("-p"));
    EXPECT_EQ(*(at("-p") + 1), libraries + "/cpw/mods/bootstraplauncher/1.1.2/bootstraplauncher-1.1.2.jar:" +
                                   libraries + "/cpw/mods/securejarhandler/2.1.4/securejarhandler-2.1.4.jar");
    EXPECT_EQ(*(at("--add-modules") + 1), "ALL-MODULE-PATH");
    // ${version_name} is the version id among the JVM entries, the watermark
    // among the game arguments.
    EXPECT_NE(at("-DignoreList=bootstraplauncher,securejarhandler,1.19-forge.jar"), argv.end());
    EXPECT_NE(at("-DlibraryDirectory=" + libraries), argv.end());
    EXPECT_EQ(*(at("--version") + 1), "W");
    EXPECT_LT(at("cpw.mods.bootstraplauncher.BootstrapLauncher"), at("--launchTarget"));
    EXPECT_LT(at("--launchTarget"), at("--username"));  // the child's game arguments come first
}

TEST_F(CommandLineBuilderTest, AJvmEntryWithBlanksAndAVersionIdWithBlanksStayOneArgument) {
    game_.Manifest("1.19", manifests::Vanilla119());
    game_.Manifest("fabric-1.19", manifests::Fabric());
    game_.Manifest("Forge 1.19", manifests::Forge118());
    const auto linux = platform::HostProfile::Linux64();
    auto line = Build(Plan("fabric-1.19", linux), linux);
    ASSERT_TRUE(line.ok()) << line.error();
    std::vector<std::string> argv = Argv(*line);
    EXPECT_NE(std::find(argv.begin(), argv.end(), "-DFabricMcEmu= net.minecraft.client.main.Main "), argv.end());
    EXPECT_NE(std::find(argv.begin(), argv.end(), "net.fabricmc.loader.impl.launch.knot.KnotClient"), argv.end());

    line = Build(Plan("Forge 1.19", linux), linux);
    ASSERT_TRUE(line.ok()) << line.error();
    argv = Argv(*line);
    EXPECT_NE(std::find(argv.begin(), argv.end(), "-DignoreList=bootstraplauncher,securejarhandler,Forge 1.19.jar"),
              argv.end());
    EXPECT_NE(std::find(argv.begin(), argv.end(),
                        "-Djava.library.path=" + game_.path() + "/versions/Forge 1.19/Forge 1.19-natives"),
              argv.end());
}

TEST_F(CommandLineBuilderTest, HostileValuesStayOneArgumentEach) {
    game_.Manifest("1.19", manifests::Vanilla119());
    const auto linux = platform::HostProfile::Linux64();
    struct Values {
        std::string name, watermark, token, uuid;
    };
    const std::vector<Values> cases = {
        {"Steve\" --server evil.example \"x", "a\"b", "tok en", "u\"u"},
        {"back\\\" --quickPlayMultiplayer evil", "trailing\\", "t\\\"", "\\"},
        {"名字 带 空格", "${auth_uuid}", "${user_type}", "id\t--demo"},
        {"${auth_access_token}", "\"", "\"\"", "x\\\\\" y"},
    };
    for (const Values& v : cases) {
        LaunchPlan plan = Plan("1.19", linux);
        plan.player_name = v.name;
        plan.watermark = v.watermark;
        plan.access_token = v.token;
        plan.player_uuid = v.uuid;
        const auto line = Build(plan, linux);
        ASSERT_TRUE(line.ok()) << line.error();
        const std::vector<std::string> argv = Argv(*line);
        const auto after = [&](const std::string& option) {
            const auto hit = std::find(argv.begin(), argv.end(), option);
            return hit == argv.end() || hit + 1 == argv.end() ? std::string("<missing>") : *(hit + 1);
        };
        EXPECT_EQ(after("--username"), v.name);
        EXPECT_EQ(after("--version"), v.watermark);
        EXPECT_EQ(after("--versionType"), v.watermark);
        EXPECT_EQ(after("--accessToken"), v.token);
        EXPECT_EQ(after("--uuid"), v.uuid);
        EXPECT_EQ(argv.size(), 37u) << *line;
        for (const char* injected : {"--server", "--quickPlayMultiplayer", "--demo"}) {
            EXPECT_EQ(std::find(argv.begin(), argv.end(), injected), argv.end()) << injected;
        }
    }
}

TEST_F(CommandLineBuilderTest, AnAccountWithoutTokenGetsARandomUpperCaseTokenAndTheOfflineUuid) {
    game_.Manifest("1.12.2", manifests::Vanilla1122());
    const auto linux = platform::HostProfile::Linux64();
    LaunchPlan plan = Plan("1.12.2", linux);
    plan.access_token.clear();
    plan.player_name = "玩家";
    platform::TickRandom ticks;
    const auto line = CommandLineBuilder(linux, ticks).Build(plan);
    ASSERT_TRUE(line.ok()) << line.error();
    const std::vector<std::string> argv = Argv(*line);
    const std::string token = *(std::find(argv.begin(), argv.end(), "--accessToken") + 1);
    EXPECT_TRUE(std::regex_match(token, std::regex("[0-9A-Z]{32}"))) << token;
    EXPECT_EQ(*(std::find(argv.begin(), argv.end(), "--uuid") + 1), "0D3C1AD538413B1D78503A8A98CCAF7B");

    // Two draws a character: the class (1 digit, 2 upper case, 3 lower
    // case), then the character; a lower-case letter is upper-cased.
    struct Scripted : platform::RandomSource {
        std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) override {
            static constexpr std::uint32_t kPicks[] = {0, 0, 1, 0, 2, 25};  // digit '0', 'A', 'z'
            return std::min(hi, lo + kPicks[n++ % 6]);
        }
        int n = 0;
    } scripted;
    std::string expected;
    while (expected.size() < 32) expected += "0AZ";
    expected.resize(32);
    EXPECT_EQ(CommandLineBuilder(linux, scripted).RandomToken(), expected);
    EXPECT_EQ(CommandLineBuilder(linux, random_).RandomToken(), std::string(32, '0'));
    EXPECT_EQ(random_.draws, 64);
}

TEST_F(CommandLineBuilderTest, PlaceholdersFollowTheirLetterCaseRules) {
    game_.Manifest("case", R"({"id":"case","mainClass":"M","minecraftArguments":
        "--a ${AUTH_PLAYER_NAME} --b ${Game_Assets} --c ${AUTH_UUID} --d ${User_Type} --e ${auth_player_name}"})");
    const auto linux = platform::HostProfile::Linux64();
    const auto line = Build(Plan("case", linux), linux);
    ASSERT_TRUE(line.ok()) << line.error();
    EXPECT_NE(line->find("--a ${AUTH_PLAYER_NAME} --b \"" + game_.path() +
                         "/assets\" --c 29EBA48502E61C168846C2FF82ED3940 --d mojang --e Steve"),
              std::string::npos)
        << *line;
}

}  // namespace
}  // namespace kestrel::launch

namespace kestrel::launch {
namespace {

TEST_F(CommandLineBuilderTest, AManifestFormVersionGetsItsOwnLegacyTextLastOnce) {
    game_.Manifest("both", R"({"id":"both","mainClass":"M","arguments":{"game":["--a","1"]},
        "minecraftArguments":"--b 2"})");
    game_.Manifest("same", R"({"id":"same","mainClass":"M","arguments":{"game":["--b","2"]},
        "minecraftArguments":"--b 2"})");
    const auto linux = platform::HostProfile::Linux64();
    EXPECT_NE(Build(Plan("both", linux), linux)->find("  M  --a 1 --b 2  --height"), std::string::npos);
    EXPECT_NE(Build(Plan("same", linux), linux)->find("  M  --b 2  --height"), std::string::npos);
}

}  // namespace
}  // namespace kestrel::launch

namespace kestrel::launch {
namespace {

TEST_F(CommandLineBuilderTest, OldVersionsGetTheirAssetCopiesAndTheLoggingConfigurationInTheWindowsText) {
    game_.Manifest("1.7.2", manifests::Vanilla172());
    game_.File("assets/indexes/legacy.json", R"({"virtual":true,"objects":{}})");
    game_.File("assets/log_configs/client-1.7.xml", "<Configuration/>");
    game_.Manifest("1.5.2", manifests::Vanilla152());
    game_.File("assets/indexes/pre-1.6.json", R"({"map_to_resources":true,"objects":{}})");
    const auto windows = platform::HostProfile::Windows64();
    LaunchPlan plan = Plan("1.7.2", windows);
    const std::string g = plan.game_folder;
    const std::string jvm =
        "-XX:HeapDumpPath=MojangTricksIntelDriversForPerformance_javaw.exe_minecraft.exe.heapdump "
        "-Djava.library.path=\"" + g + "\\versions\\ID\\ID-natives\" -Xmn128m -Xmx2048m "
        "-Dfml.ignoreInvalidMinecraftCertificates=true -Dfml.ignorePatchDiscrepancies=true "
        "-cp \"" + g + "\\versions\\ID\\ID.jar\"";
    const auto with_id = [](std::string text, const std::string& id) {
        for (auto at = text.find("ID"); at != std::string::npos; at = text.find("ID", at + id.size())) {
            text.replace(at, 2, id);
        }
        return text;
    };
    auto line = Build(plan, windows);
    ASSERT_TRUE(line.ok()) << line.error();
    EXPECT_EQ(*line, with_id(jvm, "1.7.2") + " -Dlog4j.configurationFile=\"" + g +
                         "\\assets\\log_configs\\client-1.7.xml\"  net.minecraft.client.main.Main  --username Steve "
                         "--session TOKEN --version \"Tern 2.8.220830-A12\" --gameDir \"" + g + "\" --assetsDir \"" +
                         g + "\\assets\\virtual\\legacy\" --uuid 29EBA48502E61C168846C2FF82ED3940 --accessToken TOKEN "
                         "--userProperties {} --userType mojang  --height 480 --width 854");

    plan = Plan("1.5.2", windows);
    plan.isolation = true;
    line = Build(plan, windows);
    ASSERT_TRUE(line.ok()) << line.error();
    EXPECT_EQ(*line, with_id(jvm, "1.5.2") + "  net.minecraft.client.main.Main  Steve TOKEN --gameDir \"" + g +
                         "\\versions\\1.5.2\" --assetsDir \"" + g + "\\versions\\1.5.2\\resources\"  --height 480 "
                         "--width 854");
}

TEST_F(CommandLineBuilderTest, GameAssetsFollowTheIndexTheChainNames) {
    struct Case {
        std::string version;  // the members naming the index
        std::string index;    // the text of assets/indexes/legacy.json; empty: no file
        bool isolation;
        std::string expected;  // --assetsDir below the game folder
    };
    const std::string both = R"("assets":"legacy","assetIndex":{"id":"legacy"})";
    const std::vector<Case> cases = {
        {both, R"({"virtual":true})", false, "/assets/virtual/legacy"},
        {both, R"({"virtual":true})", true, "/assets/virtual/legacy"},
        {both, R"({"map_to_resources":true})", false, "/resources"},
        {both, R"({"map_to_resources":true})", true, "/versions/old/resources"},
        {both, R"({"map_to_resources":true,"virtual":true})", false, "/resources"},
        {both, R"({"virtual":"true","map_to_resources":1})", false, "/assets"},
        {both, R"({"virtual":false,"objects":{}})", false, "/assets"},
        {both, "", false, "/assets"},
        {both, "{\"virtual\":true", false, "/assets"},  // no JSON
        {R"("assetIndex":{"id":"legacy"})", R"({"virtual":true})", false, "/assets/virtual/legacy"},
        {R"("assets":"legacy")", R"({"virtual":true})", false, "/assets/virtual/legacy"},
        {R"("assets":"other","assetIndex":{"id":"legacy"})", R"({"virtual":true})", false, "/assets"},
        // An id that leaves the indexes folder is not read, though
        // assets/indexes/../legacy.json is there.
        {R"("assets":"../legacy")", R"({"virtual":true})", false, "/assets"},
        {"", R"({"virtual":true})", false, "/assets"},
    };
    game_.File("assets/legacy.json", R"({"virtual":true})");
    const auto linux = platform::HostProfile::Linux64();
    for (const Case& c : cases) {
        game_.Manifest("old", R"({"id":"old",)" + c.version + (c.version.empty() ? "" : ",") + R"("mainClass":"M",)" +
                                  R"("minecraftArguments":"--assetsDir ${game_assets} --root ${assets_root}"})");
        std::filesystem::remove(game_.path() + "/assets/indexes/legacy.json");
        if (!c.index.empty()) game_.File("assets/indexes/legacy.json", c.index);
        LaunchPlan plan = Plan("old", linux);
        plan.isolation = c.isolation;
        const auto line = Build(plan, linux);
        ASSERT_TRUE(line.ok()) << line.error();
        const std::vector<std::string> argv = Argv(*line);
        const auto after = [&](const std::string& option) { return *(std::find(argv.begin(), argv.end(), option) + 1); };
        EXPECT_EQ(after("--assetsDir"), game_.path() + c.expected) << c.version << " " << c.index;
        EXPECT_EQ(after("--root"), game_.path() + "/assets") << c.version << " " << c.index;
    }
}

TEST_F(CommandLineBuilderTest, TheLoggingArgumentComesBeforeTheMainClassWhenItsFileIsThere) {
    struct Case {
        std::string argument, id;
        std::string file;      // created below the game folder; empty: none
        std::string expected;  // the argument before the main class; empty: none at all
    };
    const std::string g = game_.path();
    const std::string config = g + "/assets/log_configs/client-1.12.xml";
    const std::vector<Case> cases = {
        {"-Dlog4j.configurationFile=${path}", "client-1.12.xml", "assets/log_configs/client-1.12.xml",
         "-Dlog4j.configurationFile=" + config},
        {"-Dlog4j.configurationFile=${path}", "client-1.12.xml", "", ""},
        {"-Dlog4j.configurationFile=${path}", "../../escape.xml", "escape.xml", ""},
        {"-Dlog4j.configurationFile=${path}", "sub/client.xml", "assets/log_configs/sub/client.xml", ""},
        {"-Dlog4j.configurationFile=${path}", "sub\\\\client.xml", "assets/log_configs/sub\\client.xml", ""},
        {"-Dlog4j.configurationFile=${path}", "", "assets/log_configs/x", ""},
        // Taken for the main class, or nothing at all: not added.
        {"evil.Main", "client-1.12.xml", "assets/log_configs/client-1.12.xml", ""},
        {"", "client-1.12.xml", "assets/log_configs/client-1.12.xml", ""},
        // Blanks and quotes stay inside the one argument.
        {"-Dlog4j.configurationFile=${path} -Dx=y", "client-1.12.xml", "assets/log_configs/client-1.12.xml",
         "-Dlog4j.configurationFile=" + config + " -Dx=y"},
        {"-Dq=\\\"${path}", "client-1.12.xml", "assets/log_configs/client-1.12.xml", "-Dq=\"" + config},
        {"-Dlog4j.configurationFile=${PATH}", "client-1.12.xml", "assets/log_configs/client-1.12.xml",
         "-Dlog4j.configurationFile=${PATH}"},
    };
    const auto linux = platform::HostProfile::Linux64();
    const std::string plain = R"({"id":"v","mainClass":"M","minecraftArguments":"--a b")";
    game_.Manifest("v", plain + "}");
    const auto without = Build(Plan("v", linux), linux);
    ASSERT_TRUE(without.ok()) << without.error();
    for (const Case& c : cases) {
        std::filesystem::remove_all(g + "/assets");
        std::filesystem::remove(g + "/escape.xml");
        if (!c.file.empty()) game_.File(c.file, "<Configuration/>");
        game_.Manifest("v", plain + R"(,"logging":{"client":{"argument":")" + c.argument +
                                R"(","file":{"id":")" + c.id + R"(","size":16},"type":"log4j2-xml"}}})");
        const auto line = Build(Plan("v", linux), linux);
        ASSERT_TRUE(line.ok()) << line.error();
        if (c.expected.empty()) {
            EXPECT_EQ(*line, *without) << c.argument << " " << c.id;
            continue;
        }
        const std::vector<std::string> argv = Argv(*line);
        const auto main = std::find(argv.begin(), argv.end(), "M");
        ASSERT_NE(main, argv.end());
        EXPECT_EQ(*(main - 1), c.expected) << c.argument << " " << c.id;
        EXPECT_EQ(argv.size(), Argv(*without).size() + 1) << *line;
    }
}

TEST_F(CommandLineBuilderTest, AChildWithoutLoggingUsesItsParentsAfterTheJvmEntriesOfTheManifestForm) {
    std::string vanilla = manifests::Vanilla119();
    vanilla.insert(vanilla.rfind('}'), R"(,"logging":{"client":{"argument":"-Dlog4j.configurationFile=${path}",
        "file":{"id":"client-1.12.xml"},"type":"log4j2-xml"}})");
    game_.Manifest("1.19", vanilla);
    game_.Manifest("fabric-1.19", manifests::Fabric());
    game_.File("assets/log_configs/client-1.12.xml", "<Configuration/>");
    const auto linux = platform::HostProfile::Linux64();
    const auto line = Build(Plan("fabric-1.19", linux), linux);
    ASSERT_TRUE(line.ok()) << line.error();
    const std::vector<std::string> argv = Argv(*line);
    const auto main = std::find(argv.begin(), argv.end(), "net.fabricmc.loader.impl.launch.knot.KnotClient");
    ASSERT_NE(main, argv.end());
    EXPECT_EQ(*(main - 1), "-Dlog4j.configurationFile=" + game_.path() + "/assets/log_configs/client-1.12.xml");
    EXPECT_EQ(*(main - 2), "-DFabricMcEmu= net.minecraft.client.main.Main ");
}

}  // namespace
}  // namespace kestrel::launch
