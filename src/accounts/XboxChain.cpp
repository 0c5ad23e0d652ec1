#include "accounts/XboxChain.h"

#include "accounts/PlayerName.h"
#include "accounts/ServiceAnswers.h"
#include "net/JsonDocument.h"
#include "net/RequestHeaders.h"

namespace kestrel::accounts {

namespace {

// Fixed values of the Xbox Live protocol.
constexpr const char* kXboxSiteName = "user.auth.xboxlive.com";
constexpr const char* kXboxRelyingParty = "http://auth.xboxlive.com";
constexpr const char* kMinecraftRelyingParty = "rp://api.minecraftservices.com/";

constexpr const char* kXboxHeaders =
    "Accept: application/json\r\nContent-Type: application/json\r\nx-xbl-contract-version: 1";
constexpr const char* kXstsHeaders = "Content-Type: application/json";
constexpr const char* kLoginHeaders = "Content-Type: application/json\r\nAccept: application/json";

// Why a profile answer without a name or id failed when the service said
// nothing: the account does not own the game.
constexpr const char* kNoProfileReason = "该账户没有Minecraft档案,请确认已购买游戏";

}  // namespace

std::string XboxUserBody(const std::string& microsoft_access_token) {
    net::JsonDocument body;
    body.SetText("Properties.AuthMethod", "RPS");
    body.SetText("Properties.SiteName", kXboxSiteName);
    body.SetText("Properties.RpsTicket", "d=" + microsoft_access_token);
    body.SetText("RelyingParty", kXboxRelyingParty);
    body.SetText("TokenType", "JWT");
    return body.ToText();
}

std::string XstsBody(const std::string& user_token) {
    net::JsonDocument body;
    body.SetText("Properties.SandboxId", "RETAIL");
    body.SetText("Properties.UserTokens[0]", user_token);
    body.SetText("RelyingParty", kMinecraftRelyingParty);
    body.SetText("TokenType", "JWT");
    return body.ToText();
}

std::string MinecraftLoginBody(const std::string& user_hash, const std::string& xsts_token) {
    net::JsonDocument body;
    body.SetText("identityToken", "XBL3.0 x=" + user_hash + ";" + xsts_token);
    return body.ToText();
}

std::string RunXboxChain(const net::HttpSession& session, const net::Endpoints& endpoints,
                         const std::string& microsoft_access_token, const std::string& microsoft_refresh_token,
                         const SignInReport& report, AccountRecord* record) {
    const auto progress = [&](const char* message) {
        if (report) report(nullptr, 0, message);
    };
    const auto fail = [&](const char* failure, const net::JsonDocument& answer) {
        const std::string message = WithReason(failure, ServiceReason(answer));
        if (report) report(nullptr, 1, message);
        return message;
    };
    net::JsonDocument answer;

    progress(kXboxProgress);
    const std::string user_answer = Bounded(session.CurlRequest(endpoints.Url("xbox_user", "/user/authenticate"),
                                                                net::kPost, XboxUserBody(microsoft_access_token),
                                                                kXboxHeaders));
    if (!answer.Parse(user_answer)) answer.Reset();
    const std::string user_token = answer.GetText("Token");
    if (user_token.empty()) return fail(kXboxFailed, answer);

    progress(kXstsProgress);
    const std::string xsts_answer = net::ResponseText(Bounded(session.CurlRequest(
        endpoints.Url("xsts", "/xsts/authorize"), net::kPost, XstsBody(user_token), kXstsHeaders)));
    if (!answer.Parse(xsts_answer)) answer.Reset();
    const std::string xsts_token = answer.GetText("Token");
    const std::string user_hash = answer.GetText("DisplayClaims.xui[0].uhs");
    if (xsts_token.empty() || user_hash.empty()) return fail(kXstsFailed, answer);

    progress(kLoginProgress);
    const std::string login_answer = net::ResponseText(Bounded(
        session.ComRequest(endpoints.Url("minecraft_services", "/authentication/login_with_xbox"), net::kPost,
                           MinecraftLoginBody(user_hash, xsts_token), kLoginHeaders)));
    if (!answer.Parse(login_answer)) answer.Reset();
    const std::string minecraft_token = answer.GetText("access_token");
    if (minecraft_token.empty()) return fail(kLoginFailed, answer);

    progress(kProfileProgress);
    const std::string profile_answer = net::ResponseText(
        Bounded(session.InetRequest(endpoints.Url("minecraft_services", "/minecraft/profile"), net::kGet, "",
                                    "Authorization: Bearer " + minecraft_token)));
    const bool profile_parsed = answer.Parse(profile_answer);
    if (!profile_parsed) answer.Reset();
    AccountRecord finished{answer.GetText("name"), answer.GetText("id"), minecraft_token, "",
                           microsoft_refresh_token};
    // Without a name and an id there is no profile to play with: the game
    // would start nameless, and the cache would remember a useless account.
    if (finished.name.empty() || finished.uuid.empty()) {
        std::string reason = ServiceReason(answer);
        if (reason.empty() && profile_parsed) reason = kNoProfileReason;
        const std::string message = WithReason(kProfileFailed, reason);
        if (report) report(nullptr, 1, message);
        return message;
    }
    // A name the game would not take online, or one the cache could not
    // keep (a quote, a line end), is no profile to play with either.
    if (const std::string problem = OnlineNameProblem(finished.name); !problem.empty()) {
        const std::string message = WithReason(kProfileFailed, problem);
        if (report) report(nullptr, 1, message);
        return message;
    }

    if (report) {
        report(&finished, 0, "");
    } else if (record) {
        *record = finished;
    }
    return {};
}

}  // namespace kestrel::accounts
