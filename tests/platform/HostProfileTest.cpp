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

}  // namespace
}  // namespace kestrel::platform
