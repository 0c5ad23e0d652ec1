// The Microsoft device-code sign-in and the Xbox Live chain, from the
// button to the signed-in look, against fakes of the services.

#include "shell/MicrosoftFixture.h"
#include "skins/SkinPictures.h"

namespace kestrel::shell {
namespace {

using MicrosoftSignIn = MicrosoftFixture;
using Answer = testing::FakeAnswer;

const char* const kNoAnswer = "未知错误或服务器无响应，请检查您的网络连接是否正常";

TEST_F(MicrosoftSignIn, FromTheButtonToTheSignedInLook) {
    ASSERT_EQ(h.window_->Text("登录方式"), "Microsoft账户");
    ASSERT_TRUE(h.window_->Click("登录按钮"));
    h.Settle();
    ExpectCleanRequests();
    EXPECT_TRUE(h.Messages().empty()) << h.Messages().front();

    EXPECT_EQ(h.app_.ClipboardText(), Ms::kUserCode);
    EXPECT_EQ(h.app_.OpenedInShell(), std::vector<std::string>{Ms::kVerificationUri});
    EXPECT_EQ(h.window_->Text("微软登录_登录代码"), Ms::kUserCode);
    EXPECT_EQ(h.window_->History("微软登录_登录代码", "x,y"), std::vector<std::string>{"37,158"});
    EXPECT_EQ(h.window_->History("微软登录_提示文本", "x,y"), std::vector<std::string>{"64,134"});
    EXPECT_EQ(h.window_->History("微软登录_提示文本1", "x,y"), std::vector<std::string>{"7,196"});
    // One pending answer, so one wait of interval + 1 seconds.
    EXPECT_EQ(h.clock_.Sleeps(), std::vector<std::int64_t>{6000});
    EXPECT_EQ(h.window_->History("更新进度_文字", "text"),
              (std::vector<std::string>{"正在获取登录代码...", "正在等待您的登录...", "正在进行Xbox验证",
                                        "正在进行XSTS验证", "正在进行账号验证", "正在获取用户UUID", "即将完成..."}));
    EXPECT_EQ(h.window_->History("更新进度", "value"),
              (std::vector<std::string>{"0", "30", "50", "60", "70", "80", "100"}));
    EXPECT_EQ(xbox.record().Paths(),
              (std::vector<std::string>{"POST /user/authenticate", "POST /xsts/authorize",
                                        "POST /authentication/login_with_xbox", "GET /minecraft/profile"}));

    const AccountRecord record{Xbox::kProfileName, Xbox::kProfileId, Xbox::kMinecraftToken, "", Ms::kRefreshToken};
    EXPECT_EQ(h.accounts_.State(), SignInState::kMicrosoft);
    EXPECT_EQ(h.accounts_.Record(), record);
    EXPECT_EQ(h.accounts_.Texts(), (LaunchTexts{Xbox::kProfileName, Xbox::kProfileId, Xbox::kMinecraftToken}));
    h.ExpectSignedInLook(Xbox::kProfileName, "badge-microsoft.png");
    EXPECT_FALSE(h.window_->Visible("微软登录_取消登录"));

    const std::string head = skins::HeadPicture(skin, 80);
    EXPECT_EQ(h.window_->Picture("用户头像"), head);
    EXPECT_EQ(h.DataFileBytes("UserSkin.png"), skin);
    EXPECT_EQ(h.DataFileBytes("UserHead.png"), head);
    EXPECT_EQ(h.accounts_.Skin(), skin);
    EXPECT_EQ(h.Cache(), MicrosoftCacheText(record));
    EXPECT_EQ(h.CacheMode(), 0600u);
    EXPECT_FALSE(h.accounts_.MicrosoftBusy());
}

TEST_F(MicrosoftSignIn, WaitsTheIntervalPlusOneSecondAndFiveMoreAfterSlowDown) {
    struct Case {
        Answer device_code;
        std::vector<Answer> polls;
        std::vector<std::int64_t> sleeps;
    };
    const std::string no_interval = "{\"user_code\":\"KX7P-Q2MB\",\"device_code\":\"DAQABAAEAAAD--DeviceCode-1\","
                                    "\"verification_uri\":\"https://www.microsoft.com/link\",\"expires_in\":900";
    const std::vector<Case> cases = {
        {Ms::DeviceCodeAnswer(5), {Ms::Pending(), Ms::PollError("slow_down"), Ms::Pending(), Ms::Approved()},
         {6000, 11000, 11000}},
        {Ms::DeviceCodeAnswer(0), {Ms::PollError("SLOW_DOWN"), Ms::PollError("slow_down"), Ms::Approved()},
         {6000, 11000}},
        {Answer::Json(no_interval + "}"), {Ms::Pending(), Ms::Pending(), Ms::Approved()}, {1000, 1000}},
        // An interval out of any sensible range is kept within one.
        {Answer::Json(no_interval + ",\"interval\":1e300}"), {Ms::Pending(), Ms::Approved()}, {301000}},
        {Answer::Json(no_interval + ",\"interval\":-7}"), {Ms::Pending(), Ms::Approved()}, {1000}},
    };
    for (const Case& c : cases) {
        SignInHarness harness;
        for (const char* name : {"microsoft_login", "xbox_user", "xsts", "minecraft_services", "session"}) {
            harness.Use(name, std::string(name) == "microsoft_login" ? ms.Url()
                                                                      : (std::string(name) == "session" ? session.Url()
                                                                                                         : xbox.Url()));
        }
        ms.SetDeviceCode(c.device_code);
        ms.SetPolls(c.polls);
        ASSERT_TRUE(harness.window_->Click("登录按钮"));
        harness.Settle();
        EXPECT_EQ(harness.clock_.Sleeps(), c.sleeps) << c.device_code.body;
        EXPECT_EQ(harness.accounts_.State(), SignInState::kMicrosoft) << c.device_code.body;
    }
    ExpectCleanRequests();
}

TEST_F(MicrosoftSignIn, PollingErrorsEndTheSignInWithTheirMessages) {
    struct Case {
        Answer answer;
        std::string message;  // "" for none
    };
    const std::vector<Case> cases = {
        {Ms::PollError("authorization_declined"), "错误|用户取消登录"},
        {Ms::PollError("AUTHORIZATION_DECLINED"), "错误|用户取消登录"},
        {Ms::PollError("bad_verification_code"), "错误|验证过程中设备代码错误"},
        {Ms::PollError("expired_token"), "错误|等待验证时间过长,请重新获取验证信息"},
        {Answer::Html("<html><body>502 Bad Gateway</body></html>", 502), std::string("错误|") + kNoAnswer},
        {Answer::Empty(200), std::string("错误|") + kNoAnswer},
        {Answer::Truncated("{\"access_token\":\"EwAYA"), std::string("错误|") + kNoAnswer},
        // A success without a token is no success.
        {Answer::Json("{\"token_type\":\"Bearer\"}"), std::string("错误|") + kNoAnswer},
        {Answer::Json("[\"access_token\"]"), std::string("错误|") + kNoAnswer},
        // Any other error ends the polling without a word.
        {Ms::PollError("invalid_client"), ""},
    };
    for (const Case& c : cases) {
        SignInHarness harness;
        harness.Use("microsoft_login", ms.Url());
        harness.Use("xbox_user", xbox.Url());
        ms.SetPolls({Ms::Pending(), c.answer});
        ASSERT_TRUE(harness.window_->Click("登录按钮"));
        harness.Settle();
        EXPECT_EQ(harness.Messages(), c.message.empty() ? std::vector<std::string>{}
                                                        : std::vector<std::string>{c.message})
            << c.answer.body;
        if (!c.message.empty()) {
            EXPECT_EQ(harness.app_.MessageBoxes().at(0).icon, toolkit::MessageIcon::Error);
            EXPECT_TRUE(harness.window_->Visible("登录按钮"));
            EXPECT_FALSE(harness.window_->Visible("微软登录_登录代码"));
        } else {
            EXPECT_EQ(harness.window_->Text("更新进度_文字"), "正在等待您的登录...");
            EXPECT_EQ(harness.window_->Value("更新进度"), 30);
        }
        EXPECT_EQ(harness.accounts_.State(), SignInState::kNobody);
        EXPECT_FALSE(harness.Cache());
        EXPECT_FALSE(harness.accounts_.MicrosoftBusy());
    }
    EXPECT_TRUE(xbox.record().Seen().empty());
    ExpectCleanRequests();
}

TEST_F(MicrosoftSignIn, CancelDuringTheWaitEndsThePollingBeforeTheNextRequest) {
    h.clock_.Hold(true);
    ASSERT_TRUE(h.window_->Click("登录按钮"));
    h.clock_.WaitForSleepers(1);  // the wait after the first pending answer
    ASSERT_TRUE(h.window_->Click("微软登录_取消登录"));
    // The polling's wait, then the 5-second block, which holds the button.
    ASSERT_TRUE(SignInHarness::Eventually([&] { return h.clock_.Sleeps().size() == 2; }));
    EXPECT_EQ(h.clock_.Sleeps(), (std::vector<std::int64_t>{6000, 5000}));
    EXPECT_EQ(h.window_->Text("更新进度_文字"), "已取消登录");
    EXPECT_TRUE(h.window_->Visible("登录按钮"));
    EXPECT_FALSE(h.window_->Enabled("登录按钮"));
    EXPECT_TRUE(h.window_->Visible("登录方式"));
    EXPECT_FALSE(h.window_->Visible("微软登录_取消登录"));
    EXPECT_EQ(h.window_->Value("更新进度"), 100);
    h.clock_.Hold(false);
    h.Settle();

    EXPECT_EQ(ms.record().Paths(), (std::vector<std::string>{"POST /common/oauth2/v2.0/devicecode",
                                                             "POST /common/oauth2/v2.0/token"}));
    EXPECT_TRUE(h.Messages().empty());
    EXPECT_TRUE(h.window_->Enabled("登录按钮"));
    EXPECT_FALSE(h.window_->Visible("更新进度"));
    EXPECT_FALSE(h.window_->Visible("更新进度_文字"));
    EXPECT_FALSE(h.window_->Visible("微软登录_登录代码"));
    ExpectNotSignedIn();

    // The cancelled sign-in is over: the next one runs.
    ASSERT_TRUE(h.window_->Click("登录按钮"));
    h.Settle();
    EXPECT_EQ(h.accounts_.State(), SignInState::kMicrosoft);
    ExpectCleanRequests();
}

TEST_F(MicrosoftSignIn, CancelAbortsAPollThatIsStillWaitingForItsAnswer) {
    ms.SetPolls({Answer::Endless()});  // the request would run for a minute
    ASSERT_TRUE(h.window_->Click("登录按钮"));
    ASSERT_TRUE(SignInHarness::Eventually([&] { return ms.record().Seen().size() == 2; }));
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(h.window_->Click("微软登录_取消登录"));
    h.Settle();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_TRUE(h.Messages().empty());
    ExpectNotSignedIn();
}

TEST_F(MicrosoftSignIn, ASecondSignInWhileTheFirstIsPollingIsRefused) {
    h.clock_.Hold(true);
    ASSERT_TRUE(h.window_->Click("登录按钮"));
    h.clock_.WaitForSleepers(1);
    h.window_->Fire("登录按钮", toolkit::Event::Click);  // hidden, but fired anyway
    ASSERT_TRUE(h.app_.WaitForMessageBoxes(1, std::chrono::seconds(10)));
    EXPECT_EQ(h.Messages(), std::vector<std::string>{"登录失败|登录失败!\r\n错误代码: "
                                                     "Tern核心正在进行微软登陆验证,请等待前一个验证执行完毕"});
    h.clock_.Hold(false);
    h.Settle();
    EXPECT_EQ(ms.record().Paths().front(), "POST /common/oauth2/v2.0/devicecode");
    EXPECT_EQ(ms.record().Paths().size(), 3u);  // one device code, two polls
    EXPECT_EQ(h.accounts_.State(), SignInState::kMicrosoft);
    h.ExpectSignedInLook(Xbox::kProfileName, "badge-microsoft.png");
}

TEST_F(MicrosoftSignIn, AFailedChainStepSaysWhichAndWhy) {
    struct Case {
        Xbox::Step step;
        Answer answer;
        std::string message;
    };
    const std::string no_profile = "获取用户UUID时失败: 该账户没有Minecraft档案,请确认已购买游戏";
    const std::vector<Case> cases = {
        {Xbox::kUser, Answer::Empty(401), "XBox验证失败"},
        {Xbox::kUser, Answer::Html("<html><title>500</title></html>", 500), "XBox验证失败"},
        {Xbox::kXsts, Xbox::XErr("2148916233"), "XSTS验证失败: 该微软账户没有Xbox账户,请先注册Xbox账户"},
        {Xbox::kXsts, Xbox::XErr("2148916235"), "XSTS验证失败: 您所在的国家或地区无法使用Xbox Live"},
        {Xbox::kXsts, Xbox::XErr("2148916236"), "XSTS验证失败: 该账户需要在Xbox页面上完成成人验证"},
        {Xbox::kXsts, Xbox::XErr("2148916237"), "XSTS验证失败: 该账户需要在Xbox页面上完成成人验证"},
        {Xbox::kXsts, Xbox::XErr("2148916238"), "XSTS验证失败: 该账户是未成年人账户,需要由家长将其加入家庭组"},
        {Xbox::kXsts, Xbox::XErr("2148916239"), "XSTS验证失败: XErr 2148916239"},
        {Xbox::kXsts, Answer::Json("{\"Token\":\"eyJ-xsts\",\"DisplayClaims\":{\"xui\":[]}}"), "XSTS验证失败"},
        {Xbox::kXsts, Xbox::XstsAnswer("", Xbox::kUserHash), "XSTS验证失败"},
        {Xbox::kLogin,
         Answer::Json("{\"path\":\"/authentication/login_with_xbox\",\"errorMessage\":\"Invalid app registration, "
                      "see https://aka.ms/AppRegInfo for more information\"}",
                      403),
         "验证登录时出现了错误: Invalid app registration, see https://aka.ms/AppRegInfo for more information"},
        {Xbox::kLogin, Answer::Json("{\"access_token\":\"\"}"), "验证登录时出现了错误"},
        {Xbox::kProfile,
         Answer::Json("{\"path\":\"/minecraft/profile\",\"errorType\":\"NOT_FOUND\",\"error\":\"NOT_FOUND\","
                      "\"errorMessage\":\"The server has not found anything matching the request URI\"}",
                      404),
         "获取用户UUID时失败: The server has not found anything matching the request URI"},
        // A profile without name or id is no profile to play with.
        {Xbox::kProfile, Answer::Json("{}"), no_profile},
        {Xbox::kProfile, Answer::Json("{\"id\":\"4566e69fc90748ee8d71d7ba5aa00d20\"}"), no_profile},
        {Xbox::kProfile, Answer::Json("{\"name\":\"Alex\",\"id\":\"\"}"), no_profile},
        {Xbox::kProfile, Answer::Html("<html>Service Unavailable</html>", 503), "获取用户UUID时失败"},
    };
    for (const Case& c : cases) {
        testing::FakeXboxServices services(Ms::kAccessToken);
        services.SetAnswer(c.step, c.answer);
        SignInHarness harness;
        harness.Use("microsoft_login", ms.Url());
        for (const char* name : {"xbox_user", "xsts", "minecraft_services"}) harness.Use(name, services.Url());
        ms.SetPolls({Ms::Approved()});
        ASSERT_TRUE(harness.window_->Click("登录按钮"));
        harness.Settle();
        EXPECT_EQ(harness.Messages(), std::vector<std::string>{"错误|" + c.message}) << c.answer.body;
        // The later steps never ran, and nothing was stored.
        EXPECT_EQ(services.record().Seen().size(), static_cast<std::size_t>(c.step) + 1) << c.message;
        EXPECT_EQ(harness.accounts_.State(), SignInState::kNobody);
        EXPECT_EQ(harness.accounts_.Record(), AccountRecord{});
        EXPECT_FALSE(harness.Cache());
        EXPECT_TRUE(harness.window_->Visible("登录按钮"));
        EXPECT_TRUE(harness.window_->Visible("登录方式"));
        EXPECT_FALSE(harness.accounts_.MicrosoftBusy());
        for (const auto& problem : services.record().Problems()) ADD_FAILURE() << problem;
    }
}

TEST_F(MicrosoftSignIn, BadAnswersGiveTheFailureMessagesAndNeverHang) {
    struct Case {
        const char* where;  // "devicecode", "poll", or a chain step
        Answer answer;
        std::string message;
    };
    const std::string device_failure = std::string("登录失败|登录失败!\r\n错误代码: ") + kNoAnswer;
    const std::vector<Case> cases = {
        {"devicecode", Answer::Html("<html><head><title>404 Not Found</title></head></html>", 404), device_failure},
        {"devicecode", Answer::Empty(200), device_failure},
        {"devicecode", Answer::Truncated("{\"user_code\":\"KX7P"), device_failure},
        {"devicecode", Answer::Json("[1,2,3]"), device_failure},
        {"devicecode", Answer::Json("{\"user_code\":{\"a\":1},\"device_code\":[]}"), device_failure},
        {"devicecode", Answer::Huge(50u << 20), device_failure},
        {"devicecode", Answer::Endless(), device_failure},
        {"devicecode", Answer::Json("{\"error\":\"invalid_client\"}", 400), "登录失败|登录失败!\r\n错误代码: invalid_client"},
        {"devicecode",
         Answer::Json("{\"error\":\"unauthorized_client\",\"error_description\":\"AADSTS700016: Application not "
                      "found.\"}",
                      400),
         "登录失败|登录失败!\r\n错误代码: AADSTS700016: Application not found."},
        {"poll", Answer::Endless(), std::string("错误|") + kNoAnswer},
        {"poll", Answer::Huge(50u << 20), std::string("错误|") + kNoAnswer},
        {"xsts", Answer::Huge(50u << 20), "错误|XSTS验证失败"},
        {"xsts", Answer::Truncated("{\"Token\":\"eyJ\",\"DisplayClaims\":{\"xui\":[{\"uhs\":\"25"), "错误|XSTS验证失败"},
        {"login", Answer::Endless(), "错误|验证登录时出现了错误"},
        {"profile", Answer::Endless(), "错误|获取用户UUID时失败"},
    };
    for (const Case& c : cases) {
        testing::FakeMicrosoftService service;
        testing::FakeXboxServices services(Ms::kAccessToken);
        const std::string where = c.where;
        if (where == "devicecode") service.SetDeviceCode(c.answer);
        if (where == "poll") service.SetPolls({c.answer});
        if (where == "xsts") services.SetAnswer(Xbox::kXsts, c.answer);
        if (where == "login") services.SetAnswer(Xbox::kLogin, c.answer);
        if (where == "profile") services.SetAnswer(Xbox::kProfile, c.answer);
        if (where != "poll") service.SetPolls({Ms::Approved()});
        SignInHarness harness;
        harness.ShortenRequests(500);
        harness.Use("microsoft_login", service.Url());
        for (const char* name : {"xbox_user", "xsts", "minecraft_services"}) harness.Use(name, services.Url());
        ASSERT_TRUE(harness.window_->Click("登录按钮"));
        harness.Settle();
        EXPECT_EQ(harness.Messages(), std::vector<std::string>{c.message}) << c.where << " " << c.answer.body.substr(0, 80);
        EXPECT_EQ(harness.accounts_.State(), SignInState::kNobody);
        EXPECT_FALSE(harness.Cache());
        EXPECT_TRUE(harness.window_->Visible("登录按钮"));
    }
}

TEST_F(MicrosoftSignIn, OpensTheVerificationPageOnlyWhenItIsAWebAddress) {
    for (const std::string uri : {"file:///etc/passwd", "calc.exe", "javascript:alert(1)", "HTTPS://microsoft.com/link"}) {
        testing::FakeMicrosoftService service;
        service.SetDeviceCode(Answer::Json("{\"user_code\":\"KX7P-Q2MB\",\"device_code\":\"DAQABAAEAAAD--DeviceCode-1\","
                                           "\"verification_uri\":\"" + uri + "\",\"interval\":5}"));
        SignInHarness harness;
        harness.Use("microsoft_login", service.Url());
        for (const char* name : {"xbox_user", "xsts", "minecraft_services"}) harness.Use(name, xbox.Url());
        ASSERT_TRUE(harness.window_->Click("登录按钮"));
        harness.Settle();
        const bool web = uri.starts_with("HTTPS");
        EXPECT_EQ(harness.app_.OpenedInShell(), web ? std::vector<std::string>{uri} : std::vector<std::string>{}) << uri;
        // The code is shown and copied either way, and the sign-in goes on.
        EXPECT_EQ(harness.app_.ClipboardText(), "KX7P-Q2MB");
        EXPECT_EQ(harness.accounts_.State(), SignInState::kMicrosoft) << uri;
    }
}

}  // namespace
}  // namespace kestrel::shell
