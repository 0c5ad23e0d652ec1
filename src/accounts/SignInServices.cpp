#include "accounts/SignInServices.h"

#include "accounts/AccountCache.h"
#include "accounts/ServiceAnswers.h"
#include "accounts/SkinFetch.h"
#include "platform/Files.h"
#include "skins/SkinPictures.h"

namespace kestrel::accounts {

namespace {

constexpr long kMaxRequestMs = 60000;

}  // namespace

net::HttpSession SignInSession(const SignInServices& services, std::stop_token stop) {
    net::HttpOptions options = services.http;
    options.cancel = std::move(stop);
    // A sign-in request ends within a minute even when its server keeps
    // trickling bytes: the player is waiting for it, and the Minecraft
    // login's path would otherwise wait as long as bytes arrive.
    for (net::Timeouts* timeouts : {&options.inet, &options.curl, &options.com}) {
        if (timeouts->total_ms <= 0) timeouts->total_ms = kMaxRequestMs;
    }
    // Nothing a sign-in service says is near a megabyte; a longer answer is
    // dropped as it arrives instead of filling memory first.
    options.max_body_bytes = kMaxAnswerBytes;
    return net::HttpSession(std::move(options));
}

std::string DataFile(const SignInServices& services, const std::string& name) {
    return services.host.NativePath(services.host.Join(services.data_folder, name));
}

std::string FetchPlayerSkin(const SignInServices& services, std::stop_token stop, const std::string& uuid) {
    return FetchSkin(SignInSession(services, std::move(stop)), services.endpoints, uuid);
}

std::string SavePlayerSkin(const SignInServices& services, const std::string& skin_png) {
    services.accounts.SetSkin(skin_png);
    std::string head = skins::HeadPicture(skin_png, kHeadSize);
    platform::CreateFolders(services.host.NativePath(services.data_folder));
    platform::WriteFileAtomically(DataFile(services, "UserHead.png"), head);
    platform::WriteFileAtomically(DataFile(services, "UserSkin.png"), skin_png);
    return head;
}

void StoreAccountCache(const SignInServices& services, const std::string& text) {
    WriteAccountCache(services.host.NativePath(services.account_cache_path), text);
}

void ReadAccountCacheAtStart(const SignInServices& services) {
    const std::string text = ReadAccountCache(services.host.NativePath(services.account_cache_path));
    if (text.empty()) return;
    const CacheContents contents = ParseAccountCache(text);
    services.accounts.SetRecord(contents.record);
    services.accounts.SetCached(contents.cached);
}

void SignOutAccount(const SignInServices& services) {
    services.accounts.SetState(SignInState::kNobody);
    DeleteAccountCache(services.host.NativePath(services.account_cache_path));
}

}  // namespace kestrel::accounts
