#include "platform/JavaHome.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempFolder.h"

namespace kestrel::platform {
namespace {

std::string Real(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::string Executable(const testing::TempFolder& folder, const std::string& relative, unsigned mode = 0755) {
    const std::string path = folder.Write(relative, "#!/bin/sh\n");
    ::chmod(path.c_str(), mode);
    return path;
}

TEST(JavaHome, RegisteredHomeFromJavaHomeElsePath) {
    testing::TempFolder folder;
    Executable(folder, "jdk/bin/java");
    Executable(folder, "wrapper/java");                 // not inside a bin folder of a home
    Executable(folder, "noexec/java", 0644);            // not executable
    folder.MakeFolder("links");
    std::filesystem::create_symlink(folder.path() + "/jdk/bin/java", folder.path() + "/links/java");
    const std::string jdk = Real(folder.path() + "/jdk");
    const std::string root = folder.path();

    struct Case {
        std::string java_home, path, home;
    };
    const Case cases[] = {
        {"/opt/jdk-21", root + "/links", "/opt/jdk-21"},            // JAVA_HOME wins, as given
        {" /opt/jdk-21/ ", "", "/opt/jdk-21"},
        {"", root + "/links", jdk},                                  // the real path, minus /bin/java
        {"  ", root + "/jdk/bin", jdk},
        {"", root + "/wrapper:" + root + "/noexec:" + root + "/links", jdk},
        {"", "::relative/bin:.:" + root + "/links/", jdk},          // empty and relative entries skipped
        {"", root + "/wrapper", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(RegisteredJavaHome(c.java_home, c.path), c.home) << c.java_home << "|" << c.path;
}

TEST(JavaHome, ReleaseValuesAndVersions) {
    const std::string release =
        "IMPLEMENTOR=\"Eclipse Adoptium\"\r\nJAVA_RUNTIME_VERSION=\"1.8.0_301-b09\"\r\n"
        "JAVA_VERSION=\"1.8.0_301\"\r\nOS_ARCH=\"amd64\"\r\nBROKEN=\"no end\r\nPLAIN=x\n";
    EXPECT_EQ(ReleaseValue(release, "JAVA_VERSION"), "1.8.0_301");
    EXPECT_EQ(ReleaseValue(release, "OS_ARCH"), "amd64");
    EXPECT_EQ(ReleaseValue(release, "BROKEN"), "");
    EXPECT_EQ(ReleaseValue(release, "PLAIN"), "");
    EXPECT_EQ(ReleaseValue(release, "OS"), "");
    EXPECT_EQ(ReleaseValue(release, ""), "");
    EXPECT_EQ(ReleaseValue(std::string("\0\xff\xfe\n\x01OS_ARCH=\"", 13), "OS_ARCH"), "");

    const std::pair<std::string, std::string> versions[] = {
        {"1.8.0_301", "8.0.301"}, {"1.7.0_80", "7.0.80"}, {"17.0.2", "17.0.2"}, {"21", "21"},
        {"21-ea", "21"},          {"11.0.2+9", "11.0.2"}, {"", ""},             {"abc", ""},
        {".5", ""},               {"\xff\xfe", ""},
    };
    for (const auto& [java_version, file_version] : versions) {
        EXPECT_EQ(FileVersionOfJavaVersion(java_version), file_version) << java_version;
    }
}

TEST(JavaHome, ExecutableVersionReadsTheRealHomesReleaseFile) {
    testing::TempFolder folder;
    folder.Write("jre8/release", "JAVA_VERSION=\"1.8.0_301\"\n");
    Executable(folder, "jre8/bin/java");
    folder.MakeFolder("usr/bin");
    std::filesystem::create_symlink(folder.path() + "/jre8/bin/java", folder.path() + "/usr/bin/java");
    EXPECT_EQ(ExecutableVersion(folder.path() + "/jre8/bin/java"), "8.0.301");
    EXPECT_EQ(ExecutableVersion(folder.path() + "/usr/bin/java"), "8.0.301");
    EXPECT_EQ(JavaHomeOf(folder.path() + "/usr/bin/java"), Real(folder.path() + "/jre8"));
    EXPECT_EQ(ExecutableVersion(folder.path() + "/missing/bin/java"), "");
    EXPECT_EQ(JavaHomeOf("/missing/bin/java"), "/missing");
}

}  // namespace
}  // namespace kestrel::platform
