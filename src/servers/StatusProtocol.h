#pragma once

// The bytes of the server list ping: the handshake and status request the
// launcher sends, the framing of the status response it reads, and what it
// takes from the status JSON.
//
// A response is one packet: its length (VarInt), packet id 0, the JSON text's
// length (VarInt) and exactly that many bytes of UTF-8 JSON. It may arrive in
// any number of TCP segments; a packet longer than the cap is refused rather
// than buffered.
//
// Threading: pure functions.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/JsonDocument.h"
#include "servers/ServerStatus.h"

namespace kestrel::servers {

inline constexpr std::size_t kMaxStatusPacket = std::size_t{1} << 20;

// The protocol's variable-length integer: 7 bits a byte, least significant
// group first, high bit set on every byte but the last.
std::string VarInt(std::uint32_t value);

// Reads a VarInt at text[pos] and advances pos. Nothing when the text ends
// inside it or it runs longer than five bytes.
std::optional<std::uint32_t> ReadVarInt(std::string_view text, std::size_t& pos);

// The handshake (protocol version 1, next state status) for the dotted
// address and the port, the port as an unsigned 16-bit big-endian number,
// followed by the status request 01 00.
std::string StatusRequest(const std::string& ipv4, std::uint16_t port);

// How far a status response has arrived.
enum class Framing { kIncomplete, kComplete, kMalformed };

// Looks at the bytes received so far. When they hold a whole packet, json
// receives its JSON text. A packet with an id other than 0, a string longer
// than its packet, or a length over the cap is malformed.
Framing ReadStatusPacket(std::string_view received, std::string& json, std::size_t cap = kMaxStatusPacket);

// The message of the day as the board shows it: description.text (or the
// description itself when it is a text) without formatting codes and question
// marks, then the texts of description.extra, all without double quotes.
std::string CleanDescription(const net::JsonDocument& status);

// Fills every field but the echo time from a parsed status JSON.
void FillStatus(const net::JsonDocument& status, ServerStatus& record);

}  // namespace kestrel::servers
