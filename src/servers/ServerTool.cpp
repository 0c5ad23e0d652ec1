#include "servers/ServerTool.h"

#include <charconv>
#include <chrono>

#include "net/JsonDocument.h"
#include "net/TextEncoding.h"
#include "platform/IcmpEcho.h"
#include "platform/TcpConnection.h"
#include "servers/StatusProtocol.h"

namespace kestrel::servers {

namespace {

// Splits "host[:port]"; false for an empty host or a port that is not a
// number from 1 to 65535.
bool SplitAddress(std::string_view address, std::string& host, std::uint16_t& port) {
    const std::size_t colon = address.find(':');
    host = std::string(address.substr(0, colon));
    if (host.empty()) return false;
    if (colon == std::string_view::npos) {
        port = 25565;
        return true;
    }
    const std::string_view digits = address.substr(colon + 1);
    unsigned value = 0;
    const auto [end, problem] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (problem != std::errc() || end != digits.data() + digits.size() || value == 0 || value > 65535) return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

// Receives until the status packet is whole; false on a time-out, a closed
// connection, a malformed packet or a stop request.
bool ReceiveStatus(platform::TcpConnection& connection, int timeout_ms, const std::stop_token& stop,
                   std::string& json) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    std::string received;
    for (;;) {
        switch (ReadStatusPacket(received, json)) {
            case Framing::kComplete: return true;
            case Framing::kMalformed: return false;
            case Framing::kIncomplete: break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || stop.stop_requested()) return false;
        auto bytes = connection.Receive(64 * 1024, static_cast<int>(left), stop);
        if (!bytes.ok() || bytes->empty()) return false;
        received += *bytes;
    }
}

}  // namespace

bool ServerTool::QueryServerStatus(std::string_view address, ServerStatus& record, std::stop_token stop) const {
    record = ServerStatus{};
    std::string host;
    std::uint16_t port = 0;
    if (!SplitAddress(address, host, port)) return false;
    if (stop.stop_requested()) return false;
    const std::string ip = ResolveHost(host);
    if (ip.empty()) return false;
    auto connection = platform::TcpConnection::Connect(ip, port, options_.connect_timeout_ms, stop);
    if (!connection.ok()) return false;
    std::string json;
    const bool received =
        connection.value().SendAll(StatusRequest(ip, port), options_.send_timeout_ms, stop).ok() &&
        ReceiveStatus(connection.value(), options_.receive_timeout_ms, stop, json);
    connection.value().Close();

    // A stopped query starts no echo: its caller no longer wants the answer.
    if (stop.stop_requested()) return false;

    // The server was reached, so the board shows it as online with its echo
    // time even when its answer turns out to be unusable.
    const int echo = platform::IcmpEchoMs(ip, options_.echo_timeout_ms, stop);
    // An echo cut short by the stop says nothing of the server; "-1" would
    // read as a blocked echo.
    if (stop.stop_requested()) return false;
    record.echo = std::to_string(echo);
    if (!received) return false;
    net::JsonDocument status;
    if (!status.Parse(net::Utf8ToText(json))) return false;
    FillStatus(status, record);
    return true;
}

std::string ResolveHost(const std::string& host) { return platform::ResolveIpv4(host); }

}  // namespace kestrel::servers
