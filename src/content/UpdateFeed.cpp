#include "content/UpdateFeed.h"

#include "content/Slogans.h"
#include "net/TextEncoding.h"
#include "platform/Files.h"

namespace kestrel::content {

std::string UpdateFeed::Text(const std::string& url) const { return net::ResponseText(session_.Download(url)); }

std::string UpdateFeed::LoadingPicture() const { return session_.Download(endpoints_.Url("update", "loading.gif")); }

bool UpdateFeed::ProbeServer() const { return session_.Reachable(endpoints_.Url("update_probe")); }

bool UpdateFeed::ClientUpdateNeeded(std::string_view client_version) const {
    return content::ClientUpdateNeeded(Text(endpoints_.Url("update", "/Client_update.xml")), client_version);
}

LauncherUpdate UpdateFeed::CheckLauncher(std::string_view launcher_version) const {
    return CheckLauncherUpdate(Text(endpoints_.Url("update", "/update.xml")), launcher_version);
}

NoticeBoard UpdateFeed::Notice() const { return ReadNotice(Text(endpoints_.Url("update", "notice.xml"))); }

std::vector<std::string> UpdateFeed::Slogans() const { return SplitSlogans(Text(endpoints_.Url("slogans"))); }

std::string UpdateFeed::Thanks() const { return Text(endpoints_.Url("thanks")); }

std::string ReadClientVersion(const platform::LauncherPaths& paths) {
    // The file holds one short version text; anything larger is not it.
    constexpr std::size_t kMaxClientVersionBytes = 64 * 1024;
    const auto bytes = platform::ReadFile(paths.client_version_file, kMaxClientVersionBytes);
    if (!bytes) return {};
    std::string version = net::Utf8ToText(*bytes);
    while (!version.empty() && (version.back() == '\n' || version.back() == '\r')) version.pop_back();
    return version;
}

}  // namespace kestrel::content
