#pragma once

// RequestFailure says why a request failed, in terms a caller can act on
// without knowing the transport: whether to try again (a refused connection,
// a cut body, a server error), to give up (a missing file), or to stop
// quietly (a cancel). The kinds cover what libcurl reports today and what
// another transport (WinHTTP) can report the same way.
//
// Threading: a plain value.

#include <string>

namespace kestrel::net {

enum class FailureKind {
    kNone,        // the request succeeded
    kConnect,     // no connection: refused, unreachable, unknown host
    kTls,         // the TLS handshake or the certificate check failed
    kTimeout,     // a time-out ran out (connect, whole request or stall)
    kCut,         // the connection broke or closed before the answer was whole
    kHttpStatus,  // an answer arrived with an HTTP status of 400 or above
    kTooLarge,    // the answer was longer than the caller takes
    kCancelled,   // the caller's stop token ended the request
    kOther,       // anything else (a bad URL, a local failure)
};

struct RequestFailure {
    FailureKind kind = FailureKind::kNone;
    // The HTTP status of the last response; 0 when none arrived.
    long http_status = 0;
    // The transport's own words, for logs and error texts (English).
    std::string detail;

    bool failed() const { return kind != FailureKind::kNone; }
};

// Whether trying the same request again may help: a lost or refused
// connection, a time-out, a cut answer, an HTTP 5xx or 429. A 4xx other
// than 429 says the same thing a second time; a cancel is the caller's wish.
bool IsRetryable(const RequestFailure& failure);

// A short Chinese text of the failure for the player ("连接被拒绝",
// "服务器返回 HTTP 404", ...).
std::string FailureText(const RequestFailure& failure);

}  // namespace kestrel::net
