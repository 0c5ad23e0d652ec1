#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "cli/CliRunner.h"

namespace kestrel::testing {
namespace {

// Sets an environment variable for the commands a test runs, and puts the
// old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = ::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(Cli, LibrariesAndClasspath) {
    TempFolder game;
    game.Write("versions/1.12.2/1.12.2.json", R"({"libraries":[
      {"name":"com.mojang:patchy:1.1","downloads":{"artifact":{"url":"https://x/p.jar"}}},
      {"name":"org.lwjgl:lwjgl:3.3.1","url":"https://x/"}]})");
    game.Write("versions/forge/forge.json", R"({"inheritsFrom":"1.12.2","libraries":[]})");
    game.Write("libraries/com/mojang/patchy/1.1/patchy-1.1.jar", "jar");
    const std::string g = game.path();

    CliRun run = RunCli({"libraries", "forge", "--game-dir", g, "--host", "windows"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "com.mojang:patchy:1.1\t" + g + "\\libraries\\com\\mojang\\patchy\\1.1\\patchy-1.1.jar\n"
                       "org.lwjgl:lwjgl:3.3.1\t" + g + "\\libraries\\org\\lwjgl\\lwjgl\\3.3.1\\lwjgl-3.3.1.jar\n");
    run = RunCli({"classpath", "forge", "--game-dir", g, "--host", "windows"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, g + "\\libraries\\com\\mojang\\patchy\\1.1\\patchy-1.1.jar;" + g +
                           "\\versions\\1.12.2\\1.12.2.jar\n");
    run = RunCli({"classpath", "forge", "--game-dir", g});
    EXPECT_EQ(run.out, g + "/libraries/com/mojang/patchy/1.1/patchy-1.1.jar:" + g + "/versions/1.12.2/1.12.2.jar\n");
    // A version that is not installed is an error, not an empty list.
    run = RunCli({"libraries", "none", "--game-dir", g});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(RunCli({"classpath", "--game-dir", g}).status, 2);
    EXPECT_EQ(RunCli({"libraries", "a", "b"}).status, 2);
}

TEST(Cli, JavaListsCandidatesOrFails) {
    TempFolder folder;
    folder.Write("Java/jdk-17/release", "JAVA_VERSION=\"17.0.2\"\nOS_ARCH=\"x86_64\"\n");
    const std::string java = folder.Write("Java/jdk-17/bin/java", "#!/bin/sh\n");
    ::chmod(java.c_str(), 0755);
    const std::string game = folder.path() + "/game";
    folder.Write("game/runtime/jre-legacy/linux/jre-legacy/release", "JAVA_VERSION=\"1.8.0_51\"\nOS_ARCH=\"amd64\"\n");
    const std::string own = folder.Write("game/runtime/jre-legacy/linux/jre-legacy/bin/java", "#!/bin/sh\n");
    folder.Write("game/runtime/jre-legacy/linux/.version", "8u51");
    ::chmod(own.c_str(), 0755);
    {
        // The registered JDK comes first, the launcher's own runtime of the
        // game folder last; the machine's runtimes lie between.
        ScopedEnvironment home("JAVA_HOME", folder.path() + "/Java/jdk-17");
        const CliRun run = RunCli({"java", "--game-dir", game});
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.starts_with("17\t64\t" + java + "\n")) << run.out;
        EXPECT_TRUE(run.out.ends_with("8\t64\t" + own + "\n")) << run.out;
        EXPECT_EQ(RunCli({"java", "extra"}).status, 2);
    }
    // The Windows rules find nothing when the registered home is gone.
    ScopedEnvironment gone("JAVA_HOME", folder.path() + "/Java/removed");
    const CliRun run = RunCli({"java", "--host", "windows", "--game-dir", game});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "未自动检测到Java,请您手动选择!\n");
}

TEST(Cli, MemoryFigures) {
    const CliRun run = RunCli({"memory"});
    ASSERT_EQ(run.status, 0);
    std::istringstream lines(run.out);
    const char* keys[] = {"total:", "free:", "recommended64:", "recommended32:"};
    long long values[4] = {};
    for (int i = 0; i < 4; ++i) {
        std::string key;
        lines >> key >> values[i];
        EXPECT_EQ(key, keys[i]);
    }
    EXPECT_GT(values[0], 0);
    EXPECT_LE(values[1], values[0]);
    EXPECT_TRUE(values[3] == 0 || values[3] == 513 || values[3] == 1433) << values[3];
    EXPECT_EQ(run.out.back(), '\n');
}

}  // namespace
}  // namespace kestrel::testing
