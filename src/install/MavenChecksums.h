#pragma once

// MavenChecksums fills in the SHA-1 of library requests whose manifest gives
// none (Fabric's and Quilt's loader, intermediary and hashed libraries come
// with a url and a Maven path only): a Maven repository serves beside every
// file "<file>.sha1", whose first 40 characters are the file's SHA-1. The
// file is then checked by hash like any other, and a second install finds it
// right on disk instead of fetching it again.
//
// A checksum that cannot be fetched or read leaves the request as it was (the
// engine then checks its size, when known); it is no reason to fail, since
// the file itself may still be fetched and used.
//
// Threading: blocks the calling thread; the requests are the caller's.

#include <stop_token>
#include <vector>

#include "download/FileRequest.h"
#include "net/HttpSession.h"

namespace kestrel::install {

// The number of requests that got a SHA-1.
int FillMavenChecksums(std::vector<download::FileRequest>& files, const net::HttpOptions& http);

}  // namespace kestrel::install
