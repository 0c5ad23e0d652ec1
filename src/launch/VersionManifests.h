#pragma once

// VersionManifests reads the installed game versions of one game folder: each
// version is a folder under `versions` holding `<id>.json` (its manifest) and
// normally `<id>.jar` (its client). A manifest may name a parent version in
// `inheritsFrom` (Forge, Fabric, OptiFine install themselves this way); the
// inheritance chain lists the selected version first and the root (normally a
// vanilla version) last, and every consumer walks it in that order.
//
// Each manifest read is also read into its typed record (VersionRecord.h),
// which the classpath, the natives and the command line take their facts
// from; ReadChain reads a chain once for all of them. Nothing is cached
// between calls: every call reads the manifests again, so an edit takes
// effect at the next launch. A missing or unreadable manifest reads as an
// empty object. A version id is a folder name; an id that could leave the
// `versions` folder (a separator in it, "." or "..") is never read.
//
// Threading: a VersionManifests is an immutable value; any thread may use it.

#include <string>
#include <string_view>
#include <vector>

#include "net/JsonDocument.h"
#include "launch/VersionRecord.h"
#include "platform/HostProfile.h"

namespace kestrel::launch {

struct Manifest {
    net::JsonDocument document;  // an empty object when the file is unusable
    bool ok = false;             // the file was read and parsed
    std::string text;            // the file as program text; empty when unreadable
    VersionRecord record;        // the document read into typed records
};

// One element of an inheritance chain together with its manifest.
struct ChainManifest {
    std::string id;
    Manifest manifest;
};

class VersionManifests {
public:
    // game_folder is the current game directory (never the isolated one),
    // written as the profile writes paths.
    VersionManifests(std::string game_folder, platform::HostProfile profile);

    const std::string& game_folder() const { return game_folder_; }
    const platform::HostProfile& profile() const { return profile_; }

    // <game folder>/versions/<id>/<id>.json and …/<id>.jar, in the profile's
    // separators.
    std::string ManifestPath(const std::string& id) const;
    std::string ClientJarPath(const std::string& id) const;
    std::string VersionFolder(const std::string& id) const;

    Manifest Read(const std::string& id) const;
    // A manifest from its bytes (UTF-8), read as Read reads a file: for a
    // version JSON that is not stored yet, such as a loader's profile.
    static Manifest Parse(std::string_view bytes);

    // [id, parent, grandparent, …]; always holds at least id. The walk ends
    // at a manifest without `inheritsFrom`, at a parent whose manifest is
    // missing (that parent is still listed), at an empty `inheritsFrom`, at
    // an id already in the chain (a cycle), and before an unsafe id.
    std::vector<std::string> Chain(const std::string& id) const;

    // The same chain with the manifest of each element, every manifest read
    // once: consumers that need the documents as well as the ids use this
    // instead of reading the chain's manifests a second time.
    std::vector<ChainManifest> ReadChain(const std::string& id) const;

    // RequiredJavaMajor and AssetsIndexName of a chain already read.
    static std::string RequiredJavaMajor(const std::vector<ChainManifest>& chain);
    static std::string AssetsIndexName(const std::vector<ChainManifest>& chain);

    // The last non-empty `javaVersion.majorVersion` along the chain (the
    // root-most declaration wins); empty when none declares one.
    std::string RequiredJavaMajor(const std::vector<std::string>& chain) const;

    // `assets` of the version; when empty, `assets` of its direct parent
    // (one level only); else empty.
    std::string AssetsIndexName(const std::string& id) const;

    // The sub-folders of `versions` in listing order, except those whose
    // name begins with "." and those whose name holds a double quote or a
    // control character (it could not be saved as the selected version);
    // folders without a manifest are listed too.
    std::vector<std::string> Installed() const;

    // True when id can name a folder directly under `versions`.
    static bool IsSafeId(const std::string& id);

private:
    std::string game_folder_;
    platform::HostProfile profile_;
};

}  // namespace kestrel::launch
