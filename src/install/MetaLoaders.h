#pragma once

// The loaders whose metadata service hands out a ready version JSON: Fabric
// (<fabric_meta>/v2/...) and Quilt (<quilt_meta>/v3/..., the same shape).
//
// - ListMetaLoaderVersions asks <meta>/<api>/versions/loader/<game> for the
//   loader versions of a game version: a JSON array of
//   {"loader": {"version", "stable"?}, ...}. A version without a stable flag
//   is stable unless it names itself a pre-release (LoaderVersionOrder.h).
//   Entries that are no such objects, or whose version could not be part of
//   a version id, are left out; an answer that is no array, or holds entries
//   but not one usable, is an error naming the URL.
// - InstallMetaLoader fetches the profile
//   (<meta>/<api>/versions/loader/<game>/<loader>/profile/json), which must
//   be a version JSON inheriting from the game version, installs the game
//   version when it is missing (GameVersionSetup.h), fetches the profile's
//   libraries (LibraryFetch.h) and stores the profile last, byte for byte,
//   as its own version (VersionJsonStore.h), under request.name when given.
//   An empty loader_version takes the first of the list: the newest stable
//   one, else the newest of all. The folder's install lock is held
//   throughout.
//
// Both go through the rewriter, so the mirror (BMCLAPI serves Fabric's
// service) and the endpoints' origin lines apply, with the official address
// as the fallback.
//
// Threading: both block the calling thread; progress is reported on it. A
// stop request ends them soon with an error and leaves the game folder
// valid.

#include <stop_token>
#include <string>
#include <vector>

#include "install/InstallSettings.h"
#include "install/Loaders.h"
#include "platform/Result.h"

namespace kestrel::install {

// loader is kFabric or kQuilt.
Result<std::vector<LoaderVersion>> ListMetaLoaderVersions(const InstallSettings& settings, Loader loader,
                                                          const std::string& game_version);

// request.loader is kFabric or kQuilt. The id of the new version.
Result<std::string> InstallMetaLoader(const InstallSettings& settings, const LoaderRequest& request,
                                      std::stop_token stop, const InstallProgressCallback& progress = {});

}  // namespace kestrel::install
