#include "platform/HostProfile.h"

#include <gtest/gtest.h>

namespace kestrel::platform {
namespace {

TEST(HostProfile, WindowsTextsMapToTheMachinesOwnPaths) {
    const HostProfile windows = HostProfile::Windows64();
    EXPECT_EQ(windows.Join("/games/.minecraft", "versions"), "/games/.minecraft\\versions");
    EXPECT_EQ(windows.NativePath("/games/.minecraft\\versions\\1.12\\1.12.json"),
              "/games/.minecraft/versions/1.12/1.12.json");
    // The Linux profile leaves a backslash alone: it is a legal file name
    // character here.
    EXPECT_EQ(HostProfile::Current().NativePath("/a\\b/c"), "/a\\b/c");
    EXPECT_EQ(HostProfile::Current().os_name, "linux");
    EXPECT_EQ(windows.classpath_sep, ';');
    EXPECT_EQ(windows.java_exe, "javaw.exe");
}

TEST(HostProfile, MachineNamesGiveTheArchitectureRulesAndRuntimesUse) {
    const std::pair<const char*, const char*> cases[] = {
        {"x86_64", "x86_64"}, {"amd64", "x86_64"}, {"i686", "x86"},     {"i386", "x86"},
        {"aarch64", "arm64"}, {"arm64", "arm64"},  {"riscv64", "riscv64"},
    };
    for (const auto& [machine, arch] : cases) EXPECT_EQ(HostProfile::ArchOfMachine(machine), arch) << machine;
    // The running machine's profile names its architecture and release.
    const HostProfile current = HostProfile::Current();
    EXPECT_EQ(current.arch, HostProfile::ArchOfMachine(current.arch));
    EXPECT_FALSE(current.arch.empty());
    EXPECT_FALSE(current.os_version.empty());
    EXPECT_EQ(HostProfile::Windows64().arch, "x86_64");
}

}  // namespace
}  // namespace kestrel::platform
