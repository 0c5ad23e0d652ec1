#pragma once

// Helpers shared by the requests of the sign-in: the bound on an answer's
// size, and the reason a service gives when it refuses a request.
//
// Threading: pure functions; any thread may call them.

#include <string>
#include <string_view>

#include "net/JsonDocument.h"

namespace kestrel::accounts {

// Every answer of the sign-in services is a few kilobytes of JSON (a skin a
// few kilobytes of PNG); an answer beyond this counts as no answer, so a
// runaway server cannot make the launcher parse, store or show megabytes.
inline constexpr std::size_t kMaxAnswerBytes = std::size_t{1} << 20;

// The bytes, or "" when they exceed kMaxAnswerBytes.
std::string Bounded(std::string bytes);

// The meaning of an Xbox Live XErr code (a decimal text), in Chinese; for an
// unknown code "XErr " and the code.
std::string XErrMeaning(std::string_view code);

// Why a service refused, from its JSON answer: the meaning of `XErr`, else
// the first non-empty of `errorMessage`, `error_description`, `Message` and
// `error`. Line breaks become spaces and the text is cut to a readable
// length (at a character boundary). "" when the answer gives no reason.
std::string ServiceReason(const net::JsonDocument& answer);

// The failure message, followed by ": " and the reason when there is one.
std::string WithReason(std::string_view failure, std::string_view reason);

// True for texts that start with "http://" or "https://" (any letter case).
bool IsWebAddress(std::string_view text);

// Lower-cases ASCII letters.
std::string AsciiLower(std::string_view text);

}  // namespace kestrel::accounts
