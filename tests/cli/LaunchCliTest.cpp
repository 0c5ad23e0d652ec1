#include <sys/stat.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "launch/GameFolder.h"
#include "net/JsonDocument.h"
#include "platform/Files.h"

namespace kestrel {
namespace {

using testing::RunCli;
using testing::RunCliIn;

// The options of a program folder whose launches fetch nothing: the
// manifests of these tests name the official servers, which tests never
// reach. Gives the options that point kestrel-cli launch at it.
std::vector<std::string> NoFetch(const testing::GameFolder& game) {
    const std::string program = game.root() + "/no-fetch";
    EXPECT_EQ(RunCli({"options", "set", "CheckFilesBeforeLaunch", "False", "--program-dir", program}).status, 0);
    return {"--program-dir", program};
}

TEST(LaunchCli, OfflineUuidCommandLineAndNatives) {
    EXPECT_EQ(RunCli({"offline-uuid", "Steve"}).out, "29EBA48502E61C168846C2FF82ED3940\n");
    EXPECT_EQ(RunCli({"offline-uuid", "玩家"}).out, "0D3C1AD538413B1D78503A8A98CCAF7B\n");

    testing::GameFolder game;
    game.Manifest("1.12.2", testing::manifests::Vanilla1122());
    const std::string java = game.FakeJava("jdk", "17.0.2");
    const std::vector<std::string> base = {"--game-dir", game.path(), "--java", java, "--token", "T"};
    auto with = [&](std::vector<std::string> words) {
        words.insert(words.end(), base.begin(), base.end());
        return words;
    };

    const auto line = RunCli(with({"command-line", "1.12.2", "--name", "A \"B\"", "--memory", "1024", "--width",
                                   "1280", "--height", "720", "--watermark", "W"}));
    EXPECT_EQ(line.status, 0) << line.err;
    EXPECT_NE(line.out.find("-Xmx1024m"), std::string::npos);
    EXPECT_NE(line.out.find("--username \"A \\\"B\\\"\" --version \"W\""), std::string::npos) << line.out;
    EXPECT_TRUE(line.out.ends_with("--height 720 --width 1280\n")) << line.out;

    const auto argv = RunCli(with({"command-line", "1.12.2", "--name", "A \"B\"", "--argv", "--isolation"}));
    ASSERT_EQ(argv.status, 0) << argv.err;
    net::JsonDocument vector;
    ASSERT_TRUE(vector.Parse(argv.out)) << argv.out;
    EXPECT_EQ(vector.GetText("[0]"), java);
    EXPECT_EQ(vector.GetText("[10]"), "--username");
    EXPECT_EQ(vector.GetText("[11]"), "A \"B\"");
    EXPECT_EQ(vector.GetText("[13]"), "由Kestrel 2安全启动");
    EXPECT_EQ(vector.GetText("[15]"), game.path() + "/versions/1.12.2");

    const auto natives = RunCli({"natives", "1.12.2", "--game-dir", game.path(), "--host", "windows"});
    EXPECT_EQ(natives.out, game.path() +
                               "\\libraries\\org\\lwjgl\\lwjgl\\lwjgl-platform\\2.9.4-nightly-20150209\\"
                               "lwjgl-platform-2.9.4-nightly-20150209-natives-windows-64.jar\n");
}

TEST(LaunchCli, OldVersionsGetTheirAssetFolderAndTheLoggingConfigurationOnBothHosts) {
    testing::GameFolder game;
    game.Manifest("1.7.2", testing::manifests::Vanilla172());
    game.File("assets/indexes/legacy.json", R"({"virtual":true,"objects":{}})");
    game.File("assets/log_configs/client-1.7.xml", "<Configuration/>");
    const std::string java = game.FakeJava("jdk", "17.0.2");
    const std::string g = game.path();
    const std::vector<std::string> words = {"command-line", "1.7.2", "--game-dir", g, "--java", java, "--name", "S"};
    auto linux = RunCli(words);
    ASSERT_EQ(linux.status, 0) << linux.err;
    EXPECT_NE(linux.out.find(" -Dlog4j.configurationFile=\"" + g + "/assets/log_configs/client-1.7.xml\"  "
                             "net.minecraft.client.main.Main  --username S "),
              std::string::npos)
        << linux.out;
    EXPECT_NE(linux.out.find(" --assetsDir \"" + g + "/assets/virtual/legacy\" "), std::string::npos) << linux.out;

    std::vector<std::string> windows_words = words;
    windows_words.insert(windows_words.end(), {"--host", "windows"});
    const auto windows = RunCli(windows_words);
    ASSERT_EQ(windows.status, 0) << windows.err;
    EXPECT_NE(windows.out.find(" -Dlog4j.configurationFile=\"" + g + "\\assets\\log_configs\\client-1.7.xml\"  "
                               "net.minecraft.client.main.Main  --username S "),
              std::string::npos)
        << windows.out;
    EXPECT_NE(windows.out.find(" --assetsDir \"" + g + "\\assets\\virtual\\legacy\" "), std::string::npos)
        << windows.out;
}

TEST(LaunchCli, FailuresGiveTheLaunchersTextOrTheUsage) {
    testing::GameFolder game;
    game.Manifest("1.12.2", testing::manifests::Vanilla1122());
    const std::string java = game.FakeJava("jdk", "17.0.2");
    const auto memory = RunCli({"command-line", "1.12.2", "--game-dir", game.path(), "--java", java, "--name", "S",
                                "--memory", "lots"});
    EXPECT_EQ(memory.status, 1);
    EXPECT_EQ(memory.err, "游戏内存分配错误，请检查设置是否正确\n");
    const auto no_java = RunCli({"launch", "1.12.2", "--game-dir", game.path(), "--java", game.root() + "/none",
                                 "--name", "S"});
    EXPECT_EQ(no_java.status, 1);
    EXPECT_EQ(no_java.err, "Java虚拟机不存在，请检查路径是否正常\n");
    std::vector<std::string> launch = {"launch", "1.12.2", "--game-dir", game.path(), "--java", java, "--name", "S"};
    for (std::string& word : NoFetch(game)) launch.push_back(std::move(word));
    const auto not_runnable = RunCli(launch);
    EXPECT_EQ(not_runnable.status, 1);
    EXPECT_EQ(not_runnable.err, "游戏启动时出现了未知错误\n");
    // Window sizes the settings window would refuse are usage errors that
    // say what is wrong; before, "abc" reached the game as 0.
    const std::pair<std::vector<std::string>, std::string> sizes[] = {
        {{"--width", "abc"}, "--width: not a number: abc\n"},
        {{"--height", "0"}, "--height: out of range: 0 (from 1 to 16384)\n"},
        {{"--width", "16385"}, "--width: out of range: 16385 (from 1 to 16384)\n"},
        {{"--height", "2147483648"}, "--height: out of range: 2147483648 (from 1 to 16384)\n"},
    };
    for (const auto& [option, err] : sizes) {
        std::vector<std::string> words = {"command-line", "1.12.2", "--game-dir", game.path(), "--java", java,
                                          "--name", "S"};
        words.insert(words.end(), option.begin(), option.end());
        const auto run = RunCli(words);
        EXPECT_EQ(run.status, 2) << option[1];
        EXPECT_EQ(run.err.rfind(err, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "") << option[1];
    }
    EXPECT_EQ(RunCli({"command-line", "1.12.2", "--game-dir", game.path(), "--java", java, "--name", "S", "--width",
                      "16384", "--height", "1"})
                  .status,
              0);
    EXPECT_EQ(RunCli({"command-line", "1.12.2", "--game-dir", game.path(), "--name", "S"}).status, 2);
    EXPECT_EQ(RunCli({"launch", "--java", java, "--name", "S"}).status, 2);
    EXPECT_EQ(RunCli({"offline-uuid"}).status, 2);
}

TEST(LaunchCli, LaunchWaitsForTheGameAndGivesItsExitStatus) {
    testing::GameFolder game;
    game.Manifest("fake", R"({"id":"fake","mainClass":"M","minecraftArguments":"--a b"})");
    // A shell script stands in for Java: it records its folder, complains
    // and exits with status 3.
    const std::string java = game.root() + "/bin/java";
    game.File("../bin/java", "#!/bin/sh\npwd > \"$(dirname \"$0\")/cwd\"\necho starting\necho broken >&2\nexit 3\n");
    ::chmod(java.c_str(), 0755);
    const auto run = RunCli({"launch", "fake", "--game-dir", game.path(), "--java", java, "--name", "S", "--wait"});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_GT(std::stoi(run.out), 0);
    EXPECT_EQ(platform::ReadFile(game.root() + "/bin/cwd"), game.path() + "\n");
    // The game's output went to its launch log, which the command names and
    // whose end it repeats for a game that failed.
    const std::string prefix = "日志文件:" + game.path() + "/logs/kestrel-launch-";
    ASSERT_TRUE(run.err.starts_with(prefix)) << run.err;
    const std::string log = run.err.substr(std::string("日志文件:").size(), run.err.find('\n') - std::string("日志文件:").size());
    EXPECT_EQ(platform::ReadFile(log), "starting\nbroken\n");
    EXPECT_TRUE(run.err.ends_with(".log\nstarting\nbroken\n")) << run.err;
}

// The game writes its log itself: it goes on running and writing after
// kestrel-cli has ended, with nobody left to read a pipe.
TEST(LaunchCli, TheGameOutlivesTheCommandAndKeepsLogging) {
    testing::GameFolder game;
    game.Manifest("fake", R"({"id":"fake","mainClass":"M","minecraftArguments":"--a b"})");
    const std::string java = game.root() + "/bin/java";
    game.File("../bin/java", "#!/bin/sh\necho early\nsleep 0.5\necho later\n");
    ::chmod(java.c_str(), 0755);
    const auto run = RunCli({"launch", "fake", "--game-dir", game.path(), "--java", java, "--name", "S"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string log = run.err.substr(std::string("日志文件:").size(), run.err.find('\n') - std::string("日志文件:").size());
    std::optional<std::string> text;
    for (int i = 0; i < 6000 && (!text || text->find("later") == std::string::npos); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        text = platform::ReadFile(log);
    }
    EXPECT_EQ(text, "early\nlater\n");
}

// The game runs in its game folder, not where kestrel-cli was started: a
// relative game folder and Java path are made absolute first, or the game
// finds neither its classpath nor its folders.
TEST(LaunchCli, ARelativeGameFolderAndJavaLaunchTheRealGame) {
    namespace fs = std::filesystem;
    testing::GameFolder game;
    const std::string record = game.root() + "/record.json";
    game.Manifest("1.12.2", testing::manifests::Vanilla1122(" --record " + record));
    fs::copy_file(KESTREL_FAKE_GAME_JAR, game.path() + "/versions/1.12.2/1.12.2.jar");
    fs::create_directory_symlink(fs::canonical(KESTREL_JAVA).parent_path().parent_path(), game.root() + "/jdk");

    std::vector<std::string> words = {"launch", "1.12.2", "--game-dir", "./.minecraft/", "--java", "jdk/bin/java",
                                      "--name", "S", "--wait"};
    for (std::string& word : NoFetch(game)) words.push_back(std::move(word));
    const auto run = RunCliIn(game.root(), words);
    ASSERT_EQ(run.status, 0) << run.err;
    net::JsonDocument started;
    ASSERT_TRUE(started.Parse(platform::ReadFile(record).value_or(""))) << run.err;
    EXPECT_EQ(started.GetText("main"), "net.minecraft.client.main.Main");
    EXPECT_EQ(started.GetText("cwd"), game.path());
    EXPECT_EQ(started.GetText("properties['java.class.path']"), game.path() + "/versions/1.12.2/1.12.2.jar");

    // The other commands print the same absolute paths.
    const auto classpath = RunCliIn(game.root(), {"classpath", "1.12.2", "--game-dir", ".minecraft"});
    EXPECT_EQ(classpath.out, game.path() + "/versions/1.12.2/1.12.2.jar\n");
    auto folder = RunCliIn(game.root(), {"options", "--program-dir", "."});
    EXPECT_NE(folder.out.find("current game directory: " + game.root() + "/.minecraft\n"), std::string::npos)
        << folder.out;
    // A game folder chosen by a relative name is kept as the folder it names.
    ASSERT_EQ(RunCliIn(game.path(), {"options", "set", "GameFolder", "../games", "--program-dir", ".."}).status, 0);
    folder = RunCliIn(game.root(), {"options", "--program-dir", game.root()});
    EXPECT_NE(folder.out.find("\nGameFolder=\"" + game.path() + "/../games\"\n"), std::string::npos)
        << folder.out;
}

}  // namespace
}  // namespace kestrel
