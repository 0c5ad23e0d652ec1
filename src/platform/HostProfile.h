#pragma once

// HostProfile holds the few facts about the host that show in the launcher's
// texts: the path separator, the classpath separator, the operating system's
// name in version manifests (rules and natives keys), the Java executable, the
// bitness label, and the CPU architecture and system version that manifest
// rules and Java runtimes are chosen by. Everything that builds a path or a command line takes a
// profile, so the Windows texts can be produced and tested on Linux and the
// Linux texts are the ones a real JVM here accepts.
//
// Threading: a plain value type; no shared state.

#include <string>
#include <string_view>

namespace kestrel::platform {

struct HostProfile {
    char path_sep = '/';
    char classpath_sep = ':';
    std::string os_name;   // "linux" or "windows", as manifests name it
    std::string java_exe;  // "java" or "javaw.exe"
    std::string bits;      // "64" or "32"; natives classifiers' ${arch}
    std::string arch;      // "x86", "x86_64" or "arm64" (else the machine's own name)
    std::string os_version;  // the system's release, matched by rules' os.version

    // The profile of the machine the launcher runs on.
    static HostProfile Current();
    // 64-bit Windows: backslashes, ';', javaw.exe, "windows".
    static HostProfile Windows64();
    // Linux on a 64-bit machine.
    static HostProfile Linux64();

    bool IsWindows() const { return os_name == "windows"; }

    // The architecture name of a machine as uname reports it ("i686",
    // "amd64", "aarch64", ...): x86, x86_64 or arm64; other names stay as
    // they are.
    static std::string ArchOfMachine(std::string_view machine);

    // Joins two path pieces with this profile's separator.
    std::string Join(std::string_view left, std::string_view right) const;

    // The same path as the machine itself names it. A profile's texts may use
    // another separator than the machine (the Windows profile on Linux); the
    // file those texts mean is then reached with the machine's separator.
    std::string NativePath(std::string_view profile_path) const;
};

}  // namespace kestrel::platform
