#include "servers/StatusProtocol.h"

#include "net/TextEncoding.h"

namespace kestrel::servers {

namespace {

void RemoveAll(std::string& text, char unwanted) { std::erase(text, unwanted); }

bool IsFormattingCode(char c) {
    const char lower = static_cast<char>(c | 0x20);
    return (c >= '0' && c <= '9') || (lower >= 'a' && lower <= 'f') || lower == 'k' || lower == 'l' ||
           lower == 'm' || lower == 'n' || lower == 'o' || lower == 'r';
}

// Removes the section sign (U+00A7, C2 A7 in UTF-8) with the code letter after
// it; a section sign followed by anything else stays.
std::string WithoutFormattingCodes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\xC2' && i + 2 < text.size() && text[i + 1] == '\xA7' && IsFormattingCode(text[i + 2])) {
            i += 2;
            continue;
        }
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace

std::string VarInt(std::uint32_t value) {
    std::string bytes;
    do {
        unsigned char group = value & 0x7F;
        value >>= 7;
        if (value != 0) group |= 0x80;
        bytes.push_back(static_cast<char>(group));
    } while (value != 0);
    return bytes;
}

std::optional<std::uint32_t> ReadVarInt(std::string_view text, std::size_t& pos) {
    std::uint32_t value = 0;
    for (int shift = 0, count = 0; count < 5; ++count, shift += 7) {
        if (pos >= text.size()) return std::nullopt;
        const auto byte = static_cast<unsigned char>(text[pos++]);
        value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return value;
    }
    return std::nullopt;
}

std::string StatusRequest(const std::string& ipv4, std::uint16_t port) {
    std::string fields = VarInt(0) + VarInt(1) + VarInt(static_cast<std::uint32_t>(ipv4.size())) + ipv4;
    fields.push_back(static_cast<char>(port >> 8));
    fields.push_back(static_cast<char>(port & 0xFF));
    fields += VarInt(1);
    return VarInt(static_cast<std::uint32_t>(fields.size())) + fields + std::string("\x01\x00", 2);
}

Framing ReadStatusPacket(std::string_view received, std::string& json, std::size_t cap) {
    std::size_t pos = 0;
    const auto length = ReadVarInt(received, pos);
    if (!length) return received.size() >= 5 ? Framing::kMalformed : Framing::kIncomplete;
    if (*length == 0 || *length > cap) return Framing::kMalformed;
    if (received.size() - pos < *length) return Framing::kIncomplete;
    const std::string_view packet = received.substr(pos, *length);
    std::size_t at = 0;
    const auto id = ReadVarInt(packet, at);
    if (!id || *id != 0) return Framing::kMalformed;
    const auto text_length = ReadVarInt(packet, at);
    if (!text_length || *text_length > packet.size() - at) return Framing::kMalformed;
    json.assign(packet.substr(at, *text_length));
    return Framing::kComplete;
}

std::string CleanDescription(const net::JsonDocument& status) {
    std::string description =
        status.Exists("description.text") ? status.GetText("description.text") : status.GetText("description");
    description = WithoutFormattingCodes(description);
    RemoveAll(description, '?');
    const std::size_t extras = status.Count("description.extra");
    for (std::size_t i = 0; i < extras; ++i) {
        std::string piece = status.GetText("description.extra[" + std::to_string(i) + "].text");
        RemoveAll(piece, '"');
        description += piece;
    }
    RemoveAll(description, '"');
    return description;
}

void FillStatus(const net::JsonDocument& status, ServerStatus& record) {
    record.version_name = status.GetText("version.name");
    record.players_online = status.GetText("players.online");
    record.players_max = status.GetText("players.max");
    const std::string favicon = status.GetText("favicon");
    const std::size_t marker = favicon.rfind("base64,");
    record.icon = marker == std::string::npos ? std::string() : net::Base64Decode(favicon.substr(marker + 7));
    record.description = CleanDescription(status);
}

}  // namespace kestrel::servers
