#include "platform/IcmpEcho.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace kestrel::platform {

int IcmpEchoMs(const std::string& ipv4, int timeout_ms, std::stop_token stop) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (::inet_pton(AF_INET, ipv4.c_str(), &address.sin_addr) != 1) return -1;
    if (stop.stop_requested()) return -1;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) return -1;

    // The kernel fills in the identifier and the checksum of an echo sent
    // over a ping socket; the request carries no payload.
    icmphdr request{};
    request.type = ICMP_ECHO;
    request.code = 0;
    request.un.echo.sequence = htons(1);
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::milliseconds(timeout_ms);
    if (::sendto(fd, &request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0) {
        ::close(fd);
        return -1;
    }
    int result = -1;
    for (;;) {
        if (stop.stop_requested()) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) break;
        // With a stop possible the wait goes in slices, so a stop request is
        // seen within one; a slice that ends without a reply goes on waiting
        // until the deadline.
        int slice = static_cast<int>(left.count());
        if (stop.stop_possible() && slice > kEchoStopSliceMs) slice = kEchoStopSliceMs;
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, slice);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) break;
        if (ready == 0) {
            if (slice < static_cast<int>(left.count())) continue;
            break;
        }
        unsigned char reply[512];
        const ssize_t got = ::recv(fd, reply, sizeof reply, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got < static_cast<ssize_t>(sizeof(icmphdr))) break;
        icmphdr header;
        std::memcpy(&header, reply, sizeof header);
        if (header.type != ICMP_ECHOREPLY || header.un.echo.sequence != htons(1)) continue;
        result = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
        break;
    }
    ::close(fd);
    return result;
}

}  // namespace kestrel::platform
