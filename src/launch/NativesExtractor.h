#pragma once

// NativesExtractor unpacks a version's native-library archives (the jars that
// hold LWJGL's and similar libraries' shared objects) into the version's
// natives folder before every launch; the command line hands that folder to
// Java as java.library.path.
//
// Archives. For each manifest of the chain, for each library: when it has a
// `natives` member, the archive of the classifier `natives.<host system>`
// (with "${arch}" replaced by the system's bitness, 64 or 32, whatever the
// bitness of the configured Java); and, independently, when the first rule of
// the library names the host system, the library's own jar (newer manifests
// list natives as ordinary libraries with a classifier).
//
// Unpacking. The natives folder, <game folder>/versions/<id>/<id>-natives
// (also when isolation is on), is created when missing and never emptied.
// The archives of the chain are unpacked in order, later files replacing
// earlier ones; each archive is unpacked once, at its last place in the order
// in which the chain names them (which gives the folder that naming them
// again for every level of the chain would give). Every entry is written,
// META-INF included; directory entries create their folder. An archive that
// is missing or no zip, or an entry that cannot be written, is skipped
// without a word: a game that lacks a library then fails on its own.
//
// Containment (platform/ZipArchive.h does the unpacking): an entry whose name
// is absolute (a leading "/" or "\"), names a drive or a stream (holds ":"),
// or climbs out with a ".." segment (by "/" or "\") is skipped; nothing is
// ever written outside the natives folder, and no symbolic link below it is
// followed. Files replace their predecessors by rename, so a game that is
// still running keeps the libraries it has mapped. An archive that is no
// regular file (a FIFO in its place) is skipped at once. Entries that share
// compressed bytes are skipped, and what is unpacked is capped per entry, per
// archive and for the whole launch, so a small hostile archive cannot fill
// the disk.
//
// Threading: an extractor is an immutable value; unpack on the launch worker,
// one unpack per natives folder at a time.

#include <cstdint>
#include <string>
#include <vector>

#include "launch/VersionManifests.h"
#include "platform/ZipArchive.h"

namespace kestrel::launch {

// What unpacking one archive did: opened, files, folders, skipped, bytes.
using UnpackReport = platform::ZipExtractReport;

// How much the natives of one launch may unpack. Real natives come to some
// tens of megabytes.
struct NativesLimits {
    platform::ZipLimits zip;  // per entry and per archive
    std::uint64_t max_launch_bytes = std::uint64_t{1} << 30;
};

class NativesExtractor {
public:
    explicit NativesExtractor(VersionManifests manifests, NativesLimits limits = {});

    // <game folder>/versions/<id>/<id>-natives.
    std::string NativesFolder(const std::string& id) const;

    // The natives archives of a version's chain, in the order in which they
    // are unpacked, each once.
    std::vector<std::string> Archives(const std::string& id) const;
    std::vector<std::string> Archives(const std::vector<ChainManifest>& chain) const;

    // Unpacks the archives of a version into its natives folder.
    void Unpack(const std::string& id) const;

    // Unpacks one archive into a folder. Paths are in the profile's separators.
    UnpackReport UnpackArchive(const std::string& archive, const std::string& target) const;
    // The same, charging what is written to a budget shared with other
    // archives.
    UnpackReport UnpackArchive(const std::string& archive, const std::string& target,
                               platform::ZipBudget& budget) const;

private:
    VersionManifests manifests_;
    NativesLimits limits_;
};

}  // namespace kestrel::launch
