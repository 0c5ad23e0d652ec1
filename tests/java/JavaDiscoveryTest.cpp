#include "java/JavaDiscovery.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "java/JavaVersion.h"
#include "platform/Files.h"
#include "platform/JavaHome.h"
#include "support/TempFolder.h"

namespace kestrel::java {
namespace {

using platform::HostProfile;

// Makes a fake Java home under folder: a `release` file (when the text is not
// empty) and an executable bin/<exe>.
void FakeHome(const testing::TempFolder& folder, const std::string& home, const std::string& release,
              const std::string& exe = "java") {
    if (!release.empty()) folder.Write(home + "/release", release);
    const std::string path = folder.Write(home + "/bin/" + exe, "#!/bin/sh\nexit 0\n");
    ::chmod(path.c_str(), 0755);
}

std::string Release(const std::string& version, const std::string& arch) {
    return "IMPLEMENTOR=\"Test\"\nJAVA_RUNTIME_VERSION=\"99.0.0+1\"\nJAVA_VERSION=\"" + version +
           "\"\nOS_ARCH=\"" + arch + "\"\nOS_NAME=\"Linux\"\n";
}

// The sub-folders of a folder in the order the file system lists them, as
// discovery must keep it.
std::vector<std::string> Enumerated(const std::string& folder, const std::vector<std::string>& keep) {
    std::vector<std::string> names;
    for (const std::string& name : platform::ListFolders(folder)) {
        if (std::find(keep.begin(), keep.end(), name) != keep.end()) names.push_back(name);
    }
    return names;
}

TEST(JavaDiscovery, OffersEveryRuntimeBesideTheRegisteredHome) {
    testing::TempFolder folder;
    FakeHome(folder, "Java/jre1.8.0_301", Release("1.8.0_301", "amd64"));
    FakeHome(folder, "Java/jdk-17.0.2", Release("17.0.2", "x86_64"));
    FakeHome(folder, "Java/jre-32", Release("1.7.0_80", "i586"));
    FakeHome(folder, "Java/no-release", "");
    FakeHome(folder, "Java/.hidden", Release("11.0.1", "amd64"));
    folder.MakeFolder("Java/old");                                 // empty
    folder.Write("Java/nobin/release", Release("11", "amd64"));    // no bin/java
    folder.Write("Java/wrong-exe/bin/javaw.exe", "");               // not this host's executable
    folder.MakeFolder("Java/dir-exe/bin/java");                     // a folder is no executable

    const std::string parent = folder.path() + "/Java/";
    const std::vector<JavaCandidate> found = DiscoverJavaBeside(parent + "jre1.8.0_301", HostProfile::Linux64());
    const std::vector<std::string> order = Enumerated(parent, {"jre1.8.0_301", "jdk-17.0.2", "jre-32", "no-release"});
    ASSERT_EQ(found.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(found[i].path, parent + order[i] + "/bin/java");
        const std::pair<std::string, std::string> labels =
            order[i] == "jre1.8.0_301" ? std::pair{"8", "64"}
            : order[i] == "jdk-17.0.2" ? std::pair{"17", "64"}
            : order[i] == "jre-32"     ? std::pair{"7", "32"}
                                       : std::pair{std::string(kVersionUnknown), std::string(kBitsUnknown)};
        EXPECT_EQ(found[i].version_label, labels.first) << order[i];
        EXPECT_EQ(found[i].bitness_label, labels.second) << order[i];
    }

    // Blanks around the home and a trailing separator change nothing.
    EXPECT_EQ(DiscoverJavaBeside("  " + parent + "jdk-17.0.2/ \t", HostProfile::Linux64()).size(), order.size());
    // Not found: nothing registered, a home that no longer exists (though
    // its siblings do), a home without any folder part.
    EXPECT_TRUE(DiscoverJavaBeside("", HostProfile::Linux64()).empty());
    EXPECT_TRUE(DiscoverJavaBeside("   ", HostProfile::Linux64()).empty());
    EXPECT_TRUE(DiscoverJavaBeside(parent + "jre1.9-removed", HostProfile::Linux64()).empty());
    EXPECT_TRUE(DiscoverJavaBeside("relative-home", HostProfile::Linux64()).empty());
}

TEST(JavaDiscovery, WindowsTextsNameJavawWithBackslashes) {
    testing::TempFolder folder;
    FakeHome(folder, "Java/jre1.8.0_301", Release("1.8.0_301", "amd64"), "javaw.exe");
    FakeHome(folder, "Java/linux-only", Release("17", "amd64"));
    const std::vector<JavaCandidate> found =
        DiscoverJavaBeside(folder.path() + "\\Java\\jre1.8.0_301", HostProfile::Windows64());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].path, folder.path() + "\\Java\\jre1.8.0_301\\bin\\javaw.exe");
    EXPECT_EQ(found[0].version_label, "8");
    EXPECT_EQ(found[0].bitness_label, "64");
}

