// A remembered account renewed with no window at all, as the command line
// and a download window will do it: this executable links no window code.
// The services are fakes on 127.0.0.1.

#include "accounts/TokenRefresh.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "accounts/AccountCache.h"
#include "accounts/MicrosoftService.h"
#include "accounts/SignInServices.h"
#include "platform/Files.h"
#include "skins/SkinPictures.h"
#include "support/FakeClock.h"
#include "support/FakeMicrosoftService.h"
#include "support/FakeSessionService.h"
#include "support/FakeXboxServices.h"
#include "support/TempFolder.h"
#include "support/TestSkin.h"

namespace kestrel::accounts {
namespace {

using Answer = testing::FakeAnswer;
using Ms = testing::FakeMicrosoftService;
using Xbox = testing::FakeXboxServices;

TEST(TokenRefresh, AMicrosoftRefreshGivesTheRenewedRecordOrSaysWhy) {
    const AccountRecord renewed{Xbox::kProfileName, Xbox::kProfileId, Xbox::kMinecraftToken, "",
                                Ms::kRefreshedRefreshToken};
    struct Case {
        std::string refresh_token;
        std::optional<Answer> refresh;  // the fake's own answer when absent
        std::optional<Answer> xsts;
        std::optional<AccountRecord> record;
        std::string error;
        std::size_t chain_requests;
    };
    const std::vector<Case> cases = {
        {Ms::kKnownRefreshToken, {}, {}, renewed, "", 4},
        // No new refresh token: the old one stays valid and is the record's.
        {Ms::kKnownRefreshToken,
         Answer::Json(std::string("{\"token_type\":\"Bearer\",\"access_token\":\"") + Ms::kRefreshedAccessToken + "\"}"),
         {},
         AccountRecord{Xbox::kProfileName, Xbox::kProfileId, Xbox::kMinecraftToken, "", Ms::kKnownRefreshToken},
         "",
         4},
        {"M.C105_BAY.-revoked", {}, {}, {}, "AADSTS70000: The provided value for the 'refresh_token' is not valid.", 0},
        {Ms::kKnownRefreshToken, Answer::Json("{\"error\":\"invalid_grant\"}", 400), {}, {}, "invalid_grant", 0},
        {Ms::kKnownRefreshToken, Answer::Html("<html>503</html>", 503), {}, {}, kMicrosoftNoAnswer, 0},
        {Ms::kKnownRefreshToken, Answer::Json("{\"token_type\":\"Bearer\"}"), {}, {}, kMicrosoftNoAnswer, 0},
        {Ms::kKnownRefreshToken, {}, Xbox::XErr("2148916238"), {},
         "XSTS验证失败: 该账户是未成年人账户,需要由家长将其加入家庭组", 2},
    };
    for (const Case& c : cases) {
        Ms ms;
        Xbox xbox(Ms::kRefreshedAccessToken);
        if (c.refresh) ms.SetRefresh(*c.refresh);
        if (c.xsts) xbox.SetAnswer(Xbox::kXsts, *c.xsts);
        net::Endpoints endpoints = net::Endpoints::Defaults();
        endpoints.Override("microsoft_login=" + ms.Url());
        for (const char* name : {"xbox_user", "xsts", "minecraft_services"}) {
            endpoints.Override(std::string(name) + "=" + xbox.Url());
        }
        const Result<AccountRecord> result =
            RefreshMicrosoftAccount(net::HttpSession{}, endpoints, Ms::kClientId, c.refresh_token);
        ASSERT_EQ(result.ok(), c.record.has_value()) << c.refresh_token << " " << result.error();
        if (c.record) {
            EXPECT_EQ(*result, *c.record);
        }
        EXPECT_EQ(result.error(), c.error);
        EXPECT_EQ(xbox.record().Seen().size(), c.chain_requests) << c.error;
        for (auto* record : {&ms.record(), &xbox.record()}) {
            for (const auto& problem : record->Problems()) ADD_FAILURE() << problem;
        }
    }
}

// The whole renewal of a remembered Microsoft account through the sign-in
// services: the cache read, the refresh, the skin kept in the data folder,
// the cache written again; then the sign-out.
TEST(TokenRefresh, ARememberedAccountIsRenewedAndKeptThroughTheServicesAlone) {
    testing::TempFolder folder;
    Ms ms;
    Xbox xbox(Ms::kRefreshedAccessToken);
    testing::FakeSessionService session;
    const std::string skin = testing::TestSkin();
    session.AddSkin(Xbox::kProfileId, skin);
    AccountState accounts;
    testing::FakeClock clock;
    SignInServices services{accounts,
                            clock,
                            net::Endpoints::Defaults(),
                            folder.path() + "/local/Kestrel2/ACCOUNT.cache",
                            folder.path() + "/KSTfiles",
                            platform::HostProfile::Linux64(),
                            Ms::kClientId,
                            net::HttpOptions{}};
    services.endpoints.Override("microsoft_login=" + ms.Url());
    services.endpoints.Override("session=" + session.Url());
    for (const char* name : {"xbox_user", "xsts", "minecraft_services"}) {
        services.endpoints.Override(std::string(name) + "=" + xbox.Url());
    }
    const AccountRecord old{"OldName", "00000000000000000000000000000000", "old-access", "", Ms::kKnownRefreshToken};
    ASSERT_TRUE(WriteAccountCache(services.account_cache_path, MicrosoftCacheText(old)).ok());

    ReadAccountCacheAtStart(services);
    ASSERT_EQ(accounts.Record(), old);
    ASSERT_EQ(accounts.Cached().account_type, kTypeMicrosoft);

    const Result<AccountRecord> renewed = RefreshMicrosoftAccount(SignInSession(services, {}), services.endpoints,
                                                                  services.oauth_client_id, accounts.Record().refresh_token);
    ASSERT_TRUE(renewed) << renewed.error();
    accounts.SignIn(*renewed, SignInState::kMicrosoft);
    const std::string head = SavePlayerSkin(services, FetchPlayerSkin(services, {}, renewed->uuid));
    StoreAccountCache(services, MicrosoftCacheText(*renewed));

    EXPECT_EQ(accounts.Texts(), (LaunchTexts{Xbox::kProfileName, Xbox::kProfileId, Xbox::kMinecraftToken}));
    EXPECT_EQ(accounts.Skin(), skin);
    EXPECT_EQ(head, skins::HeadPicture(skin, kHeadSize));
    EXPECT_EQ(platform::ReadFile(folder.path() + "/KSTfiles/UserSkin.png"), skin);
    EXPECT_EQ(platform::ReadFile(folder.path() + "/KSTfiles/UserHead.png"), head);
    EXPECT_EQ(platform::ReadFile(services.account_cache_path), MicrosoftCacheText(*renewed));
    struct stat info {};
    ASSERT_EQ(::stat(services.account_cache_path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(clock.Sleeps().empty());  // a refresh never polls

    SignOutAccount(services);
    EXPECT_EQ(accounts.State(), SignInState::kNobody);
    EXPECT_EQ(accounts.Texts().name, Xbox::kProfileName);  // the state marks the account as gone
    EXPECT_FALSE(platform::IsRegularFile(services.account_cache_path));
    for (auto* record : {&ms.record(), &xbox.record(), &session.record()}) {
        for (const auto& problem : record->Problems()) ADD_FAILURE() << problem;
    }
}

}  // namespace
}  // namespace kestrel::accounts
