#pragma once

// The sign-in flows on the in-memory main window, with a test clock, fake
// services on 127.0.0.1 and the account cache and data folder in a fresh
// temporary folder. WireSignIn is installed; a test clicks, chooses and
// types like the player and waits for the workers with Settle().

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "accounts/AccountCache.h"
#include "platform/Files.h"
#include "shell/SignIn.h"
#include "support/FakeClock.h"
#include "support/FakeMicrosoftService.h"
#include "support/FakeMojangService.h"
#include "support/FakeSessionService.h"
#include "support/FakeXboxServices.h"
#include "support/TempFolder.h"
#include "support/TestSkin.h"
#include "toolkit/Assets.h"
#include "toolkit/MemoryApplication.h"
#include "toolkit/MemorySurface.h"
#include "toolkit/Windows.h"

namespace kestrel::shell {

using namespace accounts;
using testing::TestSkin;

class SignInHarness {
public:
    SignInHarness()
        : window_(std::static_pointer_cast<toolkit::MemorySurface>(app_.CreateSurface(toolkit::MainWindowDef()))),
          ctx_{{accounts_, clock_, net::Endpoints::Defaults(), folder_.path() + "/local/Kestrel2/ACCOUNT.cache",
                folder_.path() + "/KSTfiles", platform::HostProfile::Linux64(),
                testing::FakeMicrosoftService::kClientId, net::HttpOptions{}},
               app_,
               workers_,
               random_,
               window_} {
        window_->ShowWindow();
        WireSignIn(ctx_);
    }
    ~SignInHarness() { workers_.StopAll(); }

    // Requests give up after ms (for answers that never end).
    void ShortenRequests(long ms) {
        for (net::Timeouts* t : {&ctx_.http.inet, &ctx_.http.curl, &ctx_.http.com}) t->total_ms = ms;
    }

    // Points the endpoints at the fakes that exist.
    void Use(const std::string& name, const std::string& url) { ctx_.endpoints.Override(name + "=" + url); }

    // Waits until every worker has ended (the flows' waits are on the test
    // clock, so this takes no longer than the requests).
    void Settle() {
        for (int i = 0; i < 20000 && workers_.Running() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(workers_.Running(), 0) << "a sign-in worker did not end";
    }

    // Polls pred until it holds (true) or ten seconds pass (false), for
    // states that workers reach without a change of the window.
    static bool Eventually(const std::function<bool()>& pred) {
        for (int i = 0; i < 10000; ++i) {
            if (pred()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return pred();
    }

    void Choose(const std::string& item) {
        const auto items = window_->Items("登录方式");
        const auto it = std::find(items.begin(), items.end(), item);
        ASSERT_NE(it, items.end());
        window_->Choose("登录方式", static_cast<int>(it - items.begin()));
    }

    std::optional<std::string> Cache() const { return platform::ReadFile(ctx_.account_cache_path); }
    unsigned CacheMode() const {
        struct stat info {};
        if (::stat(ctx_.account_cache_path.c_str(), &info) != 0) return 0;
        return info.st_mode & 0777;
    }
    void WriteCache(const std::string& text) { ASSERT_TRUE(WriteAccountCache(ctx_.account_cache_path, text).ok()); }
    std::optional<std::string> DataFileBytes(const std::string& name) const {
        return platform::ReadFile(ctx_.data_folder + "/" + name);
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& box : app_.MessageBoxes()) texts.push_back(box.caption + "|" + box.text);
        return texts;
    }

    // The visibility of the controls of the signed-in look.
    void ExpectSignedInLook(const std::string& name, const std::string& badge) const {
        for (const char* shown : {"启动游戏按钮", "设置按钮", "注销按钮", "用户头像", "欢迎标题", "版本框", "在线图标"}) {
            EXPECT_TRUE(window_->Visible(shown)) << shown;
        }
        for (const char* hidden : {"登录按钮", "登录方式", "登录方式_标签标题", "更新进度", "更新进度_文字"}) {
            EXPECT_FALSE(window_->Visible(hidden)) << hidden;
        }
        EXPECT_EQ(window_->Text("欢迎标题"), "欢迎," + name);
        EXPECT_EQ(window_->Picture("在线图标"), std::string(toolkit::Asset(badge)));
        EXPECT_TRUE(window_->Problems().empty());
    }

    testing::TempFolder folder_;
    toolkit::MemoryApplication app_;
    std::shared_ptr<toolkit::MemorySurface> window_;
    testing::FakeClock clock_;
    platform::Workers workers_;
    platform::TickRandom random_{[] { return std::uint64_t{42}; }};
    AccountState accounts_;
    SignInContext ctx_;
};

}  // namespace kestrel::shell
