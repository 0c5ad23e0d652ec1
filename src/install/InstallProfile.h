#pragma once

// InstallProfile is the install_profile.json of a Forge or NeoForge
// installer jar, read into what the client install needs. Two generations
// exist:
//
// - old installers (up to 1.12.2's early builds): "install" names the game
//   version (minecraft), the loader's own jar inside the installer (filePath)
//   and its coordinate (path); "versionInfo" is the version JSON itself.
// - newer ones ("spec" 0 and 1): "minecraft", "json" (the installer's entry
//   holding the version JSON, "/version.json"), "libraries" (the install
//   steps' own libraries, in the version JSON's library shape), "data"
//   ({KEY: {client, server}}) and "processors" ({jar, classpath, args,
//   outputs, sides}).
//
// Nothing is resolved here: data values, arguments and outputs are kept as
// written ("[coord]", "'text'", "/path", "{KEY}"); ProfileValues.h resolves
// them. Only what the client side needs is kept: the client value of each
// data entry, and the processors whose sides name the client (or name none).
//
// Threading: a plain value; Parse is a pure function.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Result.h"

namespace kestrel::install {

struct ProcessorSpec {
    std::string jar;                    // a Maven coordinate
    std::vector<std::string> classpath;  // coordinates
    std::vector<std::string> args;
    // File -> the SHA-1 it must have afterwards, both as written.
    std::vector<std::pair<std::string, std::string>> outputs;
};

struct InstallProfile {
    enum class Generation { kOld, kNew };
    Generation generation = Generation::kNew;
    // The game version the loader is for.
    std::string minecraft;

    // Old generation: versionInfo as compact JSON, and the loader's own jar.
    std::string version_info;
    std::string universal_entry;       // install.filePath, the entry name in the installer
    std::string universal_coordinate;  // install.path

    // New generation.
    std::string json_entry;  // "version.json": the entry name, without a leading "/"
    std::string libraries;   // the "libraries" array as compact JSON; "[]" without one
    std::vector<std::pair<std::string, std::string>> data;  // KEY -> client value
    std::vector<ProcessorSpec> processors;                  // the client's, in order

    // An error naming source when the text is no profile of either shape.
    static Result<InstallProfile> Parse(std::string_view text, const std::string& source);
};

}  // namespace kestrel::install
