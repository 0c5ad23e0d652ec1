// The Mojang authentication service and the sign-in of a Mojang account
// from its name and password, against a fake of the service.

#include "accounts/MojangService.h"

#include <gtest/gtest.h>

#include "accounts/MojangAccount.h"
#include "support/FakeMojangService.h"

namespace kestrel::accounts {
namespace {

using Answer = testing::FakeAnswer;
using Mojang = testing::FakeMojangService;

constexpr const char* kAccount = "alex@example.com";
constexpr const char* kPassword = "pässwörd 密码";

TEST(MojangService, AuthenticateNamesWhatTheServiceAnswered) {
    struct Case {
        std::vector<Answer> answers;
        std::string result;
    };
    const std::vector<Case> cases = {
        {{Answer::Json("{\"accessToken\":\"t\",\"availableProfiles\":[]}")}, "未发现角色，请检查后重试"},
        {{Answer::Json("{\"error\":\"ForbiddenOperationException\",\"errorMessage\":\"Invalid credentials. Invalid "
                       "username or password.\"}",
                       403)},
         "ForbiddenOperationException:Invalid credentials. Invalid username or password."},
        {{Answer::Json("{\"error\":\"\",\"errorMessage\":\"%u7528%u6237\"}", 400)}, ":用户"},
        {{Answer::Html("<html><head><title>404 Not Found</title></head></html>", 404)},
         "验证API错误，请检查认证地址是否正确"},
        {{Answer::Html("<!DOCTYPE html><html><body>Whoops, looks like something went wrong.</body></html>", 500)},
         "Whoops, looks like something went wrong."},
        {{Answer::Html("<html>502 Bad Gateway</html>", 502)}, "未知错误或服务器访问失败"},
        {{Answer::Empty(200), Answer::Json("{\"accessToken\":\"t\",\"availableProfiles\":[{\"name\":\"A\",\"id\":\"1\"}]}")},
         "账号验证成功"},
        {{Answer::Empty(200)}, "未知错误或服务器访问失败"},
        {{Answer::Truncated("{\"accessToken\":\"t\",\"availablePro")}, "未知错误或服务器访问失败"},
        {{Answer::Huge(50u << 20)}, "未知错误或服务器访问失败"},
        {{Answer::Endless()}, "未知错误或服务器访问失败"},
    };
    for (const Case& c : cases) {
        Mojang service(kAccount, kPassword, {});
        service.Script(c.answers);
        net::Endpoints endpoints = net::Endpoints::Defaults();
        endpoints.Override("mojang_auth=" + service.Url());
        net::HttpOptions options;
        options.inet.total_ms = options.curl.total_ms = 500;
        std::vector<AccountRecord> profiles{AccountRecord{"stale", "", "", "", ""}};
        EXPECT_EQ(MojangAuthenticate(net::HttpSession(options), endpoints, kAccount, kPassword, profiles), c.result)
            << c.answers.front().body.substr(0, 60);
        EXPECT_EQ(profiles.size(), c.result == "账号验证成功" ? 1u : 0u);
    }
}

TEST(MojangAccount, GivesTheFirstProfileOrWhatTheServiceSaid) {
    const std::string first_id = "853c80ef3c3749fdaa49938b674adae6";
    Mojang service(kAccount, kPassword, {{first_id, "jeb_"}, {"069a79f444e94726a5befca90e38aaf5", "Notch"}});
    Mojang no_profiles(kAccount, kPassword, {});
    struct Case {
        Mojang* service;
        std::string password;
        std::optional<AccountRecord> profile;
        std::string error;
    };
    const std::vector<Case> cases = {
        {&service, kPassword, AccountRecord{"jeb_", first_id, Mojang::kAccessToken, Mojang::kClientToken, ""}, ""},
        {&service, "changed-since", {}, "ForbiddenOperationException:Invalid credentials. Invalid username or password."},
        {&no_profiles, kPassword, {}, kMojangNoProfiles},
    };
    for (const Case& c : cases) {
        net::Endpoints endpoints = net::Endpoints::Defaults();
        endpoints.Override("mojang_auth=" + c.service->Url());
        const Result<AccountRecord> result =
            AuthenticateMojangAccount(net::HttpSession{}, endpoints, kAccount, c.password);
        ASSERT_EQ(result.ok(), c.profile.has_value()) << c.password << " " << result.error();
        if (c.profile) {
            EXPECT_EQ(*result, *c.profile);
        }
        EXPECT_EQ(result.error(), c.error);
    }
    for (const auto& problem : service.record().Problems()) ADD_FAILURE() << problem;
}

}  // namespace
}  // namespace kestrel::accounts
