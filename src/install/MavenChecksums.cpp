#include "install/MavenChecksums.h"

#include <algorithm>

namespace kestrel::install {

namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The SHA-1 at the start of a checksum file ("<hash>" or "<hash>  <file>").
std::string ChecksumOf(const std::string& body) {
    if (body.size() < 40 || !std::all_of(body.begin(), body.begin() + 40, IsHexDigit)) return {};
    if (body.size() > 40 && IsHexDigit(body[40])) return {};
    std::string hash = body.substr(0, 40);
    std::transform(hash.begin(), hash.end(), hash.begin(),
                   [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c; });
    return hash;
}

}  // namespace

int FillMavenChecksums(std::vector<download::FileRequest>& files, const net::HttpOptions& http) {
    net::HttpOptions options = http;
    options.max_body_bytes = 4096;
    const net::HttpSession session(options);
    int filled = 0;
    for (download::FileRequest& file : files) {
        if (!file.sha1.empty() || file.url.empty()) continue;
        if (options.cancel.stop_requested()) break;
        std::string hash = ChecksumOf(session.DownloadReply(file.url + ".sha1").body);
        if (hash.empty() && !file.fallback_url.empty() && file.fallback_url != file.url) {
            hash = ChecksumOf(session.DownloadReply(file.fallback_url + ".sha1").body);
        }
        if (hash.empty()) continue;
        file.sha1 = std::move(hash);
        ++filled;
    }
    return filled;
}

}  // namespace kestrel::install
