// kestrel-cli launch without --java starts from the options file's Java and,
// as the window does, takes the launcher's runtime of the version's major
// version when that Java is another one; here the runtime is a stand-in
// whose bin/java hands over to the machine's real Java, which then runs the
// fake game. A --java given explicitly, or AutoJava="False", keeps the Java
// as it is, and the launch's own check refuses it.

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "launch/GameFolder.h"
#include "net/JsonDocument.h"
#include "platform/Files.h"
#include "platform/JavaHome.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::RunCli;

TEST(LaunchJavaCli, TheInstalledRuntimeOfTheNeededVersionRunsTheRealGame) {
    testing::GameFolder game;
    const std::string real_java = fs::canonical(KESTREL_JAVA).string();
    const std::string real_home = platform::JavaHomeOf(real_java);
    const std::string major = platform::ExecutableVersion(real_java).substr(0, platform::ExecutableVersion(real_java).find('.'));
    ASSERT_FALSE(major.empty()) << "no release file beside " << real_java;

    const std::string record = game.root() + "/record.json";
    std::string manifest = testing::manifests::Vanilla1122(" --record " + record);
    manifest.insert(manifest.find(',') + 1,
                    R"("javaVersion":{"component":"java-runtime-gamma","majorVersion":)" + major + "},");
    game.Manifest("1.12.2", manifest);
    fs::copy_file(KESTREL_FAKE_GAME_JAR, game.path() + "/versions/1.12.2/1.12.2.jar");

    // The runtime as an install leaves it: its release file, bin/java, and
    // the .version file written last. Its java notes that it ran.
    const std::string root = game.path() + "/runtime/java-runtime-gamma/linux/java-runtime-gamma";
    const std::string marker = game.root() + "/stand-in-ran";
    game.File("runtime/java-runtime-gamma/linux/java-runtime-gamma/release",
              platform::ReadFile(real_home + "/release").value_or(""));
    const std::string runtime_java = game.File("runtime/java-runtime-gamma/linux/java-runtime-gamma/bin/java",
                                               "#!/bin/sh\necho ran > '" + marker + "'\nexec '" + real_java + "' \"$@\"\n");
    ::chmod(runtime_java.c_str(), 0755);
    game.File("runtime/java-runtime-gamma/linux/.version", major + ".0.0");

    // The options file names an old Java and fetches nothing: the manifest
    // names the official servers, which tests never reach.
    const std::string old_java = game.FakeJava("jdk8", "1.8.0_402");
    const std::string program = game.root() + "/program";
    for (const auto& [key, value] : {std::pair{"Java", old_java.c_str()}, std::pair{"CheckFilesBeforeLaunch", "False"}}) {
        ASSERT_EQ(RunCli({"options", "set", key, value, "--program-dir", program}).status, 0);
    }
    const std::vector<std::string> launch = {"launch", "1.12.2", "--game-dir", game.path(), "--name", "S",
                                             "--program-dir", program, "--wait"};

    const auto run = RunCli(launch);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.starts_with("已自动选用Java " + major + ": " + runtime_java + "\n")) << run.err;
    EXPECT_TRUE(platform::IsRegularFile(marker));
    net::JsonDocument started;
    ASSERT_TRUE(started.Parse(platform::ReadFile(record).value_or(""))) << run.err;
    EXPECT_EQ(started.GetText("main"), "net.minecraft.client.main.Main");
    EXPECT_EQ(started.GetText("properties['java.class.path']"), game.path() + "/versions/1.12.2/1.12.2.jar");

    // A --java given is used as given, and so is the options file's Java
    // with the automatic choice off: the check refuses the old Java.
    fs::remove(marker);
    std::vector<std::string> given = launch;
    given.insert(given.end(), {"--java", old_java});
    const auto explicit_java = RunCli(given);
    EXPECT_EQ(explicit_java.status, 1);
    EXPECT_EQ(explicit_java.err, "启动游戏Java要求版本为: Java " + major + "\n");
    ASSERT_EQ(RunCli({"options", "set", "AutoJava", "False", "--program-dir", program}).status, 0);
    const auto off = RunCli(launch);
    EXPECT_EQ(off.status, 1);
    EXPECT_EQ(off.err, "启动游戏Java要求版本为: Java " + major + "\n");
    EXPECT_FALSE(platform::IsRegularFile(marker));
}

}  // namespace
}  // namespace kestrel
