#pragma once

// InstallerArchive reads a Forge or NeoForge installer jar, and the jars of
// its install steps, for what installing takes from them: entries by name
// (install_profile.json, version.json, the data files), the files below its
// maven/ folder, and a jar's Main-Class. Everything in the archive is
// untrusted (platform/ZipArchive.h): a name is used as a path only when its
// pieces are plain names, and each file is written whole or not at all.
//
// Threading: an archive is used by one thread at a time.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"
#include "platform/ZipArchive.h"

namespace kestrel::install {

class InstallerArchive {
public:
    static Result<InstallerArchive> Open(const std::string& path);

    // The bytes of the file entry of that name (a leading "/" is ignored).
    Result<std::string> Read(std::string_view name);
    // Writes that entry to path (folders made as needed), whole or not at
    // all.
    Status ExtractTo(std::string_view name, const std::string& path);
    // The names of the file entries below prefix ("maven/"), in archive order.
    std::vector<std::string> FilesBelow(std::string_view prefix) const;

    const std::string& path() const { return path_; }

private:
    InstallerArchive(std::string path, platform::ZipArchive zip) : path_(std::move(path)), zip_(std::move(zip)) {}

    std::string path_;
    platform::ZipArchive zip_;
};

// The Main-Class of a jar's META-INF/MANIFEST.MF; an error naming the jar
// when it has none.
Result<std::string> MainClassOf(const std::string& jar);

}  // namespace kestrel::install
