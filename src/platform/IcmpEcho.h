#pragma once

// One ICMP echo ("ping") to an IPv4 address. On Linux it goes over an
// unprivileged ICMP socket; where the system does not permit one (see
// net.ipv4.ping_group_range) the echo counts as blocked.
//
// The wait for the reply looks at the stop token every kEchoStopSliceMs
// milliseconds while a stop is possible, so a stop request ends it within a
// slice; the echo then counts as unanswered. Callers that pass a token tell a
// stopped echo from a blocked one by asking the token.
//
// Threading: free function; any thread. The stop token may be requested from
// any thread.

#include <stop_token>
#include <string>

namespace kestrel::platform {

// How long the echo waits at most before it looks at its stop token again.
inline constexpr int kEchoStopSliceMs = 50;

// The reply time in whole milliseconds, or -1 when the echo could not be sent,
// was not answered within the time-out, is not permitted or the stop was
// requested first.
int IcmpEchoMs(const std::string& ipv4, int timeout_ms, std::stop_token stop = {});


}  // namespace kestrel::platform
