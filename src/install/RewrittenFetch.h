#pragma once

// FetchRewritten gets a small document (the version catalogue, a loader's
// list of versions or its profile) from its official address through the
// rewriter: first from where the mirror and the endpoints' origin lines send
// it, and when that fails (not when it was cancelled), once more from the
// official address with only the origin lines applied, as the download
// engine does for files.
//
// Threading: blocks the calling thread; a stop request on the session's
// cancel token ends it at once.

#include <string>

#include "net/HttpSession.h"
#include "net/UrlRewriter.h"

namespace kestrel::install {

struct RewrittenReply {
    net::HttpReply reply;
    // The URL that gave the reply (the last one asked).
    std::string url;
};

RewrittenReply FetchRewritten(const net::HttpSession& session, const std::string& official_url,
                              const net::UrlRewriter& rewriter);

}  // namespace kestrel::install
