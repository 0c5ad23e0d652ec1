#include "runtimes/RemoteFileOf.h"

#include <charconv>

namespace kestrel::runtimes {

namespace {

bool IsHexSha1(const std::string& text) {
    if (text.size() != 40) return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

bool IsUsableUrl(const std::string& url) {
    if (!url.starts_with("https://") && !url.starts_with("http://")) return false;
    for (const char c : url) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) return false;
    }
    return true;
}

}  // namespace

std::optional<RemoteFile> RemoteFileOf(const net::JsonValue* object) {
    if (!object || !object->is_object()) return std::nullopt;
    RemoteFile file;
    if (const net::JsonValue* url = object->Find("url"); url && url->kind() == net::JsonKind::kString) {
        file.url = url->text();
    }
    if (!IsUsableUrl(file.url)) return std::nullopt;
    if (const net::JsonValue* sha1 = object->Find("sha1"); sha1 && sha1->kind() != net::JsonKind::kNull) {
        if (sha1->kind() != net::JsonKind::kString || !IsHexSha1(sha1->text())) return std::nullopt;
        file.sha1 = sha1->text();
        for (char& c : file.sha1) {
            if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (const net::JsonValue* size = object->Find("size"); size && size->kind() != net::JsonKind::kNull) {
        if (size->kind() != net::JsonKind::kNumber) return std::nullopt;
        const std::string& lexeme = size->text();
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(lexeme.data(), lexeme.data() + lexeme.size(), value);
        if (error != std::errc() || end != lexeme.data() + lexeme.size()) return std::nullopt;
        file.size = value;
    }
    return file;
}

}  // namespace kestrel::runtimes
