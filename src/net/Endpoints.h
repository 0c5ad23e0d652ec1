#pragma once

// Endpoints is the table of base URLs of every web service the launcher
// talks to. No request hard-wires an address: it takes the base URL of its
// service from this table and appends the path it always uses ("/authenticate",
// "/update.xml", ...). The defaults are the services' public HTTPS addresses;
// the file named by the environment variable KESTREL_ENDPOINTS may replace
// any of them with "name=url" lines (for tests and self-hosting). Unknown
// names, lines without "=" and empty URLs are ignored; a missing file changes
// nothing.
//
// Names: mojang_auth, microsoft_login, xbox_user, xsts, minecraft_services,
// session, update (a folder URL ending in "/"), update_probe, slogans, thanks,
// version_manifest (the version catalogue), fabric_meta and quilt_meta (the
// loaders' metadata services), java_runtimes (Mojang's Java runtime index).
//
// A line whose name is itself an origin ("https://libraries.minecraft.net=
// http://127.0.0.1:8080/libraries") is kept as a rule for rewriting the URLs
// of downloads (see UrlRewriter.h), in the order of the file.
//
// Threading: a plain value; read it from any thread once built.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::net {

// One rewriting rule: a URL that starts with origin followed by "/" or the
// end gets base in place of origin. Neither ends in "/".
struct OriginRule {
    std::string origin;
    std::string base;
};

class Endpoints {
public:
    // The public defaults.
    static Endpoints Defaults();
    // The defaults with the file of $KESTREL_ENDPOINTS applied, if it is set.
    static Endpoints FromEnvironment();

    // Applies "name=url" lines (LF or CR LF; spaces around both trimmed).
    void Override(std::string_view lines);

    // The base URL of a service; "" for an unknown name.
    std::string Base(std::string_view name) const;
    // The base URL followed by the path, exactly.
    std::string Url(std::string_view name, std::string_view path = {}) const { return Base(name) + std::string(path); }

    // The origin lines of the endpoints file, in its order.
    const std::vector<OriginRule>& Origins() const { return origins_; }

private:
    std::map<std::string, std::string, std::less<>> urls_;
    std::vector<OriginRule> origins_;
};

}  // namespace kestrel::net
