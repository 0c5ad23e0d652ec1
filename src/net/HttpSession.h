#pragma once

// HttpSession is how the launcher talks to web services. Its three request
// functions share one calling convention (URL, method code, body text, extra
// header lines separated by CR LF) and return the response body as bytes, or
// empty bytes when the request failed or nothing arrived. They differ only in
// the header lines they add (see RequestHeaders.h) and in their time-outs:
//
//   InetRequest  adds Accept, Referer, Accept-Language, Content-Type (letter
//                case matters when it looks for them) and sends the user agent;
//                connect time-out 15 s, whole request 60 s.
//   CurlRequest  adds nothing and sends no user agent; 15 s / 60 s.
//   ComRequest   adds Accept, Referer, Accept-Language, User-Agent and, for
//                POST, Content-Type (letter case ignored), capitalises header
//                names; connect time-out 15 s, and 15 s without a byte ends it.
//
// Every path verifies TLS certificates (the system's store, or the CA file of
// the options), follows redirects (never from https to http), connects
// directly and sends no cookies. Nothing here interprets a body: callers
// decode it with ResponseText and parse it themselves.
//
// Threading: a session holds only its options; it can be shared by threads,
// and each call owns its transfer. Requesting a stop on the options' stop
// token ends every running call of the session at once with an empty body.

#include <stop_token>
#include <string>
#include <string_view>

#include "net/RequestHeaders.h"
#include "net/Transfer.h"

namespace kestrel::net {

struct HttpOptions {
    Timeouts inet{15000, 60000, 0};
    Timeouts curl{15000, 60000, 0};
    Timeouts com{15000, 0, 15000};
    // Plain downloads (update feed, slogans, pictures) use the times of
    // InetRequest.
    Timeouts download{15000, 60000, 0};
    // A PEM file of trusted certificates; empty for the system's store.
    std::string ca_file;
    std::stop_token cancel;
    // The longest answer body a caller takes (0: no limit of its own); a
    // longer one ends the request at once and gives empty bytes.
    std::size_t max_body_bytes = 0;
};

// A request's answer together with why it failed. body is exactly what the
// function of the same name without "Reply" returns; failure.kind is kNone
// for an answer with a status below 400.
struct HttpReply {
    std::string body;
    RequestFailure failure;
};

class HttpSession {
public:
    explicit HttpSession(HttpOptions options = {}) : options_(std::move(options)) {}

    std::string InetRequest(const std::string& url, int method, std::string_view body,
                            std::string_view extra_headers) const;
    std::string CurlRequest(const std::string& url, int method, std::string_view body,
                            std::string_view extra_headers) const;
    std::string ComRequest(const std::string& url, int method, std::string_view body,
                           std::string_view extra_headers) const;

    // The same requests, with the reason of a failure beside the body.
    HttpReply InetReply(const std::string& url, int method, std::string_view body,
                        std::string_view extra_headers) const;
    HttpReply CurlReply(const std::string& url, int method, std::string_view body,
                        std::string_view extra_headers) const;
    HttpReply ComReply(const std::string& url, int method, std::string_view body,
                       std::string_view extra_headers) const;
    HttpReply DownloadReply(const std::string& url) const;

    // A plain GET without headers of ours, for files of the update server.
    // An answer with an HTTP error status (400 and above) or one cut short
    // counts as a failed download and gives empty bytes, so an error page or
    // half a file is never taken for the file.
    std::string Download(const std::string& url) const;

    // True when the server at the URL answered at all (any HTTP status).
    bool Reachable(const std::string& url) const;

    const HttpOptions& options() const { return options_; }

private:
    // Prepares a transfer with the session's common settings.
    bool Prepare(Transfer& transfer, const std::string& url, int method, std::string_view body,
                 const Timeouts& timeouts) const;

    HttpOptions options_;
};

// The body decoded from UTF-8 as program text (ill-formed bytes become "?");
// empty bytes give "".
std::string ResponseText(std::string_view bytes);

}  // namespace kestrel::net
