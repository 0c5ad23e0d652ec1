#pragma once

// Mojang's Java runtime index (endpoint java_runtimes): for each platform
// ("linux", "linux-i386", "windows-x64", ...) the runtime components
// ("jre-legacy", "java-runtime-gamma", ...), each a list of releases of which
// the first is the current one:
//
//   {"linux": {"java-runtime-gamma": [{"availability": {...},
//       "manifest": {"sha1": ..., "size": ..., "url": ...},
//       "version": {"name": "17.0.8", "released": ...}}], ...}, ...}
//
// The index comes from the network: a component name is used as a folder
// name, so only plain names (letters, digits, ".", "_", "-") are accepted.
//
// Threading: plain values and free functions.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/JsonDocument.h"
#include "platform/HostProfile.h"
#include "platform/Result.h"

namespace kestrel::runtimes {

// One downloadable file as a manifest names it.
struct RemoteFile {
    std::string sha1;
    std::optional<std::uint64_t> size;
    std::string url;
};

// The current release of a component on a platform.
struct RuntimeRelease {
    std::string component;
    std::string version_name;  // version.name, written to the .version file
    RemoteFile manifest;
};

// The index's name of this host's platform, from the profile's OS, CPU
// architecture and bitness: linux (x86_64), linux-i386, windows-x64,
// windows-x86, windows-arm64; Linux on another CPU gets "linux-<arch>",
// which the index does not list.
std::string RuntimePlatform(const platform::HostProfile& profile);

// True for a name that can safely be a folder name: letters, digits, ".",
// "_" and "-", not "." or "..", at most 64 characters.
bool IsPlainName(std::string_view name);

class RuntimeIndex {
public:
    // Parses the index's JSON text; an error when it is not a JSON object.
    static Result<RuntimeIndex> Parse(std::string_view text);

    // The components listed for a platform that have a release, in the
    // index's order.
    std::vector<std::string> Components(const std::string& platform) const;

    // The current release of a component; an error naming it when the
    // platform lacks it, it has no release, or its entry is unusable.
    Result<RuntimeRelease> Find(const std::string& platform, const std::string& component) const;

private:
    net::JsonDocument document_;
};

}  // namespace kestrel::runtimes
