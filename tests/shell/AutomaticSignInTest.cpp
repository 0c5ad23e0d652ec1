// The automatic sign-in of a remembered Microsoft or Authlib account (token
// refresh, then the Xbox Live chain).

#include "shell/MicrosoftFixture.h"
#include "skins/SkinPictures.h"

namespace kestrel::shell {
namespace {

using AutomaticSignIn = MicrosoftFixture;
using Answer = testing::FakeAnswer;
using Steps = std::vector<std::pair<std::string, int>>;

std::string TokenCache(const std::string& type, const std::string& refresh_token) {
    return "NAME:\"OldName\"\r\nUUID:\"00000000000000000000000000000000\"\r\nTOKEN:\"old-access\"\r\n"
           "REFRESH_TOKEN:\"" + refresh_token + "\"\r\nACCOUNTTYPE:\"" + type + "\"";
}

TEST_F(AutomaticSignIn, RefreshesEachTokenCacheTypeAndStoresTheNewRefreshToken) {
    struct Case {
        std::string type;
        SignInState state;
        const char* badge;
        bool rewritten;
    };
    const std::vector<Case> cases = {
        {"MICROSOFT", SignInState::kMicrosoft, "badge-microsoft.png", true},
        {"AUTHLIB", SignInState::kAuthlib, "badge-authlib.png", true},
        // Any other type signs in for this run only.
        {"", SignInState::kNobody, nullptr, false},
    };
    xbox.SetMicrosoftToken(Ms::kRefreshedAccessToken);
    const AccountRecord refreshed{Xbox::kProfileName, Xbox::kProfileId, Xbox::kMinecraftToken, "",
                                  Ms::kRefreshedRefreshToken};
    for (const Case& c : cases) {
        SignInHarness harness;
        for (const char* name : {"microsoft_login", "xbox_user", "xsts", "minecraft_services", "session"}) {
            const std::string n = name;
            harness.Use(n, n == "microsoft_login" ? ms.Url() : n == "session" ? session.Url() : xbox.Url());
        }
        const std::string cache = TokenCache(c.type, Ms::kKnownRefreshToken);
        harness.WriteCache(cache);
        ReadAccountCacheAtStart(harness.ctx_);
        Steps steps;
        shell::AutomaticSignIn(harness.ctx_, {},
                                  [&](const std::string& text, int percent) { steps.emplace_back(text, percent); });
        harness.Settle();
        EXPECT_EQ(steps, (Steps{{"正在自动登录: Microsoft Account...", 95}})) << c.type;
        EXPECT_TRUE(harness.Messages().empty()) << c.type;
        EXPECT_EQ(harness.accounts_.State(), c.state) << c.type;
        EXPECT_EQ(harness.accounts_.Texts(), (LaunchTexts{Xbox::kProfileName, Xbox::kProfileId, Xbox::kMinecraftToken}));
        EXPECT_EQ(harness.accounts_.Record(), refreshed) << c.type;
        EXPECT_EQ(harness.window_->Text("欢迎标题"), std::string("欢迎,") + Xbox::kProfileName);
        EXPECT_EQ(harness.window_->Picture("用户头像"), skins::HeadPicture(skin, 80));
        EXPECT_TRUE(harness.window_->Visible("启动游戏按钮"));
        EXPECT_FALSE(harness.window_->Visible("登录按钮"));
        if (c.badge) harness.ExpectSignedInLook(Xbox::kProfileName, c.badge);
        const std::string stored = c.type == "AUTHLIB" ? AuthlibCacheText(refreshed) : MicrosoftCacheText(refreshed);
        EXPECT_EQ(harness.Cache(), c.rewritten ? stored : cache) << c.type;
        EXPECT_EQ(harness.CacheMode(), 0600u);
    }
    ExpectCleanRequests();
}

TEST_F(AutomaticSignIn, ARefreshAnswerWithoutANewRefreshTokenKeepsTheOldOne) {
    xbox.SetMicrosoftToken(Ms::kRefreshedAccessToken);
    ms.SetRefresh(Answer::Json(std::string("{\"token_type\":\"Bearer\",\"access_token\":\"") + Ms::kRefreshedAccessToken +
                               "\"}"));
    h.WriteCache(TokenCache("MICROSOFT", Ms::kKnownRefreshToken));
    ReadAccountCacheAtStart(h.ctx_);
    shell::AutomaticSignIn(h.ctx_, {}, {});
    h.Settle();
    EXPECT_EQ(h.accounts_.State(), SignInState::kMicrosoft);
    EXPECT_EQ(CacheValue(*h.Cache(), "REFRESH_TOKEN"), Ms::kKnownRefreshToken);
    ExpectCleanRequests();
}

TEST_F(AutomaticSignIn, ARefusedRefreshShowsWhyAndDeletesTheCache) {
    struct Case {
        std::string cache;
        std::optional<Answer> refresh;  // the fake's own answer when absent
        std::optional<Answer> xsts;
        std::string message;
    };
    const std::string prefix = "登录失败|登录失败!\r\n错误代码: ";
    const std::string refused = "AADSTS70000: The provided value for the 'refresh_token' is not valid.";
    const std::vector<Case> cases = {
        {TokenCache("MICROSOFT", "M.C105_BAY.-revoked"), {}, {}, prefix + refused},
        // A cache of only a name goes down the Microsoft path with an empty
        // refresh token, which the service refuses.
        {"NAME:\"Steve\"", {}, {}, prefix + refused},
        {TokenCache("AUTHLIB", Ms::kKnownRefreshToken), Answer::Html("<html>503</html>", 503), {},
         prefix + "未知错误或服务器无响应，请检查您的网络连接是否正常"},
        {TokenCache("MICROSOFT", Ms::kKnownRefreshToken), Answer::Json("{\"error\":\"invalid_grant\"}", 400), {},
         prefix + "invalid_grant"},
        {TokenCache("MICROSOFT", Ms::kKnownRefreshToken), Answer::Json("{\"token_type\":\"Bearer\"}"), {},
         prefix + "未知错误或服务器无响应，请检查您的网络连接是否正常"},
        {TokenCache("MICROSOFT", Ms::kKnownRefreshToken), {}, Xbox::XErr("2148916238"),
         prefix + "XSTS验证失败: 该账户是未成年人账户,需要由家长将其加入家庭组"},
    };
    for (const Case& c : cases) {
        testing::FakeMicrosoftService service;
        testing::FakeXboxServices services(Ms::kRefreshedAccessToken);
        if (c.refresh) service.SetRefresh(*c.refresh);
        if (c.xsts) services.SetAnswer(Xbox::kXsts, *c.xsts);
        SignInHarness harness;
        harness.Use("microsoft_login", service.Url());
        for (const char* name : {"xbox_user", "xsts", "minecraft_services"}) harness.Use(name, services.Url());
        harness.WriteCache(c.cache);
        ReadAccountCacheAtStart(harness.ctx_);
        const AccountRecord before = harness.accounts_.Record();
        shell::AutomaticSignIn(harness.ctx_, {}, {});
        harness.Settle();
        EXPECT_EQ(harness.Messages(), std::vector<std::string>{c.message}) << c.cache;
        // A failed refresh or chain leaves the record as the cache had it.
        EXPECT_EQ(harness.accounts_.Record(), before);
        EXPECT_FALSE(harness.Cache()) << c.cache;
        EXPECT_EQ(harness.accounts_.State(), SignInState::kNobody);
        EXPECT_EQ(harness.accounts_.Texts(), LaunchTexts{});
        EXPECT_TRUE(harness.window_->Visible("登录按钮"));
        EXPECT_FALSE(harness.window_->Visible("更新进度"));
        EXPECT_FALSE(harness.window_->Visible("启动游戏按钮"));
        for (const auto& problem : service.record().Problems()) ADD_FAILURE() << problem;
    }
}

TEST(AccountCacheAtStart, ACacheOfOnlyANameRestoresTheNameAndNothingElse) {
    SignInHarness h;
    h.WriteCache("NAME:\"Steve\"");
    ReadAccountCacheAtStart(h.ctx_);
    EXPECT_EQ(h.accounts_.Record(), (AccountRecord{"Steve", "", "", "", ""}));
    EXPECT_EQ(h.accounts_.Cached(), (CachedAccount{"NAME:\"Steve\"", "Steve", "", "", ""}));
    EXPECT_EQ(h.accounts_.State(), SignInState::kNobody);

    // An empty or missing file restores nothing, so no automatic sign-in runs.
    SignInHarness empty;
    empty.WriteCache("");
    ReadAccountCacheAtStart(empty.ctx_);
    EXPECT_EQ(empty.accounts_.Cached(), CachedAccount{});
}

}  // namespace
}  // namespace kestrel::shell
