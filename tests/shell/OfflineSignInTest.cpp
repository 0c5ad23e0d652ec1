// The offline sign-in, the account panel's layouts and the sign-out.

#include "accounts/OfflineUuid.h"
#include "shell/SignInHarness.h"
#include "skins/SkinPictures.h"
#include "toolkit/Assets.h"

namespace kestrel::shell {
namespace {

TEST(AccountPanel, LaysOutTheFieldsOfEachAccountType) {
    struct Case {
        std::string item;
        std::vector<std::pair<std::string, toolkit::Rect>> shown;  // x, y only
        std::vector<std::string> hidden;
        std::pair<int, int> button;
        std::string account_caption;
    };
    const std::vector<Case> cases = {
        {"Mojang账户",
         {{"登录方式_标签标题", {15, 175}}, {"登录方式", {82, 175}}, {"账号_标签标题", {15, 215}}, {"账号", {82, 215}},
          {"密码_标签标题", {15, 255}}, {"密码", {82, 256}}, {"Mojang登录_提示1", {3, 380}},
          {"Mojang登录_提示2", {174, 427}}},
         {},
         {146, 293},
         "账号:"},
        {"离线账户",
         {{"登录方式_标签标题", {15, 199}}, {"登录方式", {82, 199}}, {"账号_标签标题", {15, 231}}, {"账号", {82, 231}}},
         {"密码_标签标题", "密码", "Mojang登录_提示1", "Mojang登录_提示2"},
         {146, 260},
         "用户名:"},
        {"Microsoft账户",
         {{"登录方式_标签标题", {15, 207}}, {"登录方式", {82, 207}}},
         {"账号_标签标题", "账号", "密码_标签标题", "密码", "Mojang登录_提示1", "Mojang登录_提示2"},
         {83, 261},
         "用户名:"},  // left as the offline layout set it
    };
    SignInHarness h;
    for (const Case& c : cases) {
        h.Choose(c.item);
        for (const auto& [name, place] : c.shown) {
            EXPECT_TRUE(h.window_->Visible(name)) << c.item << " " << name;
            EXPECT_EQ(h.window_->Geometry(name).x, place.x) << c.item << " " << name;
            EXPECT_EQ(h.window_->Geometry(name).y, place.y) << c.item << " " << name;
        }
        for (const auto& name : c.hidden) EXPECT_FALSE(h.window_->Visible(name)) << c.item << " " << name;
        EXPECT_EQ(h.window_->Geometry("登录按钮").x, c.button.first) << c.item;
        EXPECT_EQ(h.window_->Geometry("登录按钮").y, c.button.second) << c.item;
        EXPECT_EQ(h.window_->Text("账号_标签标题"), c.account_caption) << c.item;
    }
    EXPECT_TRUE(h.window_->Problems().empty());
}

TEST(OfflineSignIn, SignsInWithTheNameTheDefaultSkinAndNoOldToken) {
    SignInHarness h;
    // An account signed in before left its token behind.
    h.accounts_.SignIn(AccountRecord{"Old", "olduuid", "old-secret-token", "", "old-refresh"}, SignInState::kMicrosoft);
    h.accounts_.SetState(SignInState::kNobody);
    h.Choose("离线账户");
    ASSERT_TRUE(h.window_->Type("账号", " 玩家 "));
    ASSERT_TRUE(h.window_->Click("登录按钮"));
    h.Settle();

    EXPECT_TRUE(h.Messages().empty());
    EXPECT_EQ(h.accounts_.State(), SignInState::kOffline);
    EXPECT_EQ(h.accounts_.Texts(), (LaunchTexts{" 玩家 ", OfflineUuid(" 玩家 "), ""}));
    EXPECT_EQ(h.accounts_.Record().refresh_token, "");
    h.ExpectSignedInLook(" 玩家 ", "badge-offline.png");
    EXPECT_FALSE(h.window_->Visible("账号"));
    EXPECT_FALSE(h.window_->Visible("账号_标签标题"));

    const std::string skin(toolkit::Asset("skin.png"));
    EXPECT_EQ(skins::DecodePng(skin).width(), 64);
    EXPECT_EQ(skins::DecodePng(skin).height(), 32);
    const std::string head = skins::HeadPicture(skin, 80);
    EXPECT_FALSE(head.empty());
    EXPECT_EQ(h.window_->Picture("用户头像"), head);
    EXPECT_EQ(h.DataFileBytes("UserSkin.png"), skin);
    EXPECT_EQ(h.DataFileBytes("UserHead.png"), head);
    EXPECT_EQ(h.accounts_.Skin(), skin);

    EXPECT_EQ(h.Cache(), OfflineCacheText(" 玩家 "));
    EXPECT_EQ(h.CacheMode(), 0600u);
}

TEST(OfflineSignIn, AnEmptyNameChangesNothing) {
    SignInHarness h;
    h.Choose("离线账户");
    ASSERT_TRUE(h.window_->Click("登录按钮"));
    h.Settle();
    EXPECT_EQ(h.Messages(), std::vector<std::string>{"登录失败|登录失败!\r\n错误代码: 未知的用户名: 用户名为空!"});
    EXPECT_EQ(h.app_.MessageBoxes().at(0).icon, toolkit::MessageIcon::Error);
    EXPECT_EQ(h.accounts_.State(), SignInState::kNobody);
    EXPECT_EQ(h.accounts_.Texts(), LaunchTexts{});
    EXPECT_FALSE(h.Cache());
    EXPECT_TRUE(h.window_->Visible("登录按钮"));
}

TEST(OfflineSignIn, ACacheAtStartSignsTheSameNameInAgainWithoutANetwork) {
    SignInHarness h;  // no endpoint points anywhere reachable
    h.Use("session", "http://127.0.0.1:1");
    h.WriteCache(OfflineCacheText("Steve"));
    ReadAccountCacheAtStart(h.ctx_);
    EXPECT_EQ(h.accounts_.Cached().account_type, "OFFLINE");
    std::vector<std::pair<std::string, int>> steps;
    AutomaticSignIn(h.ctx_, {}, [&](const std::string& text, int percent) { steps.emplace_back(text, percent); });
    h.Settle();
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(h.accounts_.State(), SignInState::kOffline);
    EXPECT_EQ(h.accounts_.Texts().uuid, "29EBA48502E61C168846C2FF82ED3940");
    h.ExpectSignedInLook("Steve", "badge-offline.png");
    EXPECT_EQ(h.Cache(), OfflineCacheText("Steve"));
}

TEST(SignOut, ReturnsToTheSignedOutLookDeletesTheCacheAndBlocksSignInForFiveSeconds) {
    testing::FakeMojangService mojang("alex@example.com", "pässwörd", {});
    SignInHarness h;
    h.Use("mojang_auth", mojang.Url());
    h.Choose("离线账户");
    ASSERT_TRUE(h.window_->Type("账号", "Steve"));
    ASSERT_TRUE(h.window_->Click("登录按钮"));
    h.Settle();
    ASSERT_TRUE(h.Cache());

    h.clock_.Hold(true);
    ASSERT_TRUE(h.window_->Click("注销按钮"));
    h.clock_.WaitForSleepers(1);
    for (const char* hidden : {"启动游戏按钮", "在线图标", "设置按钮", "注销按钮", "用户头像", "欢迎标题", "版本框"}) {
        EXPECT_FALSE(h.window_->Visible(hidden)) << hidden;
    }
    EXPECT_EQ(h.accounts_.State(), SignInState::kNobody);
    // The launch texts stay; the state is what marks the account as gone.
    EXPECT_EQ(h.accounts_.Texts().name, "Steve");
    EXPECT_FALSE(h.Cache());
    EXPECT_TRUE(h.window_->Visible("登录按钮"));
    EXPECT_FALSE(h.window_->Enabled("登录按钮"));
    EXPECT_TRUE(h.window_->Visible("微软登录_取消登录_提示文本"));
    EXPECT_TRUE(h.window_->Visible("账号"));  // laid out for 离线账户 again
    h.clock_.Hold(false);
    h.Settle();
    EXPECT_EQ(h.clock_.Sleeps(), std::vector<std::int64_t>{5000});
    EXPECT_TRUE(h.window_->Enabled("登录按钮"));
    EXPECT_FALSE(h.window_->Visible("微软登录_取消登录_提示文本"));
    EXPECT_TRUE(mojang.record().Seen().empty());  // not a Mojang account

    // With 登录方式 at Mojang, the account is signed out at the server too,
    // with the password in UTF-8; a missing cache is no error.
    h.Choose("Mojang账户");
    ASSERT_TRUE(h.window_->Type("账号", "alex@example.com"));
    ASSERT_TRUE(h.window_->Type("密码", "pässwörd"));
    h.window_->Fire("注销按钮", toolkit::Event::Click);
    h.Settle();
    EXPECT_EQ(mojang.record().Paths(), std::vector<std::string>{"POST /signout"});
    EXPECT_TRUE(mojang.record().Problems().empty()) << mojang.record().Problems().front();
    EXPECT_TRUE(h.Messages().empty());
}

TEST(SignInPanel, TheMigrationLinkOpensTheMigrationPage) {
    SignInHarness h;
    h.Choose("Mojang账户");
    ASSERT_TRUE(h.window_->Click("Mojang登录_提示2"));
    EXPECT_EQ(h.app_.OpenedInShell(), std::vector<std::string>{"https://www.minecraft.net/move"});
}

}  // namespace
}  // namespace kestrel::shell
