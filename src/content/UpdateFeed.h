#pragma once

// UpdateFeed downloads what the update server offers at start-up and turns it
// into the launcher's answers: the loading picture, whether the server answers
// at all, the two update checks, the notice board, the slogans and the thanks
// text. Addresses come from the endpoints table (update, update_probe,
// slogans, thanks); every download is a plain GET with the session's
// time-outs, without retries, and a failed one reads as an empty file.
//
// Threading: holds references to a session and a table that outlive it; its
// calls block and may run on any thread.

#include <string>
#include <vector>

#include "content/Notice.h"
#include "content/UpdateCheck.h"
#include "net/Endpoints.h"
#include "net/HttpSession.h"
#include "platform/LauncherPaths.h"

namespace kestrel::content {

class UpdateFeed {
public:
    UpdateFeed(const net::HttpSession& session, const net::Endpoints& endpoints)
        : session_(session), endpoints_(endpoints) {}

    // The bytes of loading.gif; empty when it did not download.
    std::string LoadingPicture() const;
    // True when the update server's root answers.
    bool ProbeServer() const;
    bool ClientUpdateNeeded(std::string_view client_version) const;
    LauncherUpdate CheckLauncher(std::string_view launcher_version = kLauncherVersion) const;
    NoticeBoard Notice() const;
    std::vector<std::string> Slogans() const;
    // The thanks text of the about page.
    std::string Thanks() const;

private:
    std::string Text(const std::string& url) const;

    const net::HttpSession& session_;
    const net::Endpoints& endpoints_;
};

// The installed client package's version: KSTfiles/ClientVersion.ini decoded
// from UTF-8, without the line breaks an editor may have left at its end
// (else the version would never equal the published one and the update check
// would fire at every start); "" when the file is missing. The one place that
// file is read.
std::string ReadClientVersion(const platform::LauncherPaths& paths);

}  // namespace kestrel::content
