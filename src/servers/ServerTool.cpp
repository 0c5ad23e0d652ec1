#include "servers/ServerTool.h"

#include <charconv>
#include <chrono>
#include <system_error>

#include "net/JsonDocument.h"
#include "net/TextEncoding.h"
#include "platform/IcmpEcho.h"
#include "platform/TcpConnection.h"
#include "servers/StatusProtocol.h"

namespace kestrel::servers {

namespace {

// Splits "host[:port]"; kBadAddress for an empty host, kBadPort for a port
// that is not a number from 1 to 65535.
QueryFailure SplitAddress(std::string_view address, std::string& host, std::uint16_t& port) {
    const std::size_t colon = address.find(':');
    host = std::string(address.substr(0, colon));
    if (host.empty()) return QueryFailure::kBadAddress;
    if (colon == std::string_view::npos) {
        port = 25565;
        return QueryFailure::kNone;
    }
    const std::string_view digits = address.substr(colon + 1);
    unsigned value = 0;
    const auto [end, problem] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (problem != std::errc() || end != digits.data() + digits.size() || value == 0 || value > 65535) {
        return QueryFailure::kBadPort;
    }
    port = static_cast<std::uint16_t>(value);
    return QueryFailure::kNone;
}

// The failure a step's error text stands for. TcpConnection says "timed out"
// and "stopped" in its own words and gives the system's text otherwise, so a
// refused connection is known by the system's text for ECONNREFUSED.
QueryFailure FailureOf(const std::string& error, QueryFailure otherwise) {
    if (error.ends_with("timed out")) return QueryFailure::kTimedOut;
    if (error.ends_with("stopped")) return QueryFailure::kStopped;
    if (error.ends_with(std::make_error_code(std::errc::connection_refused).message())) return QueryFailure::kRefused;
    return otherwise;
}

// Receives until the status packet is whole; kNone then, else why not: a
// time-out, a stop request, or a closed connection or malformed packet (no
// Minecraft server answers so).
QueryFailure ReceiveStatus(platform::TcpConnection& connection, int timeout_ms, const std::stop_token& stop,
                           std::string& json) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    std::string received;
    for (;;) {
        switch (ReadStatusPacket(received, json)) {
            case Framing::kComplete: return QueryFailure::kNone;
            case Framing::kMalformed: return QueryFailure::kNotMinecraft;
            case Framing::kIncomplete: break;
        }
        if (stop.stop_requested()) return QueryFailure::kStopped;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return QueryFailure::kTimedOut;
        auto bytes = connection.Receive(64 * 1024, static_cast<int>(left), stop);
        if (!bytes.ok()) return FailureOf(bytes.error(), QueryFailure::kNotMinecraft);
        if (bytes->empty()) return QueryFailure::kNotMinecraft;
        received += *bytes;
    }
}

}  // namespace

bool ServerTool::QueryServerStatus(std::string_view address, ServerStatus& record, std::stop_token stop) const {
    return QueryServerStatusWithReason(address, record, stop) == QueryFailure::kNone;
}

QueryFailure ServerTool::QueryServerStatusWithReason(std::string_view address, ServerStatus& record,
                                                     std::stop_token stop) const {
    record = ServerStatus{};
    std::string host;
    std::uint16_t port = 0;
    if (const QueryFailure split = SplitAddress(address, host, port); split != QueryFailure::kNone) return split;
    if (stop.stop_requested()) return QueryFailure::kStopped;
    const std::string ip = ResolveHost(host);
    if (ip.empty()) return stop.stop_requested() ? QueryFailure::kStopped : QueryFailure::kNoSuchHost;
    auto connection = platform::TcpConnection::Connect(ip, port, options_.connect_timeout_ms, stop);
    if (!connection.ok()) return FailureOf(connection.error(), QueryFailure::kUnreachable);
    std::string json;
    QueryFailure received = QueryFailure::kNone;
    if (const Status sent = connection.value().SendAll(StatusRequest(ip, port), options_.send_timeout_ms, stop);
        !sent.ok()) {
        // A peer that closes or resets the connection before the request
        // is in speaks no status protocol.
        received = FailureOf(sent.error(), QueryFailure::kNotMinecraft);
    } else {
        received = ReceiveStatus(connection.value(), options_.receive_timeout_ms, stop, json);
    }
    connection.value().Close();

    // A stopped query starts no echo: its caller no longer wants the answer.
    if (stop.stop_requested()) return QueryFailure::kStopped;

    // The server was reached, so the board shows it as online with its echo
    // time even when its answer turns out to be unusable.
    const int echo = platform::IcmpEchoMs(ip, options_.echo_timeout_ms, stop);
    // An echo cut short by the stop says nothing of the server; "-1" would
    // read as a blocked echo.
    if (stop.stop_requested()) return QueryFailure::kStopped;
    record.echo = std::to_string(echo);
    if (received != QueryFailure::kNone) return received;
    net::JsonDocument status;
    if (!status.Parse(net::Utf8ToText(json))) return QueryFailure::kNotMinecraft;
    FillStatus(status, record);
    return QueryFailure::kNone;
}

std::string ResolveHost(const std::string& host) { return platform::ResolveIpv4(host); }

}  // namespace kestrel::servers
