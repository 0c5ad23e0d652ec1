#include "settings/SettingsRecord.h"

namespace kestrel::settings {

std::string_view DownloadSourceText(DownloadSource source) {
    return source == DownloadSource::kBmclapi ? "bmclapi" : "official";
}

net::Mirror MirrorOf(DownloadSource source) {
    return source == DownloadSource::kBmclapi ? net::Mirror::kBmclapi : net::Mirror::kOfficial;
}

DownloadSource DownloadSourceFromText(std::string_view text) {
    return text == "bmclapi" ? DownloadSource::kBmclapi : DownloadSource::kOfficial;
}

}  // namespace kestrel::settings
