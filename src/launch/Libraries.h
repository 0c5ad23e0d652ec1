#pragma once

// Libraries turns the `libraries` arrays of a version's inheritance chain into
// the library list and the classpath that the game's command line gets.
//
// The list holds the chain's libraries in chain order (selected version
// first), manifest order within a manifest. Duplicates stay: a library that a
// child and its parent both list is listed twice. Left out are native
// archives (entries with a `natives` member, which the natives unpacker
// handles), entries whose first rule names "osx" (whatever its action), and
// entries the launcher could not fetch: an entry is fetchable when it has a
// non-empty `downloads.artifact.url`, or, when that member is absent, a `url`
// (a repository base), or else when a manifest so far in the chain mentions
// Forge or OptiFine (their installers leave such entries to their own
// repository). The logging libraries log4j-api and log4j-core are special:
// only the newest of each is kept, and the pair is appended at the end of the
// list, api first, only when both were found.
//
// The classpath keeps the listed libraries whose file exists, in list order,
// each followed by the profile's classpath separator, and ends with the client
// jar of the root of the chain, whether or not that exists. Missing library
// files are dropped silently; the launch downloads nothing.
//
// Paths are written in the profile's separators ("\" and ";" for Windows);
// files are tested with the machine's own separator, so the Windows texts can
// be produced from a real folder here. A coordinate that has fewer than three
// parts, or a piece that could leave the `libraries` folder, gives no path and
// its library is skipped.
//
// The rules are read the launch's way (Rules.h). Nothing is cached: every call
// given ids reads the manifests again; a chain already read
// (VersionManifests::ReadChain) is not read a second time.
//
// Threading: a Libraries is an immutable value; any thread may use it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "launch/VersionManifests.h"

namespace kestrel::launch {

// Where a listed library could be fetched from.
enum class LibrarySource {
    kArtifact,          // downloads.artifact.url
    kRepository,        // url, a repository base, + the relative path with "/"
    kLoaderRepository,  // the default repository of Forge or OptiFine
};

struct LibraryRecord {
    std::string name;  // the Maven coordinate, group:artifact:version[:classifier]
    std::string path;  // <game folder>/libraries/<relative path>, in the profile's separators
    LibrarySource source = LibrarySource::kArtifact;
    std::string url;   // the download address; empty for kLoaderRepository
    std::string sha1;  // downloads.artifact.sha1, when the manifest gives one
    std::int64_t size = 0;  // downloads.artifact.size
};

class Libraries {
public:
    explicit Libraries(VersionManifests manifests);

    // <game folder>/libraries.
    std::string LibraryFolder() const;

    // The library list of a version, and of an inheritance chain already
    // built (VersionManifests::Chain).
    std::vector<LibraryRecord> List(const std::string& id) const;
    std::vector<LibraryRecord> ListOfChain(const std::vector<std::string>& chain) const;
    std::vector<LibraryRecord> ListOfReadChain(const std::vector<ChainManifest>& chain) const;

    // The classpath text as the command line gets it (unquoted): the existing
    // libraries, each followed by the classpath separator, then the client
    // jar of the root of the chain.
    std::string Classpath(const std::string& id) const;
    std::string ClasspathOfChain(const std::vector<std::string>& chain) const;
    std::string ClasspathOfReadChain(const std::vector<ChainManifest>& chain) const;

    // The libraries part alone: each record whose file exists, followed by
    // the classpath separator.
    std::string ExistingEntries(const std::vector<LibraryRecord>& records) const;

private:
    VersionManifests manifests_;
};

// The path of a coordinate below the `libraries` folder, with sep between the
// pieces: group (dots become separators) / artifact / version /
// artifact-version, then suffix (used for native archives), then
// "-classifier" when the coordinate has a fourth part other than "installer",
// then ".jar". A version "v@ext" gives the folder v and the file
// artifact-v.ext+suffix without ".jar" (unless a classifier follows). Empty
// when the coordinate has fewer than three parts or a piece (or the suffix)
// holds a separator or a NUL, or a folder piece is "." or "..".
//
//   net.minecraftforge:forge:1.12.2-14.23.5.2860
//     -> net\minecraftforge\forge\1.12.2-14.23.5.2860\forge-1.12.2-14.23.5.2860.jar
//   org.lwjgl:lwjgl:3.3.1:natives-windows
//     -> org\lwjgl\lwjgl\3.3.1\lwjgl-3.3.1-natives-windows.jar
std::string RelativeLibraryPath(std::string_view name, char sep, std::string_view suffix = {});

// Whether candidate is a newer version than current. Equal texts are not.
// Otherwise both are split at "." and compared part by part as numbers (a
// part that is not a number counts as 0) up to the shorter length: the first
// pair that differs decides; when all compared pairs are equal the candidate
// counts as newer. The empty text reads as 0.
bool VersionNewer(std::string_view current, std::string_view candidate);

}  // namespace kestrel::launch
