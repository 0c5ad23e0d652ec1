// The shell hands the sign-in flows its own objects, paths and constants.

#include "shell/SignInContextFromLauncher.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "toolkit/MemoryApplication.h"
#include "toolkit/Windows.h"

namespace kestrel::shell {
namespace {

TEST(MakeSignInContext, TakesTheLaunchersObjectsPathsAndClientId) {
    LauncherState state;
    toolkit::MemoryApplication app;
    testing::FakeClock clock;
    platform::TickRandom random;
    platform::Workers workers;
    const platform::HostProfile host = platform::HostProfile::Windows64();
    net::Endpoints endpoints = net::Endpoints::Defaults();
    endpoints.Override("session=http://127.0.0.1:9/");
    LauncherContext launcher{state,
                             app,
                             clock,
                             random,
                             workers,
                             LauncherPaths::For("C:\\Games\\Kestrel", "C:\\Users\\p\\AppData\\Local", "Kestrel.exe", host),
                             host,
                             endpoints,
                             app.CreateSurface(toolkit::MainWindowDef())};
    const SignInContext ctx = MakeSignInContext(launcher);
    EXPECT_EQ(&ctx.accounts, &state.accounts);
    EXPECT_EQ(&ctx.app, &app);
    EXPECT_EQ(&ctx.clock, &clock);
    EXPECT_EQ(&ctx.workers, &workers);
    EXPECT_EQ(&ctx.random, &random);
    EXPECT_EQ(ctx.main_window, launcher.main_window);
    EXPECT_EQ(ctx.endpoints.Base("session"), "http://127.0.0.1:9/");
    EXPECT_EQ(ctx.account_cache_path, "C:\\Users\\p\\AppData\\Local\\Kestrel2\\ACCOUNT.cache");
    EXPECT_EQ(ctx.data_folder, "C:\\Games\\Kestrel\\KSTfiles");
    EXPECT_EQ(ctx.host.os_name, "windows");
    EXPECT_EQ(ctx.oauth_client_id, "0f3c9a2e-5b7d-4e61-8a4c-2d9e7b1f6c30");
}

}  // namespace
}  // namespace kestrel::shell
