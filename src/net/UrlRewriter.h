#pragma once

// UrlRewriter turns the absolute URLs of manifests into the URLs the launcher
// actually requests, in two steps: first the chosen mirror's built-in table
// (none for the official servers; BMCLAPI serves the official paths under its
// own bases), then the origin lines of the endpoints file, applied to the
// result of the first step, so that tests and self-hosters can send the
// official hosts and the mirror's host alike wherever they want.
//
// A rule matches when the URL starts with its origin followed by "/" or the
// end, and the matched origin is replaced by the rule's base. Within a step
// the longest matching origin wins (so a more specific path beats its host),
// and at most one rule of each step applies.
//
// Official(url) applies only the second step: it is where a file is fetched
// from when the mirror keeps failing it.
//
// Threading: a plain value; read it from any thread once built.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/Endpoints.h"

namespace kestrel::net {

enum class Mirror { kOfficial, kBmclapi };

// "official" or "bmclapi"; nothing for another name.
std::optional<Mirror> MirrorFromName(std::string_view name);
std::string_view MirrorName(Mirror mirror);

class UrlRewriter {
public:
    // No mirror and no local rules: every URL stays as it is.
    UrlRewriter() = default;
    UrlRewriter(Mirror mirror, std::vector<OriginRule> local_rules);
    // The mirror's table and the origin lines of the endpoints.
    static UrlRewriter ForMirror(Mirror mirror, const Endpoints& endpoints);

    // The mirror's built-in table.
    static const std::vector<OriginRule>& MirrorTable(Mirror mirror);

    // Both steps.
    std::string Rewrite(std::string_view url) const;
    // The second step alone.
    std::string Official(std::string_view url) const;

    Mirror mirror() const { return mirror_; }

private:
    Mirror mirror_ = Mirror::kOfficial;
    std::vector<OriginRule> local_rules_;
};

// The URL with the longest matching rule of the list applied; unchanged when
// none matches.
std::string ApplyOriginRules(const std::vector<OriginRule>& rules, std::string_view url);

}  // namespace kestrel::net
