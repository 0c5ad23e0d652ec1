#pragma once

// ChainFiles lists the files of an installed version's inheritance chain that
// have a download location, as download requests: the client jar of each
// version that names one, the libraries and natives archives whose rules allow
// the host (the full reading of Rules.h), the asset index and every object it
// lists, and the logging configuration. The installer fetches them, verify
// hashes them, and the launch checks them by existence and size.
//
// Where each file goes (paths as the machine names them, below game_folder):
//   client jar          versions/<id>/<id>.jar, for each version of the chain with downloads.client
//   library             libraries/<downloads.artifact.path>, or for an entry that only names a
//                       repository (`url`, Fabric and Quilt) the path made from its coordinate
//   old-style natives   libraries/<path of downloads.classifiers[natives.<os>]> (${arch} is the bitness)
//   asset index         assets/indexes/<assetIndex.id>.json (the first along the chain)
//   asset objects       assets/objects/<hash[0..2]>/<hash>, each hash once
//   logging             assets/log_configs/<logging.client.file.id> (the first along the chain)
// An artifact whose url is empty is not downloadable (a loader's installer makes
// it) and is left out, as is anything the host's rules disallow. A path named
// twice (a child repeating its parent's library) is listed once, the first time.
//
// Each request's url is the official address already passed through the
// rewriter (the mirror, then the endpoints' origin lines), and its fallback the
// official address through the origin lines alone; run the list with a
// Downloader whose own rewriter is the empty default. Library entries without a
// sha1 (Fabric's and Quilt's) keep an empty sha1 here.
//
// The objects can be listed only once the asset index is on disk and right (its
// SHA-1, when the manifest gives one): until then objects_listed is false and
// the list holds the index itself; fetch the list and ask again.
//
// Everything in a manifest and an index came from the network, so every id,
// path, name and hash is checked (launch/SafeNames.h) before it becomes part of
// a path; an unsafe one gives an error naming it, and so does a manifest of the
// chain that is missing or does not parse, and a SHA-1 that is not 40 hex
// digits. Nothing is fetched or written here.
//
// Threading: pure functions of the files they read; any thread.

#include <string>
#include <string_view>
#include <vector>

#include "download/FileRequest.h"
#include "download/MissingFiles.h"
#include "launch/VersionManifests.h"
#include "net/UrlRewriter.h"
#include "platform/HostProfile.h"
#include "platform/Result.h"

namespace kestrel::install {

// Where asset objects are served from; an object's URL is this, "/", the
// hash's first two digits, "/", the hash.
inline constexpr std::string_view kAssetObjectOrigin = "https://resources.download.minecraft.net";

struct ChainFileList {
    std::vector<download::FileRequest> files;
    // The asset index named by the chain, empty when it names none.
    std::string asset_index_path;
    // False when the chain names an asset index that is not yet on disk and
    // right, so its objects are not in files yet.
    bool objects_listed = true;
};

// A version id from the network or the player that may name a folder below
// versions: the launch's check (no separator, not "." or "..") and also no
// "..", NUL, line end or drive prefix anywhere in it.
bool IsSafeVersionId(std::string_view id);

// The files of the version id installed in game_folder (as the machine names
// it). host decides the rules and the natives; paths always use "/".
Result<ChainFileList> ListChainFiles(const std::string& game_folder, const std::string& id,
                                     const platform::HostProfile& host, const net::UrlRewriter& rewriter);

// The same for a chain already read (VersionManifests::ReadChain of game_folder).
Result<ChainFileList> ListChainFiles(const std::string& game_folder, const std::vector<launch::ChainManifest>& chain,
                                     const platform::HostProfile& host, const net::UrlRewriter& rewriter);

// The chain's files for the launch's quick check (download/MissingFiles.h):
// each by existence and size, except an asset index whose objects could not
// be listed yet, which is on disk with wrong bytes or not at all: the
// engine's hash check tells which, and once it is right its objects join the
// list.
Result<download::FilesToCheck> ListFilesToCheck(const std::string& game_folder,
                                                const std::vector<launch::ChainManifest>& chain,
                                                const platform::HostProfile& host, const net::UrlRewriter& rewriter);

}  // namespace kestrel::install
