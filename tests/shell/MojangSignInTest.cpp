// The Mojang sign-in, interactive and automatic, against a fake of the
// Mojang authentication service.

#include "accounts/MojangService.h"
#include "shell/MojangSignIn.h"
#include "shell/SignInHarness.h"
#include "skins/SkinPictures.h"

namespace kestrel::shell {
namespace {

using Answer = testing::FakeAnswer;
using Mojang = testing::FakeMojangService;

constexpr const char* kAccount = "alex@example.com";
constexpr const char* kPassword = "pässwörd 密码";
constexpr const char* kFirstId = "853c80ef3c3749fdaa49938b674adae6";
constexpr const char* kSecondId = "069a79f444e94726a5befca90e38aaf5";

class MojangSignIn : public ::testing::Test {
protected:
    MojangSignIn() {
        session.AddSkin(kFirstId, skin);
        h.Use("mojang_auth", mojang.Url());
        h.Use("session", session.Url());
    }
    void SignIn(const std::string& account, const std::string& password) {
        h.Choose("Mojang账户");
        ASSERT_TRUE(h.window_->Type("账号", account));
        ASSERT_TRUE(h.window_->Type("密码", password));
        ASSERT_TRUE(h.window_->Click("登录按钮"));
        h.Settle();
    }

    std::string skin = TestSkin(0xFF22AA44);
    Mojang mojang{kAccount, kPassword, {{kFirstId, "jeb_"}, {kSecondId, "Notch"}}};
    testing::FakeSessionService session;
    SignInHarness h;
};

TEST_F(MojangSignIn, SignsInTheFirstOfTwoProfiles) {
    SignIn(kAccount, kPassword);
    EXPECT_TRUE(h.Messages().empty()) << h.Messages().front();
    EXPECT_TRUE(mojang.record().Problems().empty()) << mojang.record().Problems().front();
    EXPECT_TRUE(session.record().Problems().empty()) << session.record().Problems().front();
    EXPECT_EQ(mojang.record().Paths(), std::vector<std::string>{"POST /authenticate"});
    EXPECT_EQ(h.clock_.Sleeps(), std::vector<std::int64_t>{500});
    EXPECT_EQ(h.window_->History("更新进度", "value"), (std::vector<std::string>{"20", "50", "100"}));
    EXPECT_EQ(h.window_->History("更新进度_文字", "text"),
              (std::vector<std::string>{"正在验证您的凭据是否有效...", "正在登录...", "即将完成..."}));

    const AccountRecord first{"jeb_", kFirstId, Mojang::kAccessToken, Mojang::kClientToken, ""};
    EXPECT_EQ(h.accounts_.State(), SignInState::kMojang);
    EXPECT_EQ(h.accounts_.Record(), first);
    EXPECT_EQ(h.accounts_.Texts(), (LaunchTexts{"jeb_", kFirstId, Mojang::kAccessToken}));
    h.ExpectSignedInLook("jeb_", "badge-mojang.png");
    for (const char* hidden : {"账号", "密码", "账号_标签标题", "密码_标签标题"}) EXPECT_FALSE(h.window_->Visible(hidden));
    EXPECT_EQ(h.window_->Picture("用户头像"), skins::HeadPicture(skin, 80));
    EXPECT_EQ(h.DataFileBytes("UserSkin.png"), skin);
    EXPECT_EQ(h.Cache(), MojangCacheText(first, kAccount, kPassword));
    EXPECT_EQ(h.CacheMode(), 0600u);

    // The profile list holds both, in the answer's order.
    std::vector<AccountRecord> profiles;
    EXPECT_EQ(MojangAuthenticate(net::HttpSession{}, h.ctx_.endpoints, kAccount, kPassword, profiles), "账号验证成功");
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles[1], (AccountRecord{"Notch", kSecondId, Mojang::kAccessToken, Mojang::kClientToken, ""}));
}

TEST_F(MojangSignIn, FailuresShowTheirMessageAndChangeNothing) {
    const std::string fixed = std::string("登录失败|") + kMojangFailure;
    struct Case {
        std::string account;
        std::string password;
        std::vector<Answer> answers;  // scripted; none for the fake's own
        std::string message;
        std::size_t requests;
    };
    const std::vector<Case> cases = {
        {"", kPassword, {}, "登录失败|登录失败!\r\n错误代码: 未知的账户: 账号为空!", 0},
        {"alex.example.com", kPassword, {}, "登录失败|登录失败!\r\n错误代码: 未知的账户: 账号必须为邮箱格式!", 0},
        {kAccount, "", {}, "登录失败|登录失败!\r\n错误代码: 密码验证失败: 您必须首先要输入密码!!", 0},
        {kAccount, "wrong", {}, fixed, 1},
        {kAccount, kPassword, {Answer::Json("{\"accessToken\":\"t\",\"clientToken\":\"c\",\"availableProfiles\":[]}")},
         fixed, 1},
        {kAccount, kPassword, {Answer::Html("<html><title>404 Not Found</title></html>", 404)}, fixed, 1},
        {kAccount, kPassword, {Answer::Empty(200)}, fixed, 2},  // tried once more on the second path
    };
    for (const Case& c : cases) {
        Mojang service(kAccount, kPassword, {{kFirstId, "jeb_"}});
        if (!c.answers.empty()) service.Script(c.answers);
        SignInHarness harness;
        harness.Use("mojang_auth", service.Url());
        harness.Choose("Mojang账户");
        ASSERT_TRUE(harness.window_->Type("账号", c.account));
        ASSERT_TRUE(harness.window_->Type("密码", c.password));
        ASSERT_TRUE(harness.window_->Click("登录按钮"));
        harness.Settle();
        EXPECT_EQ(harness.Messages(), std::vector<std::string>{c.message}) << c.account << " " << c.password;
        EXPECT_EQ(service.record().Seen().size(), c.requests) << c.message;
        EXPECT_EQ(harness.accounts_.State(), SignInState::kNobody);
        EXPECT_EQ(harness.accounts_.Texts(), LaunchTexts{});
        EXPECT_FALSE(harness.Cache());
        EXPECT_TRUE(harness.window_->Enabled("登录按钮"));
        EXPECT_FALSE(harness.window_->Visible("更新进度"));
        EXPECT_TRUE(harness.window_->Visible("Mojang登录_提示1"));
        EXPECT_EQ(harness.window_->Geometry("Mojang登录_提示2").x, 174);
    }
}

TEST_F(MojangSignIn, ARememberedAccountSignsInAgainAtStart) {
    const AccountRecord cached{"jeb_", kFirstId, "expired-token", "", ""};
    h.WriteCache(MojangCacheText(cached, kAccount, kPassword));
    ReadAccountCacheAtStart(h.ctx_);
    std::vector<std::pair<std::string, int>> steps;
    AutomaticSignIn(h.ctx_, {}, [&](const std::string& text, int percent) { steps.emplace_back(text, percent); });
    h.Settle();
    EXPECT_EQ(steps, (std::vector<std::pair<std::string, int>>{{"正在自动登录: Mojang Account...", 95}}));
    EXPECT_TRUE(h.Messages().empty());
    EXPECT_EQ(h.accounts_.State(), SignInState::kMojang);
    h.ExpectSignedInLook("jeb_", "badge-mojang.png");
    // The cache now holds the new access token.
    EXPECT_EQ(h.Cache(), MojangCacheText(AccountRecord{"jeb_", kFirstId, Mojang::kAccessToken, "", ""}, kAccount, kPassword));
}

TEST_F(MojangSignIn, ARememberedAccountThatFailsKeepsItsCache) {
    const std::string text = MojangCacheText(AccountRecord{"jeb_", kFirstId, "t", "", ""}, kAccount, "changed-since");
    h.WriteCache(text);
    ReadAccountCacheAtStart(h.ctx_);
    AutomaticSignIn(h.ctx_, {}, {});
    h.Settle();
    EXPECT_EQ(h.Messages(), std::vector<std::string>{std::string("登录失败|") + kMojangFailure});
    EXPECT_EQ(h.accounts_.State(), SignInState::kNobody);
    EXPECT_EQ(h.Cache(), text);
    // The panel is ready for another try.
    EXPECT_EQ(h.window_->Text("登录方式"), "Mojang账户");
    EXPECT_EQ(h.window_->Text("账号"), kAccount);
    EXPECT_TRUE(h.window_->Visible("账号"));
    EXPECT_TRUE(h.window_->Visible("登录按钮"));
    EXPECT_TRUE(h.window_->Enabled("登录按钮"));
}

}  // namespace
}  // namespace kestrel::shell
