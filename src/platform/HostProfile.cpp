#include "platform/HostProfile.h"

#include "platform/SystemInfo.h"

namespace kestrel::platform {

namespace {

constexpr char kNativeSep = '/';

}  // namespace

HostProfile HostProfile::Current() {
    HostProfile profile = Linux64();
    profile.bits = Is64BitSystem() ? "64" : "32";
    return profile;
}

HostProfile HostProfile::Windows64() {
    return HostProfile{'\\', ';', "windows", "javaw.exe", "64"};
}

HostProfile HostProfile::Linux64() {
    return HostProfile{'/', ':', "linux", "java", "64"};
}

std::string HostProfile::Join(std::string_view left, std::string_view right) const {
    std::string joined;
    joined.reserve(left.size() + 1 + right.size());
    joined.append(left);
    joined.push_back(path_sep);
    joined.append(right);
    return joined;
}

std::string HostProfile::NativePath(std::string_view profile_path) const {
    std::string path(profile_path);
    if (path_sep != kNativeSep) {
        for (char& c : path) {
            if (c == path_sep) c = kNativeSep;
        }
    }
    return path;
}

}  // namespace kestrel::platform
