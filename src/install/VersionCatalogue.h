#pragma once

// VersionCatalogue is the list of game versions the servers offer
// (version_manifest_v2.json, the endpoint `version_manifest`):
// {"latest": {...}, "versions": [{id, type, url, time, releaseTime, sha1}, ...]},
// newest first. Entries that are not objects or lack an id or a url are left
// out; the others keep the catalogue's order and texts.
//
// Fetch gets it through the rewriter (the mirror, then the endpoints' origin
// lines) and, when that fails, once more from the official address.
//
// Threading: a plain value; Fetch blocks the calling thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/HttpSession.h"
#include "net/UrlRewriter.h"
#include "platform/Result.h"

namespace kestrel::install {

struct CatalogueEntry {
    std::string id;
    std::string type;
    std::string url;
    std::string time;
    std::string release_time;
    std::string sha1;  // of the version JSON's bytes; empty when not given
};

struct VersionCatalogue {
    std::vector<CatalogueEntry> versions;

    // An error naming source when the text is not a JSON object with a
    // `versions` array.
    static Result<VersionCatalogue> Parse(std::string_view text, const std::string& source);
    static Result<VersionCatalogue> Fetch(const std::string& url, const net::UrlRewriter& rewriter,
                                          const net::HttpOptions& http);

    const CatalogueEntry* Find(std::string_view id) const;
};

}  // namespace kestrel::install
