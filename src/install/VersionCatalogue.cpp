#include "install/VersionCatalogue.h"

#include "install/RewrittenFetch.h"
#include "net/JsonDocument.h"

namespace kestrel::install {

namespace {

std::string TextOf(const net::JsonValue& entry, std::string_view name) {
    const net::JsonValue* value = entry.Find(name);
    return value && value->kind() == net::JsonKind::kString ? value->text() : std::string();
}

// The catalogue is some hundreds of KB; anything far larger is not one.
constexpr std::size_t kLargestCatalogue = std::size_t{64} << 20;

}  // namespace

Result<VersionCatalogue> VersionCatalogue::Parse(std::string_view text, const std::string& source) {
    net::JsonDocument document;
    const net::JsonValue* versions = document.Parse(text) ? document.Find("versions") : nullptr;
    if (!versions || !versions->is_array()) return Error{"版本列表无法读取: " + source};
    VersionCatalogue catalogue;
    for (std::size_t i = 0; i < versions->size(); ++i) {
        const net::JsonValue& entry = versions->at(i);
        if (!entry.is_object()) continue;
        CatalogueEntry item{TextOf(entry, "id"),   TextOf(entry, "type"),        TextOf(entry, "url"),
                            TextOf(entry, "time"), TextOf(entry, "releaseTime"), TextOf(entry, "sha1")};
        if (item.id.empty() || item.url.empty()) continue;
        catalogue.versions.push_back(std::move(item));
    }
    return catalogue;
}

Result<VersionCatalogue> VersionCatalogue::Fetch(const std::string& url, const net::UrlRewriter& rewriter,
                                                 const net::HttpOptions& http) {
    net::HttpOptions options = http;
    if (options.max_body_bytes == 0) options.max_body_bytes = kLargestCatalogue;
    const net::HttpSession session(options);
    const RewrittenReply fetched = FetchRewritten(session, url, rewriter);
    const net::HttpReply& reply = fetched.reply;
    const std::string& used = fetched.url;
    if (reply.failure.failed()) return Error{"无法获取版本列表 (" + used + "): " + net::FailureText(reply.failure)};
    return Parse(reply.body, used);
}

const CatalogueEntry* VersionCatalogue::Find(std::string_view id) const {
    for (const CatalogueEntry& entry : versions) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

}  // namespace kestrel::install
