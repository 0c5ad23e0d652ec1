#include "platform/HostProfile.h"

#include <sys/utsname.h>

#include "platform/PathJoin.h"
#include "platform/SystemInfo.h"

namespace kestrel::platform {

HostProfile HostProfile::Current() {
    HostProfile profile = Linux64();
    profile.bits = Is64BitSystem() ? "64" : "32";
    utsname name{};
    if (uname(&name) == 0) {
        profile.arch = ArchOfMachine(name.machine);
        profile.os_version = name.release;
    }
    return profile;
}

HostProfile HostProfile::Windows64() {
    return HostProfile{'\\', ';', "windows", "javaw.exe", "64", "x86_64", "10.0"};
}

HostProfile HostProfile::Linux64() {
    return HostProfile{'/', ':', "linux", "java", "64", "x86_64", ""};
}

std::string HostProfile::ArchOfMachine(std::string_view machine) {
    if (machine == "x86_64" || machine == "amd64" || machine == "x64") return "x86_64";
    if (machine == "aarch64" || machine == "arm64" || machine == "armv8l") return "arm64";
    if (machine == "x86" || machine == "i386" || machine == "i486" || machine == "i586" || machine == "i686") {
        return "x86";
    }
    return std::string(machine);
}

std::string HostProfile::Join(std::string_view left, std::string_view right) const {
    return JoinPath(left, right, path_sep);
}

std::string HostProfile::NativePath(std::string_view profile_path) const {
    std::string path(profile_path);
    if (path_sep != kNativeSeparator) {
        for (char& c : path) {
            if (c == path_sep) c = kNativeSeparator;
        }
    }
    return path;
}

}  // namespace kestrel::platform
