#pragma once

// ServerStatus is what the server status board shows of one Minecraft server:
// the answer to the server list ping plus the echo time. Every field is text,
// empty when the server did not say; the icon holds the PNG bytes of the
// server's favicon.
//
// Threading: a plain value.

#include <string>

namespace kestrel::servers {

struct ServerStatus {
    std::string version_name;    // version.name
    std::string players_max;     // players.max as decimal text
    std::string players_online;  // players.online as decimal text
    std::string icon;            // favicon after its last "base64,", decoded
    std::string description;     // message of the day, cleaned
    std::string echo;            // ICMP echo in ms, "-1" when blocked, "" when never measured
};

}  // namespace kestrel::servers
