#pragma once

// One ICMP echo ("ping") to an IPv4 address. On Linux it goes over an
// unprivileged ICMP socket; where the system does not permit one (see
// net.ipv4.ping_group_range) the echo counts as blocked.
//
// Threading: free function; any thread.

#include <string>

namespace kestrel::platform {

// The reply time in whole milliseconds, or -1 when the echo could not be sent,
// was not answered within the time-out or is not permitted.
int IcmpEchoMs(const std::string& ipv4, int timeout_ms);

}  // namespace kestrel::platform
