#include "accounts/AccountCache.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "net/KeyLookup.h"
#include "accounts/PlayerName.h"
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

// The keys of the layouts, in their order.
constexpr std::array<std::string_view, 5> kTokenKeys = {"NAME", "UUID", "TOKEN", "REFRESH_TOKEN", "ACCOUNTTYPE"};
constexpr std::array<std::string_view, 6> kMojangKeys = {"NAME", "UUID", "TOKEN", "ACCOUNT", "PASSWORD", "ACCOUNTTYPE"};

// Splits a cache text into its keys and values when every line is
// `KEY:"value"` with nothing after the closing quote; nothing otherwise.
std::optional<std::vector<std::pair<std::string_view, std::string_view>>> Lines(std::string_view text) {
    std::vector<std::pair<std::string_view, std::string_view>> lines;
    for (;;) {
        const std::size_t end = text.find("\r\n");
        const std::string_view line = text.substr(0, end);
        const std::size_t colon = line.find(":\"");
        if (colon == std::string_view::npos || line.size() < colon + 3 || line.back() != '"') return std::nullopt;
        lines.emplace_back(line.substr(0, colon), line.substr(colon + 2, line.size() - colon - 3));
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + 2);
    }
}

template <std::size_t N>
bool HasKeys(const std::vector<std::pair<std::string_view, std::string_view>>& lines,
             const std::array<std::string_view, N>& keys) {
    if (lines.size() != N) return false;
    for (std::size_t i = 0; i < N; ++i) {
        if (lines[i].first != keys[i]) return false;
    }
    return true;
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

bool IsStorableCacheText(std::string_view text) {
    const auto lines = Lines(text);
    if (!lines) return false;
    for (const auto& [key, value] : *lines) {
        if (HasUnsafeCharacters(value)) return false;
    }
    const std::string_view type = lines->back().second;
    if (HasKeys(*lines, kMojangKeys)) return type == kTypeMojang;
    return HasKeys(*lines, kTokenKeys) && (type == kTypeMicrosoft || type == kTypeAuthlib || type == kTypeOffline);
}

bool IsKnownAccount(const CachedAccount& cached) {
    const std::string& type = cached.account_type;
    if (type == kTypeMicrosoft || type == kTypeMojang || type == kTypeOffline || type == kTypeAuthlib) return true;
    if (!type.empty()) return false;
    // No type at all: a file of an older launcher, or one cut short, which
    // has always been taken as a Microsoft account; it must at least have
    // one of the keys a cache starts with.
    const std::string_view text = cached.text;
    for (const std::string_view key : {"NAME:\"", "REFRESH_TOKEN:\""}) {
        for (std::size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
            if (at == 0 || text[at - 1] == '\n') return true;
        }
    }
    return false;
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
    if (!IsStorableCacheText(text)) {
        return Error{"the account cache cannot hold this text: a value holds a double quote or a control character, "
                     "or the lines are no layout of the cache"};
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) platform::CreateFolders(folder.string());
    return platform::WriteFileAtomically(path, net::TextToUtf8(text), kAccountCacheMode);
}

void DeleteAccountCache(const std::string& path) { std::remove(path.c_str()); }

}  // namespace kestrel::accounts
