#pragma once

// The header lines each request path of the HTTP session sends. The three
// paths complete the caller's extra headers differently, and the services
// have been talked to with exactly these lines for years, so the rules are
// kept as they are: InetRequest looks for a header name with its letter case
// and always adds a content type; ComRequest ignores letter case, adds the
// user agent and a content type for POST only, capitalises every header name
// and never sends "Connection: keep-alive" itself; CurlRequest adds nothing.
//
// A header is "present" when a line starts with its name and a colon. A line
// that would carry a bare CR, LF or NUL into the request is dropped, so no
// value can smuggle a header of its own into a request.
//
// Threading: pure functions.

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::net {

enum Method : int { kGet = 0, kPost = 1 };

inline constexpr std::string_view kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
inline constexpr std::string_view kAcceptHeader = "Accept: */*";
inline constexpr std::string_view kLanguageHeader = "Accept-Language: zh-cn";
inline constexpr std::string_view kContentTypeHeader = "Content-Type: application/x-www-form-urlencoded";
inline constexpr std::string_view kRefererPrefix = "Referer: ";

// Splits a header text at CR LF, dropping empty lines and lines with a bare
// CR, LF or NUL.
std::vector<std::string> SplitHeaderLines(std::string_view text);

// InetRequest's completed header text: Accept, Referer, Accept-Language and
// Content-Type appended in that order when absent (names compared with their
// letter case).
std::string CompleteInetHeaders(std::string_view url, std::string_view extra);

// ComRequest's completed header text before capitalisation: Accept, Referer,
// Accept-Language, User-Agent and (POST only) Content-Type, each appended
// after a CR LF when absent (names compared without regard to letter case).
std::string CompleteComHeaders(std::string_view url, int method, std::string_view extra);

// Every line with a ":" rewritten so that each "-"-separated word of its name
// starts with an upper-case letter; lines without ":" dropped; joined by
// CR LF.
std::string CapitaliseHeaderNames(std::string_view text);

// The header lines ComRequest sets, as "Name: value" with name and value
// trimmed of spaces, in order; "Connection: keep-alive" is left out.
std::vector<std::string> ComHeaderLines(std::string_view url, int method, std::string_view extra);

}  // namespace kestrel::net
