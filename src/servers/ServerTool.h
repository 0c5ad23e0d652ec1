#pragma once

// ServerTool asks a Minecraft server for its status with the server list ping
// over TCP and measures its ICMP echo time, for the server status board.
//
// Every network step has a time-out (connect, send and the whole response
// each 5 s by default), so a server that accepts and stays silent ends the
// query with false in time. The response is read by its framing over as many
// receives as it takes, up to 1 MiB.
//
// A query can also be stopped: the connect, the send, every receive and the
// echo look at the query's stop token between short slices of their waits,
// so a stop request ends the query within a fraction of a second, with false
// and an empty record, however long its time-outs are.
//
// Threading: a query blocks its calling thread until it ends or its stop is
// requested (from any thread); the tool holds only its options, so threads
// may share it.

#include <stop_token>
#include <string>
#include <string_view>

#include "servers/ServerStatus.h"

namespace kestrel::servers {

// Why a query gave no status record.
enum class QueryFailure {
    kNone,          // the status arrived and parsed
    kBadAddress,    // no host name before the port
    kBadPort,       // a port that is not a number from 1 to 65535
    kNoSuchHost,    // the host name does not resolve to an IPv4 address
    kRefused,       // nothing listens at that port
    kTimedOut,      // connecting, sending or the response took too long
    kUnreachable,   // the connection failed for another reason
    kNotMinecraft,  // the server answered with no status response (or closed)
    kStopped,       // the query's stop was requested
};

struct QueryOptions {
    int connect_timeout_ms = 5000;
    int send_timeout_ms = 5000;
    int receive_timeout_ms = 5000;  // for the whole response
    int echo_timeout_ms = 10000;
};

class ServerTool {
public:
    explicit ServerTool(QueryOptions options = {}) : options_(options) {}

    // Queries "host" or "host:port" (port 25565 when none is given). True
    // when the status JSON arrived and parsed; the record is then filled. The
    // echo time is measured once the server was reached, so it is set even
    // when its answer did not parse. An invalid address, a failed connection
    // or a time-out leaves the record empty. A stop requested before the
    // query ends makes it false with the record empty too, the echo time
    // included: an echo cut short by the stop is no measurement.
    bool QueryServerStatus(std::string_view address, ServerStatus& record, std::stop_token stop = {}) const;

    // The same query, telling why it failed: kNone exactly when
    // QueryServerStatus would be true. The record is left as that one leaves
    // it.
    QueryFailure QueryServerStatusWithReason(std::string_view address, ServerStatus& record,
                                             std::stop_token stop = {}) const;

private:
    QueryOptions options_;
};

// The dotted IPv4 text of the host's first address, or "".
std::string ResolveHost(const std::string& host);

}  // namespace kestrel::servers