TEST(JavaDiscovery, VersionAndBitnessOfOneExecutable) {
    testing::TempFolder folder;
    FakeHome(folder, "jdk", Release("17.0.15", "x86_64"));
    constexpr char kBinary[] = "\x7f" "ELF\0\0\nJAVA_VERSION=\"\xff\xfe\"\nOS_ARCH=\"\x01\n\0";
    FakeHome(folder, "binary", std::string(kBinary, sizeof kBinary - 1));
    FakeHome(folder, "ea", Release("21-ea", "aarch64"));
    // A link to the executable (like /usr/bin/java) leads to the real home.
    folder.MakeFolder("usr/bin");
    std::filesystem::create_symlink(folder.path() + "/jdk/bin/java", folder.path() + "/usr/bin/java");

    const HostProfile linux_ = HostProfile::Linux64();
    const JavaCandidate jdk = DescribeJava(folder.path() + "/usr/bin/java", linux_);
    EXPECT_EQ(jdk.version_label, "17");
    EXPECT_EQ(jdk.bitness_label, "64");
    EXPECT_EQ(jdk.path, folder.path() + "/usr/bin/java");
    EXPECT_EQ(JavaMajorVersion(folder.path() + "/ea/bin/java", linux_), "21");
    EXPECT_EQ(JavaBitness(folder.path() + "/ea/bin/java", linux_), "64");
    // Binary garbage and a missing executable give the neutral labels.
    for (const std::string exe : {"/binary/bin/java", "/missing/bin/java"}) {
        EXPECT_EQ(JavaVersionLabel(folder.path() + exe, linux_), kVersionUnknown) << exe;
        EXPECT_EQ(JavaBitness(folder.path() + exe, linux_), kBitsUnknown) << exe;
        EXPECT_EQ(JavaMajorVersion(folder.path() + exe, linux_), "") << exe;
    }
}

TEST(JavaDiscovery, BitnessLabelsAndMajorNumbers) {
    const std::pair<std::string, std::string> arches[] = {
        {"amd64", "64"}, {"x86_64", "64"}, {"aarch64", "64"}, {"i586", "32"},   {"x86_32", "32"},
        {"x86_86", "32"}, {"x86", "32"},   {"AMD64", "未知"},  {"", "未知"},     {"sparc", "未知"},
    };
    for (const auto& [arch, label] : arches) EXPECT_EQ(BitnessOfArch(arch), label) << arch;

    const std::pair<std::string, int> numbers[] = {
        {"17", 17}, {"8", 8}, {"", 0}, {"获取失败", 0}, {"21x", 21}, {"99999999999999999999", 2147483647},
    };
    for (const auto& [text, number] : numbers) EXPECT_EQ(JavaMajorNumber(text), number) << text;
}

// The major version the JVM itself reports, from its java.version property
// ("1.8.0_301" for Java 8, "17.0.15" for Java 17).
std::string ReportedMajor(const std::string& java) {
    const std::string command = "'" + java + "' -XshowSettings:properties -version 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string output;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    ::pclose(pipe);
    const std::string key = "    java.version = ";
    const auto at = output.find(key);
    if (at == std::string::npos) return {};
    std::string version = output.substr(at + key.size(), output.find('\n', at) - at - key.size());
    if (version.rfind("1.", 0) == 0) version = version.substr(2);
    return version.substr(0, version.find_first_of(".-+_"));
}

TEST(JavaDiscovery, FindsTheMachinesOpenJdkWithItsRealMajorVersion) {
    const std::string home = platform::RegisteredJavaHome();
    ASSERT_FALSE(home.empty()) << "no Java on this machine: install openjdk-17-jdk-headless";
    const std::string java = home + "/bin/java";
    const std::string reported = ReportedMajor(java);
    ASSERT_FALSE(reported.empty()) << java << " did not report its version";

    const std::vector<JavaCandidate> found = DiscoverJava(HostProfile::Current());
    const auto hit = std::find_if(found.begin(), found.end(),
                                  [&](const JavaCandidate& candidate) { return candidate.path == java; });
    ASSERT_NE(hit, found.end()) << java << " was not discovered";
    EXPECT_EQ(hit->version_label, reported);
    EXPECT_NE(hit->bitness_label, kBitsUnknown);
    EXPECT_GE(JavaMajorNumber(hit->version_label), 17);
}

}  // namespace
}  // namespace kestrel::java
