#include "java/JavaVersion.h"

#include <array>
#include <limits>

#include "java/JavaDiscovery.h"
#include "platform/Files.h"
#include "platform/JavaHome.h"
#include "platform/PathJoin.h"

namespace kestrel::java {

namespace {

constexpr std::size_t kMaxReleaseBytes = std::size_t{1} << 20;

}  // namespace

std::string JavaMajorVersion(const std::string& executable, const platform::HostProfile& profile) {
    const std::string version = platform::ExecutableVersion(profile.NativePath(executable));
    return version.substr(0, version.find('.'));
}

int JavaMajorNumber(std::string_view major_text) {
    int value = 0;
    for (const char c : major_text) {
        if (c < '0' || c > '9') break;
        // A label of absurd length saturates instead of overflowing.
        if (value > (std::numeric_limits<int>::max() - 9) / 10) return std::numeric_limits<int>::max();
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string JavaVersionLabel(const std::string& executable, const platform::HostProfile& profile) {
    std::string major = JavaMajorVersion(executable, profile);
    return major.empty() ? std::string(kVersionUnknown) : major;
}

std::string BitnessOfArch(std::string_view os_arch) {
    // The Windows names first (amd64, x86_64, i586, x86_32, x86_86); the
    // others are the names Linux builds of Java write.
    static constexpr std::array<std::string_view, 7> k64 = {"amd64",   "x86_64", "aarch64", "arm64",
                                                           "ppc64le", "s390x",  "riscv64"};
    static constexpr std::array<std::string_view, 7> k32 = {"i586", "x86_32", "x86_86", "i386",
                                                           "i686", "x86",    "arm"};
    for (const std::string_view name : k64) {
        if (os_arch == name) return "64";
    }
    for (const std::string_view name : k32) {
        if (os_arch == name) return "32";
    }
    return kBitsUnknown;
}

std::string JavaBitness(const std::string& executable, const platform::HostProfile& profile) {
    const std::string home = platform::JavaHomeOf(profile.NativePath(executable));
    const auto release = platform::ReadFile(platform::JoinNativePath(home, "release"), kMaxReleaseBytes);
    if (!release) return kBitsUnknown;
    return BitnessOfArch(platform::ReleaseValue(*release, "OS_ARCH"));
}

}  // namespace kestrel::java
