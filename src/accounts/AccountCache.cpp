#include "accounts/AccountCache.h"

#include <cstdio>
#include <filesystem>

#include "net/KeyLookup.h"
#include "net/TextEncoding.h"
#include "platform/Files.h"

namespace kestrel::accounts {

namespace {

// A cache is seven short lines; a file far larger than that is not one.
constexpr std::size_t kMaxCacheBytes = std::size_t{1} << 20;

std::string Line(std::string_view key, std::string_view value) {
    std::string line(key);
    line += ":\"";
    line += value;
    line += '"';
    return line;
}

std::string Join(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

std::string TokenLayout(const AccountRecord& record, std::string_view type) {
    return Join({Line("NAME", record.name), Line("UUID", record.uuid), Line("TOKEN", record.access_token),
                 Line("REFRESH_TOKEN", record.refresh_token), Line("ACCOUNTTYPE", type)});
}

}  // namespace

std::string MicrosoftCacheText(const AccountRecord& record) { return TokenLayout(record, kTypeMicrosoft); }

std::string AuthlibCacheText(const AccountRecord& record) { return TokenLayout(record, kTypeAuthlib); }

std::string MojangCacheText(const AccountRecord& record, std::string_view account, std::string_view password) {
    return Join({Line("NAME", record.name), Line("UUID", record.uuid), Line("TOKEN", record.access_token),
                 Line("ACCOUNT", account), Line("PASSWORD", password), Line("ACCOUNTTYPE", kTypeMojang)});
}

std::string OfflineCacheText(std::string_view name) {
    return Join({Line("NAME", name), Line("UUID", ""), Line("TOKEN", ""), Line("REFRESH_TOKEN", ""),
                 Line("ACCOUNTTYPE", kTypeOffline)});
}

std::string CacheValue(std::string_view text, std::string_view key) {
    const std::string opening = std::string(key) + ":\"";
    for (std::size_t at = text.find(opening); at != std::string_view::npos; at = text.find(opening, at + 1)) {
        if (at != 0 && text[at - 1] != '\n') continue;
        const std::size_t start = at + opening.size();
        const std::size_t end = text.find('"', start);
        if (end == std::string_view::npos) return {};
        return std::string(text.substr(start, end - start));
    }
    return net::KeyLookup(text, opening, "\"");
}

CacheContents ParseAccountCache(std::string_view text) {
    CacheContents contents;
    contents.record.name = CacheValue(text, "NAME");
    contents.record.uuid = CacheValue(text, "UUID");
    contents.record.access_token = CacheValue(text, "TOKEN");
    contents.record.refresh_token = CacheValue(text, "REFRESH_TOKEN");
    contents.cached.text = std::string(text);
    contents.cached.name = contents.record.name;
    contents.cached.account_type = CacheValue(text, "ACCOUNTTYPE");
    contents.cached.account = CacheValue(text, "ACCOUNT");
    contents.cached.password = CacheValue(text, "PASSWORD");
    return contents;
}

std::string ReadAccountCache(const std::string& path) {
    const auto bytes = platform::ReadFile(path, kMaxCacheBytes);
    if (!bytes || bytes->empty()) return {};
    return net::Utf8ToText(*bytes);
}

Status WriteAccountCache(const std::string& path, std::string_view text) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) platform::CreateFolders(folder.string());
    return platform::WriteFileAtomically(path, net::TextToUtf8(text), kAccountCacheMode);
}

void DeleteAccountCache(const std::string& path) { std::remove(path.c_str()); }

}  // namespace kestrel::accounts
