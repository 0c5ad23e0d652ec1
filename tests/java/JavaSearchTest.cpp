#include "java/JavaSearch.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "java/JavaProbe.h"
#include "support/TempFolder.h"

namespace kestrel::java {
namespace {

using testing::TempFolder;

std::string Release(const std::string& version, const std::string& arch) {
    return "IMPLEMENTOR=\"Test\"\nJAVA_RUNTIME_VERSION=\"" + version + "+7\"\nJAVA_VERSION=\"" + version +
           "\"\nOS_ARCH=\"" + arch + "\"\n";
}

std::string Executable(const TempFolder& folder, const std::string& relative, const std::string& script) {
    const std::string path = folder.Write(relative, script);
    ::chmod(path.c_str(), 0755);
    return path;
}

// A home with a release file and a bin/java that does nothing.
void Home(const TempFolder& folder, const std::string& home, const std::string& release) {
    if (!release.empty()) folder.Write(home + "/release", release);
    Executable(folder, home + "/bin/java", "#!/bin/sh\nexit 0\n");
}

void Link(const TempFolder& folder, const std::string& target, const std::string& link) {
    std::filesystem::create_directories(std::filesystem::path(folder.path() + "/" + link).parent_path());
    std::filesystem::create_symlink(target, folder.path() + "/" + link);
}

// What a stand-in `java -XshowSettings:properties -version` prints.
std::string SettingsScript(const std::string& version, const std::string& arch, const std::string& model) {
    return "#!/bin/sh\n"
           "[ \"$1\" = -XshowSettings:properties ] && [ \"$2\" = -version ] || exit 3\n"
           "cat >&2 <<'END'\nProperty settings:\n    file.encoding = UTF-8\n    java.class.path = \n"
           "    java.library.path = /usr/java/packages/lib\n        /usr/lib64\n"
           "    java.version = " + version + "\n    os.arch = " + arch + "\n"
           "    sun.arch.data.model = " + model + "\n\nopenjdk version \"" + version + "\" 2024-01-16\nEND\n";
}

struct Found {
    std::string version;
    std::string bits;
    std::string path;  // below the tree
    friend bool operator==(const Found&, const Found&) = default;
};

void PrintTo(const Found& found, std::ostream* out) {
    *out << found.version << " " << found.bits << " " << found.path;
}

std::vector<Found> Below(const std::string& root, const std::vector<JavaCandidate>& candidates) {
    std::vector<Found> found;
    for (const JavaCandidate& candidate : candidates) {
        std::string path = candidate.path;
        if (path.starts_with(root)) path = path.substr(root.size());
        found.push_back({candidate.version_label, candidate.bitness_label, path});
    }
    return found;
}

// One fake machine with a runtime in every place, links and duplicates among
// them, and a few folders that only look like runtimes.
TEST(JavaSearch, FindsEveryRuntimeOnceInAStableOrder) {
    TempFolder tree;
    // Debian's layout: the JDK's bin/java links into jre/, which has no
    // release file of its own.
    tree.Write("usr/lib/jvm/java-8-openjdk-amd64/release", Release("1.8.0_402", "amd64"));
    Executable(tree, "usr/lib/jvm/java-8-openjdk-amd64/jre/bin/java", "#!/bin/sh\n");
    Link(tree, "../jre/bin/java", "usr/lib/jvm/java-8-openjdk-amd64/bin/java");
    Home(tree, "usr/lib/jvm/java-17-openjdk-amd64", Release("17.0.10", "x86_64"));
    Link(tree, "java-17-openjdk-amd64", "usr/lib/jvm/java-1.17.0-openjdk-amd64");   // the same JDK again
    Link(tree, "java-11-removed", "usr/lib/jvm/java-11-openjdk-amd64");             // broken
    tree.MakeFolder("usr/lib/jvm/openjdk-17");                                    // documentation only
    tree.Write("usr/lib/jvm/not-executable/bin/java", "#!/bin/sh\n");
    tree.MakeFolder("usr/lib/jvm/folder-as-java/bin/java");
    Home(tree, "usr/lib/jvm/.hidden", Release("11.0.2", "amd64"));
    Home(tree, "usr/java/jdk1.8.0_202", Release("1.8.0_202", "i586"));
    Home(tree, "opt/jdk-21", Release("21", "aarch64"));
    tree.MakeFolder("opt/google");
    Home(tree, "home/.sdkman/candidates/java/21.0.2-tem", Release("21.0.2", "x86_64"));
    Link(tree, "21.0.2-tem", "home/.sdkman/candidates/java/current");
    // No release file: the runtime is asked; a silent one keeps the unknown
    // labels but is still offered.
    Executable(tree, "home/.jdks/corretto-11/bin/java", SettingsScript("11.0.22", "i386", "32"));
    Executable(tree, "home/.gradle/jdks/silent/bin/java", "#!/bin/sh\nexit 1\n");
    // A release file without OS_ARCH: the runtime tells the rest.
    tree.Write("home/.gradle/jdks/half/release", "JAVA_VERSION=\"16.0.2\"\n");
    Executable(tree, "home/.gradle/jdks/half/bin/java", SettingsScript("99", "amd64", "64"));
    // The launcher's runtimes.
    Home(tree, "game/runtime/java-runtime-gamma/linux/java-runtime-gamma", Release("17.0.8", "amd64"));
    Home(tree, "game/runtime/jre-legacy/linux/jre-legacy", Release("1.8.0_51", "amd64"));
    tree.Write("game/runtime/java-runtime-gamma/linux/.version", "17.0.8");
    tree.Write("game/runtime/jre-legacy/linux/.version", "8u51");
    // An install that never finished has no .version file.
    Home(tree, "game/runtime/java-runtime-delta/linux/java-runtime-delta", Release("21.0.3", "amd64"));
    tree.Write("game/runtime/java-runtime-gamma/linux/stray-file", "");
    // JAVA_HOME names the JDK in /opt; PATH holds a link to the Debian one,
    // after a relative entry and one without java.
    tree.MakeFolder("usr/local/bin");
    Link(tree, "../lib/jvm/java-17-openjdk-amd64/bin/java", "usr/bin/java");

    const std::string root = tree.path();
    JavaSearchPlaces places;
    places.java_home = " " + root + "/opt/jdk-21/ ";
    places.path_list = "bin::" + root + "/usr/local/bin:" + root + "/usr/bin";
    places.user_home = root + "/home";
    places.system_root = root;
    places.game_folder = root + "/game";
    places.probe_limits.time = std::chrono::seconds(60);

    const std::vector<Found> expected = {
        {"21", "64", "/opt/jdk-21/bin/java"},
        {"17", "64", "/usr/lib/jvm/java-17-openjdk-amd64/bin/java"},
        {"8", "64", "/usr/lib/jvm/java-8-openjdk-amd64/bin/java"},
        {"8", "32", "/usr/java/jdk1.8.0_202/bin/java"},
        {"21", "64", "/home/.sdkman/candidates/java/21.0.2-tem/bin/java"},
        {"11", "32", "/home/.jdks/corretto-11/bin/java"},
        {"16", "64", "/home/.gradle/jdks/half/bin/java"},
        {kVersionUnknown, kBitsUnknown, "/home/.gradle/jdks/silent/bin/java"},
        {"17", "64", "/game/runtime/java-runtime-gamma/linux/java-runtime-gamma/bin/java"},
        {"8", "64", "/game/runtime/jre-legacy/linux/jre-legacy/bin/java"},
    };
    EXPECT_EQ(Below(root, SearchJava(places)), expected);
    // The same tree searched again gives the same list.
    EXPECT_EQ(Below(root, SearchJava(places)), expected);

    // Without JAVA_HOME the PATH's JDK leads, and the runtimes beside it
    // follow in name order.
    places.java_home = "";
    const std::vector<Found> without_home = Below(root, SearchJava(places));
    ASSERT_GE(without_home.size(), 3u);
    EXPECT_EQ(without_home[0].path, "/usr/lib/jvm/java-17-openjdk-amd64/bin/java");
    EXPECT_EQ(without_home[1].path, "/usr/lib/jvm/java-8-openjdk-amd64/bin/java");
    EXPECT_EQ(without_home.size(), expected.size());
}

TEST(JavaSearch, PlacesThatHoldNothingGiveAnEmptyList) {
    TempFolder tree;
    Home(tree, "jdk", Release("17", "amd64"));
    JavaSearchPlaces places;
    places.system_root = tree.path() + "/missing";
    EXPECT_TRUE(SearchJava(places).empty());
    // A relative JAVA_HOME, user home or PATH entry would depend on the
    // current folder; they are ignored, as is a game folder without runtimes.
    std::filesystem::current_path(tree.path());
    places.java_home = "jdk";
    places.user_home = ".";
    places.path_list = "jdk/bin";
    places.game_folder = tree.path();
    EXPECT_TRUE(SearchJava(places).empty());
    std::filesystem::current_path("/");
}

TEST(JavaSearch, ReadsTheSettingsJavaPrints) {
    struct Case {
        std::string name;
        std::string output;
        JavaFacts facts;
        std::string major;
        std::string bits;
    };
    const std::vector<Case> cases = {
        {"java 8",
         "Property settings:\n    java.home = /usr/lib/jvm/java-8/jre\n    java.version = 1.8.0_402\n"
         "    os.arch = amd64\n    sun.arch.data.model = 64\n\nopenjdk version \"1.8.0_402\"\n",
         {"1.8.0_402", "amd64", "64"}, "8", "64"},
        {"32-bit 17 with carriage returns",
         "Picked up JAVA_TOOL_OPTIONS: -Dx=1\r\nProperty settings:\r\n    java.version = 17.0.10\r\n"
         "    os.arch = x86\r\n    sun.arch.data.model = 32\r\n",
         {"17.0.10", "x86", "32"}, "17", "32"},
        {"version line only, arch without data model",
         "openjdk version \"21-ea\" 2023-09-19\n    os.arch = aarch64\n", {"21-ea", "aarch64", ""}, "21", "64"},
        {"a value line of a list does not count",
         "    java.library.path = /a\n        java.version = 5\n", {"", "", ""}, "", kBitsUnknown},
        {"not java", "sh: 1: exec: not found\n", {"", "", ""}, "", kBitsUnknown},
    };
    for (const Case& c : cases) {
        const JavaFacts facts = ParseJavaSettings(c.output);
        EXPECT_EQ(facts.java_version, c.facts.java_version) << c.name;
        EXPECT_EQ(facts.os_arch, c.facts.os_arch) << c.name;
        EXPECT_EQ(facts.data_model, c.facts.data_model) << c.name;
        EXPECT_EQ(MajorOfJavaVersion(facts.java_version), c.major) << c.name;
        EXPECT_EQ(BitnessOfFacts(facts), c.bits) << c.name;
    }
}

// The machine's own JVM answers the probe as its release file does.
TEST(JavaSearch, TheRealJvmTellsItsVersion) {
    const std::string java = KESTREL_JAVA;
    const JavaFacts told = ProbeJava(java, {std::chrono::seconds(60)});
    ASSERT_FALSE(told.java_version.empty()) << java;
    EXPECT_GE(std::stoi(MajorOfJavaVersion(told.java_version)), 17);
    EXPECT_EQ(BitnessOfFacts(told), "64");
}

}  // namespace
}  // namespace kestrel::java
