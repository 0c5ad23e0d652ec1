#include "accounts/SkinFetch.h"

#include "accounts/ServiceAnswers.h"
#include "net/JsonDocument.h"
#include "net/RequestHeaders.h"
#include "net/TextEncoding.h"
#include "skins/PngCodec.h"

namespace kestrel::accounts {

bool IsProfileId(const std::string& uuid) {
    if (uuid.size() != 32) return false;
    for (const char c : uuid) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) return false;
    }
    return true;
}

std::string FetchSkin(const net::HttpSession& session, const net::Endpoints& endpoints, const std::string& uuid) {
    if (!IsProfileId(uuid)) return {};
    net::JsonDocument profile;
    const std::string profile_text = net::ResponseText(Bounded(session.InetRequest(
        endpoints.Url("session", "/session/minecraft/profile/" + uuid), net::kGet, "", "")));
    if (!profile.Parse(profile_text)) return {};
    std::string decoded = net::Base64Decode(profile.GetText("properties[0].value"));
    // The decoded bytes are taken as text, which ends at a zero byte.
    decoded = decoded.substr(0, decoded.find('\0'));
    net::JsonDocument textures;
    if (!textures.Parse(decoded)) return {};
    const std::string url = textures.GetText("textures.SKIN.url");
    if (!IsWebAddress(url)) return {};
    std::string skin = Bounded(session.InetRequest(url, net::kGet, "", ""));
    // An error page or half a picture is no skin.
    if (skins::DecodePng(skin).empty()) return {};
    return skin;
}

}  // namespace kestrel::accounts
