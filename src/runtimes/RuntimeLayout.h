#pragma once

// Where a Java runtime lives in the game folder, laid out as the official
// launcher lays it out, so that launchers sharing a game folder share its
// runtimes too:
//
//   <game folder>/runtime/<component>/<platform>/.version      the version name
//   <game folder>/runtime/<component>/<platform>/<component>/  the runtime's root
//
// The .version file is written last, once every file of the runtime is in
// place and right, so a runtime with a .version file was installed whole.
//
// Threading: a plain value and free functions reading the file system.

#include <string>
#include <vector>

#include "platform/HostProfile.h"

namespace kestrel::runtimes {

struct RuntimeLayout {
    std::string game_folder;
    std::string component;
    std::string platform;  // the index's name of the platform ("linux")

    std::string PlatformFolder() const;  // runtime/<component>/<platform>
    std::string Root() const;            // ... /<component>
    std::string VersionFile() const;     // ... /.version
    // The folder for the install's own temporary files (the manifest and the
    // compressed downloads); removed when an install ends well.
    std::string WorkFolder() const;
    // <root>/bin/java (javaw.exe under the Windows profile), in the
    // profile's separators.
    std::string JavaExecutable(const platform::HostProfile& profile) const;
};

// A runtime the launcher (or a launcher sharing the game folder) installed.
struct InstalledRuntime {
    std::string component;
    std::string version;  // the .version file's text
    std::string java;     // the java executable
};

// The runtimes of a platform in the game folder, by component name: those
// with a .version file and an executable java. Paths use the profile's
// separators.
std::vector<InstalledRuntime> InstalledRuntimes(const std::string& game_folder, const std::string& platform,
                                                const platform::HostProfile& profile);

}  // namespace kestrel::runtimes
