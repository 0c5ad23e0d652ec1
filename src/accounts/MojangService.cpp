#include "accounts/MojangService.h"

#include "accounts/ServiceAnswers.h"
#include "net/JsonDocument.h"
#include "net/RequestHeaders.h"
#include "net/TextEncoding.h"

namespace kestrel::accounts {

namespace {

constexpr const char* kJsonHeader = "Content-Type: application/json";

// Position (from 1) of needle in text at or after from (from 1), 0 when
// absent.
std::size_t FindFrom(std::string_view text, std::string_view needle, std::size_t from) {
    const std::size_t at = text.find(needle, from - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string NotJsonResult(const std::string& text) {
    if (FindFrom(AsciiLower(text), "404 not found", 1) > 1) return kMojangApiError;
    if (text.size() >= 5 && FindFrom(text, "looks like something went wrong", 5) > 10) return kMojangServerError;
    return kMojangUnknown;
}

}  // namespace

std::string MojangAuthenticateBody(const std::string& account, const std::string& password) {
    net::JsonDocument body;
    body.Reset();
    body.SetJson("agent", "{}");
    body.SetText("agent.name", "Minecraft");
    body.SetText("agent.version", "1");
    body.SetText("username", account);
    body.SetText("password", password);
    body.SetText("requestUser", "true");
    return body.ToText();
}

std::string MojangAuthenticate(const net::HttpSession& session, const net::Endpoints& endpoints,
                               const std::string& account, const std::string& password,
                               std::vector<AccountRecord>& profiles) {
    profiles.clear();
    const std::string body = net::TextToUtf8(MojangAuthenticateBody(account, password));
    const std::string url = endpoints.Url("mojang_auth", "/authenticate");
    std::string text = net::Utf8ToText(Bounded(session.InetRequest(url, net::kPost, body, kJsonHeader)));
    if (text.empty()) text = net::Utf8ToText(Bounded(session.CurlRequest(url, net::kPost, body, kJsonHeader)));
    if (text.empty()) return kMojangUnknown;

    net::JsonDocument answer;
    if (!answer.Parse(text)) return NotJsonResult(text);
    const std::string error = answer.GetText("error");
    const std::string message = answer.GetText("errorMessage");
    if (error.empty() && message.empty()) {
        const std::string access_token = answer.GetText("accessToken");
        const std::string client_token = answer.GetText("clientToken");
        const std::size_t count = answer.Count("availableProfiles");
        for (std::size_t i = 0; i < count; ++i) {
            const std::string at = "availableProfiles[" + std::to_string(i) + "]";
            profiles.push_back(AccountRecord{answer.GetText(at + ".name"), answer.GetText(at + ".id"), access_token,
                                             client_token, ""});
        }
        return count == 0 ? kMojangNoProfiles : kMojangSuccess;
    }
    std::string unescaped = net::UnescapeUnicode(message);
    return error + ":" + (unescaped.empty() ? message : unescaped);
}

std::string MojangSignOut(const net::HttpSession& session, const net::Endpoints& endpoints,
                          const std::string& account, const std::string& password) {
    net::JsonDocument body;
    body.Reset();
    body.SetText("username", account);
    body.SetText("password", password);
    const std::string text = net::Utf8ToText(Bounded(session.InetRequest(
        endpoints.Url("mojang_auth", "/signout"), net::kPost, net::TextToUtf8(body.ToText()), kJsonHeader)));
    if (text.empty()) return kMojangSignedOut;
    net::JsonDocument answer;
    if (!answer.Parse(text)) answer.Reset();
    const std::string error = answer.GetText("error");
    if (error == "ForbiddenOperationException" || error == "IllegalArgumentException") {
        return answer.GetText("errorMessage");
    }
    return kMojangUnknown;
}

}  // namespace kestrel::accounts
