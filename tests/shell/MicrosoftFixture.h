#pragma once

// The Microsoft sign-in's services (identity platform, Xbox Live chain,
// session service with the profile's skin) as fakes, with the harness
// pointed at them.

#include "shell/SignInHarness.h"

namespace kestrel::shell {

class MicrosoftFixture : public ::testing::Test {
protected:
    using Ms = testing::FakeMicrosoftService;
    using Xbox = testing::FakeXboxServices;

    MicrosoftFixture() {
        session.AddSkin(Xbox::kProfileId, skin);
        h.Use("microsoft_login", ms.Url());
        h.Use("xbox_user", xbox.Url());
        h.Use("xsts", xbox.Url());
        h.Use("minecraft_services", xbox.Url());
        h.Use("session", session.Url());
    }

    // Every request every fake saw was as the protocol wants it.
    void ExpectCleanRequests() {
        for (auto* record : {&ms.record(), &xbox.record(), &session.record()}) {
            for (const auto& problem : record->Problems()) ADD_FAILURE() << problem;
        }
    }

    // Failed or cancelled: nobody signed in, nothing stored.
    void ExpectNotSignedIn() {
        EXPECT_EQ(h.accounts_.State(), SignInState::kNobody);
        EXPECT_EQ(h.accounts_.Texts(), LaunchTexts{});
        EXPECT_FALSE(h.Cache()) << *h.Cache();
        EXPECT_FALSE(h.window_->Visible("启动游戏按钮"));
    }

    void ExpectSignInControlsBack() {
        for (const char* shown : {"登录按钮", "登录方式", "登录方式_标签标题"}) {
            EXPECT_TRUE(h.window_->Visible(shown)) << shown;
        }
        for (const char* hidden : {"微软登录_登录代码", "微软登录_提示文本", "微软登录_提示文本1", "微软登录_取消登录"}) {
            EXPECT_FALSE(h.window_->Visible(hidden)) << hidden;
        }
    }

    std::string skin = TestSkin();
    Ms ms;
    Xbox xbox{Ms::kAccessToken};
    testing::FakeSessionService session;
    SignInHarness h;
};

}  // namespace kestrel::shell
