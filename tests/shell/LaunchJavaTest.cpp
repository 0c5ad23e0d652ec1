// The launch takes the Java the version needs: a version that names Java 17
// is launched with an installed Java 17 when the chosen Java is another one,
// the launcher's own runtime of the named component first; with none
// installed the runtime is downloaded from a local server standing in for
// Mojang's, with its progress on the game-start window; with the automatic
// choice off the launch's own check refuses the old Java as it always has.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "download/FileServer.h"
#include "platform/Files.h"
#include "shell/LaunchFlow.h"
#include "shell/LaunchTestRig.h"
#include "support/FakeRuntimeIndex.h"

namespace kestrel::shell {
namespace {

using testing::FileServer;
using testing::LaunchRig;
using Texts = std::vector<std::string>;

constexpr const char* kComponent = "java-runtime-test";
constexpr const char* kRuntimeJava = "/runtime/java-runtime-test/linux/java-runtime-test/bin/java";

// A game folder with version 1.20.1 (Java 17, component java-runtime-test),
// an old Java chosen in the settings, a Java 17 and a Java 21 beside it, and
// a runtime index on a local server whose component holds a java and its
// release file.
class JavaRig {
public:
    JavaRig() {
        rig.game.Manifest("1.20.1", R"({"id":"1.20.1","mainClass":"M","minecraftArguments":"--a b",
            "javaVersion":{"component":"java-runtime-test","majorVersion":17}})");
        old_java = rig.game.FakeJava("jdk8", "1.8.0_402");
        java17 = rig.game.FakeJava("jdk17", "17.0.10");
        java21 = rig.game.FakeJava("jdk21", "21");
        runtime_java = rig.game.path() + kRuntimeJava;
        rig.Settings([&](SettingsRecord& s) {
            s.selected_version = "1.20.1";
            s.java_path = old_java;
        });

        testing::ServeRuntime(server, kComponent, "17.0.8",
                              {{"bin/java", "#!/bin/sh\necho stand-in\n", true},
                               {"release", "JAVA_VERSION=\"17.0.8\"\n"}});
        rig.ctx.endpoints = net::Endpoints::Defaults();
        rig.ctx.endpoints.Override("java_runtimes=" + server.Url("/all.json"));

        system.alive_answers = 0;
        services = system.Services();
        services.discover_java = [this](const std::string& game_folder) {
            std::lock_guard lock(mutex);
            ++discoveries;
            discovered_in = game_folder;
            std::vector<java::JavaCandidate> found;
            for (const std::string& path : discoverable) found.push_back({"?", path, "64"});
            return found;
        };
        services.start_game = [this](const launch::LaunchPlan& plan, std::stop_token) -> Result<launch::StartedGame> {
            std::lock_guard lock(mutex);
            started_with.push_back(plan.java_path);
            return launch::StartedGame{4242, ""};
        };
    }

    // The launcher's own runtime of the component, installed whole.
    void InstallRuntime() const {
        rig.game.File("runtime/java-runtime-test/linux/.version", "17.0.8");
        rig.game.File("runtime/java-runtime-test/linux/java-runtime-test/release", "JAVA_VERSION=\"17.0.8\"\n");
        ::chmod(rig.game.File(std::string(kRuntimeJava).substr(1), "").c_str(), 0755);
    }

    void Launch() {
        WireLaunch(rig.ctx, services);
        ASSERT_TRUE(rig.main->Click("启动游戏按钮"));
        ASSERT_TRUE(rig.WaitForClosedStartWindow());
        rig.workers.StopAll();
    }

    Texts Steps() const { return rig.StartWindow()->History("初始化进度_文字1", "text"); }

