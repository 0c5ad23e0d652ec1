#pragma once

// Transfer wraps one libcurl easy handle with the buffers it receives into:
// the response body, the raw response header block (every response of a
// redirect chain, CR LF line ends, as libcurl delivers them) and an upload
// buffer. It is used for one request: Init, options, Perform, then the results
// are read; a failed Init or transfer leaves empty or partial results, never
// an error of their own.
//
// Beyond the plain libcurl options, every transfer has time-outs (connect,
// whole transfer, stall), speaks HTTP/1.1 over http and https only, verifies
// TLS certificates against the system's store (or a CA file given to it),
// ignores proxy settings of the environment and can be cancelled from another
// thread through a stop token that libcurl's progress callback reads.
//
// Threading: one thread uses a transfer; any number of transfers may run on
// different threads at once, since each owns its own easy handle. Only the
// stop token is shared with the cancelling thread.

#include <curl/curl.h>

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "net/ByteBuffer.h"
#include "net/RequestFailure.h"

namespace kestrel::net {

// Time-outs in milliseconds; 0 means none. The stall time-out ends a transfer
// that has moved no byte for that long (libcurl counts it in whole seconds,
// so it is rounded up to the next second).
struct Timeouts {
    long connect_ms = 15000;
    long total_ms = 60000;
    long stall_ms = 0;
};

class Transfer {
public:
    Transfer() = default;
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Creates the easy handle and installs the callbacks and fresh buffers
    // (releasing a previous handle and its buffers; a header list stays).
    // False when libcurl cannot make a handle.
    bool Init(bool follow_redirects = true, bool no_signals = true);

    void SetFollowLocation(bool follow);
    void SetUrl(const std::string& url);
    void SetPost(bool post);
    // The body is passed with its length, so NUL bytes are sent too; libcurl
    // copies it.
    void SetPostBytes(std::string_view bytes);
    // An empty text connects directly, whatever the environment says.
    void SetProxy(const std::string& proxy);
    // Replaces the request header lines (one entry per line, in order).
    void SetHeaders(const std::vector<std::string>& lines);
    void SetCookieList(const std::string& cookies);
    // Peer verification on or off; host verification off only when given as
    // false.
    void SetSslVerify(bool verify_peer, std::optional<bool> verify_host = std::nullopt);
    void SetUserAgent(const std::string& user_agent);
    void SetTimeouts(const Timeouts& timeouts);
    // A PEM file of the certificates to trust instead of the system's store.
    void SetCaFile(const std::string& path);
    void SetCancel(std::stop_token cancel);
    // The most body bytes the caller will take; a longer answer is aborted
    // as soon as it passes the limit and leaves an empty body. 0: only the
    // buffer's own limit.
    void SetBodyLimit(std::size_t max_bytes) { body_limit_ = max_bytes; }

    // Runs the transfer; the libcurl result code. A cancelled transfer ends
    // with CURLE_ABORTED_BY_CALLBACK and an empty body.
    CURLcode Perform();

    std::string HeaderText() const;
    // The cookies the responses set, as "a=1;b=2" (see CookiesFromHeaders).
    std::string ResponseCookies() const;
    std::string BodyBytes() const;
    // The HTTP status of the last response; 0 when none arrived.
    long ResponseCode() const;
    bool Cancelled() const { return cancelled_; }
    // Why the transfer that ended with code failed (kind kNone when it
    // succeeded with a status below 400).
    RequestFailure Failure(CURLcode code) const;

    // Releases the handle, the buffers and the header list.
    void Cleanup();

    // How large the body buffer has grown (for tests of its growth).
    std::size_t BodyCapacity() const { return body_.capacity(); }

private:
    CURLcode RunUntilDoneOrStopped();

    static std::size_t OnWrite(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnRead(char* out, std::size_t size, std::size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    CURL* handle_ = nullptr;
    ByteBuffer body_;
    ByteBuffer upload_;
    ByteBuffer header_;
    curl_slist* header_list_ = nullptr;
    std::stop_token cancel_;
    bool cancelled_ = false;
    std::size_t body_limit_ = 0;
    bool too_large_ = false;
};

// The failure a libcurl result code and HTTP status stand for. A transfer
// aborted by a callback counts as cancelled when cancelled is set, as too
// large when too_large is set, and as a local failure otherwise.
RequestFailure ClassifyCurlResult(CURLcode code, long http_status, bool cancelled = false,
                                  bool too_large = false);

// The cookies set by a response header block: the name=value pair of every
// "Set-Cookie" line (attributes dropped), in header order, joined by ";"
// without spaces; "" when there is none.
std::string CookiesFromHeaders(std::string_view header_text);

}  // namespace kestrel::net
