#pragma once

// ProfileValues resolves the values an installer's profile writes in its
// data, processor arguments and outputs:
//
// - "[group:artifact:version[:classifier][@ext]]" is the path of that
//   library below <game folder>/libraries;
// - "{KEY}" anywhere in a text is the value of data entry KEY or of a
//   built-in key ({SIDE}, {MINECRAFT_JAR}, {MINECRAFT_VERSION}, {ROOT},
//   {INSTALLER}, {LIBRARY_DIR}); "\{" and "\\" keep a brace or backslash
//   as it is; a key that is not known is an error naming it;
// - data values: "[coord]" as above, "'text'" the text, "/path" a file of the
//   installer unpacked into the temporary folder (the caller unpacks it and
//   sets the key to where it went).
//
// A coordinate comes from the network: it is made into a path first and the
// path then checked, since ".." can hide in any of its parts. Outputs must
// name files inside the game folder or the temporary folder (Contains).
//
// Threading: a value used by one thread at a time.

#include <map>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace kestrel::install {

// The path of a Maven coordinate "group:artifact:version[:classifier][@ext]"
// below a repository or the libraries folder, with "/" ("jar" when no
// extension is given): net.minecraft:client:1.20.1:mappings@txt is
// net/minecraft/client/1.20.1/client-1.20.1-mappings.txt. Empty when the
// coordinate has another shape or the path would not be a plain relative
// path of plain names.
std::string MavenPath(std::string_view coordinate);

class ProfileValues {
public:
    // Both as the machine names them.
    ProfileValues(std::string game_folder, std::string temp_folder);

    // The library's path below <game folder>/libraries, checked.
    Result<std::string> LibraryPath(std::string_view coordinate) const;

    // Sets a key to a resolved value.
    void Set(const std::string& key, std::string value) { values_[key] = std::move(value); }
    // A data value of the kinds "[coord]" and "'text'" resolved and set; for
    // any other value (a file of the installer) false, and nothing set.
    Result<bool> SetData(const std::string& key, std::string_view value);

    // A processor's argument or output: keys replaced, then a whole
    // "[coord]" made a library path.
    Result<std::string> Substitute(std::string_view text) const;

    // Whether the path, taken lexically, lies inside the game folder or the
    // temporary folder.
    bool Contains(std::string_view path) const;

    const std::string& game_folder() const { return game_folder_; }
    const std::string& temp_folder() const { return temp_folder_; }

private:
    std::string game_folder_;
    std::string temp_folder_;
    std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace kestrel::install