    LaunchRig rig;
    testing::ScriptedSystem& system = rig.system;
    LaunchServices services;
    FileServer server;
    std::string old_java, java17, java21, runtime_java;
    std::vector<std::string> discoverable;
    std::mutex mutex;
    int discoveries = 0;
    std::string discovered_in;
    Texts started_with;
};

TEST(LaunchJava, AJavaOfTheNeededMajorVersionIsTakenAndNamed) {
    enum class Setup { kNothing, kRuntime };
    const struct Case {
        const char* what;
        std::vector<std::string> discoverable;  // paths, with "runtime" for the launcher's own
        Setup setup;
        bool fitting_choice;  // the settings name Java 17 already
        std::string expected;  // the Java launched: "old", "17", "runtime"
        bool searched;
    } cases[] = {
        {"a Java 17 beside others", {"old", "21", "17"}, Setup::kNothing, false, "17", true},
        {"the component's runtime before any other", {"17", "runtime"}, Setup::kRuntime, false, "runtime", true},
        {"the chosen Java fits: nothing is searched", {"runtime"}, Setup::kRuntime, true, "17", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        JavaRig f;
        const auto path_of = [&f](const std::string& name) {
            if (name == "old") return f.old_java;
            if (name == "17") return f.java17;
            if (name == "21") return f.java21;
            return f.runtime_java;
        };
        for (const std::string& name : c.discoverable) f.discoverable.push_back(path_of(name));
        if (c.setup == Setup::kRuntime) f.InstallRuntime();
        if (c.fitting_choice) f.rig.Settings([&](SettingsRecord& s) { s.java_path = f.java17; });
        f.Launch();

        EXPECT_TRUE(f.rig.app.MessageBoxes().empty()) << f.rig.app.MessageBoxes().at(0).text;
        EXPECT_EQ(f.started_with, Texts{path_of(c.expected)});
        EXPECT_EQ(f.discoveries, c.searched ? 1 : 0);
        if (c.searched) {
            EXPECT_EQ(f.discovered_in, f.rig.game.path());
            EXPECT_EQ(f.Steps(), (Texts{"正在检查参数", "已自动选用Java 17: " + path_of(c.expected),
                                        "正在启动游戏 (已自动选用Java 17)", "正在等待游戏启动 (已自动选用Java 17)"}));
        } else {
            EXPECT_EQ(f.Steps(), (Texts{"正在检查参数", "正在启动游戏", "正在等待游戏启动"}));
        }
        // The choice is the launch's: the settings keep the player's Java.
        EXPECT_EQ(f.rig.state.settings.Get().java_path, c.fitting_choice ? f.java17 : f.old_java);
        EXPECT_TRUE(f.server.Requests().empty());
    }
}

TEST(LaunchJava, WithNoFittingJavaTheRuntimeIsDownloadedWithItsProgressThenLaunched) {
    JavaRig f;
    f.discoverable = {f.old_java, f.java21};
    f.Launch();

    EXPECT_TRUE(f.rig.app.MessageBoxes().empty()) << f.rig.app.MessageBoxes().at(0).text;
    EXPECT_EQ(f.started_with, Texts{f.runtime_java});
    EXPECT_TRUE(platform::IsExecutableFile(f.runtime_java));
    EXPECT_EQ(platform::ReadFile(f.rig.game.path() + "/runtime/java-runtime-test/linux/.version"), "17.0.8");

    const Texts steps = f.Steps();
    ASSERT_GE(steps.size(), 5u);
    EXPECT_EQ(steps.front(), "正在检查参数");
    EXPECT_EQ(steps[1], "正在下载Java 17");
    const auto chosen = std::find(steps.begin(), steps.end(), "已自动选用Java 17: " + f.runtime_java);
    ASSERT_NE(chosen, steps.end());
    EXPECT_EQ(*(chosen - 1), "正在下载Java 17 2/2");
    EXPECT_EQ(steps.back(), "正在等待游戏启动 (已自动选用Java 17)");
    const Texts values = f.rig.StartWindow()->History("初始化进度", "value");
    EXPECT_NE(std::find(values.begin(), values.end(), "40"), values.end());

}

TEST(LaunchJava, AFailedDownloadIsTheLaunchsFailure) {
    JavaRig f;
    f.server.Put("/all.json", R"({"linux": {}})");
    f.Launch();
    ASSERT_EQ(f.rig.app.MessageBoxes().size(), 1u);
    EXPECT_EQ(f.rig.app.MessageBoxes()[0].text.rfind("启动失败!\r\n错误信息:下载Java运行时失败:", 0), 0u)
        << f.rig.app.MessageBoxes()[0].text;
    EXPECT_TRUE(f.started_with.empty());
    EXPECT_FALSE(f.rig.state.launch_in_progress);
}

// With the setting off the Java of the settings is launched, and the
// launch's own check refuses it with the words it has always used.
TEST(LaunchJava, WithTheAutomaticChoiceOffTheChecksWarningStands) {
    JavaRig f;
    f.discoverable = {f.java17};
    f.rig.Settings([](SettingsRecord& s) { s.automatic_java = false; });
    f.services.start_game = nullptr;
    f.Launch();
    ASSERT_EQ(f.rig.app.MessageBoxes().size(), 1u);
    EXPECT_EQ(f.rig.app.MessageBoxes()[0].text, "启动失败!\r\n错误信息:启动游戏Java要求版本为: Java 17");
    EXPECT_EQ(f.discoveries, 0);
    EXPECT_TRUE(f.server.Requests().empty());
}

}  // namespace
}  // namespace kestrel::shell
