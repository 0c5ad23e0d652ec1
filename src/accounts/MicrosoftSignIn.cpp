// The Microsoft device-code sign-in as the player sees it: the code shown
// and copied, the verification page opened, the polling, the chain, and the
// cancel button.

#include "accounts/MicrosoftSignIn.h"

#include <algorithm>

#include "accounts/AccountCache.h"
#include "accounts/AccountPanel.h"
#include "accounts/MicrosoftService.h"
#include "accounts/ServiceAnswers.h"
#include "accounts/SignIn.h"
#include "accounts/SkinFetch.h"

namespace kestrel::accounts {

namespace {

constexpr std::int64_t kSlowDownSeconds = 5;
constexpr std::int64_t kCancelBlockMs = 5000;

void HideCodeControls(toolkit::Surface& w) {
    for (const char* hidden : {"微软登录_登录代码", "微软登录_提示文本", "微软登录_提示文本1", "微软登录_取消登录"}) {
        w.Hide(hidden);
    }
}

void ShowSignInControls(toolkit::Surface& w) {
    for (const char* shown : {"登录按钮", "登录方式", "登录方式_标签标题"}) w.Show(shown);
}

// The bar moves one step per chain step: 30, 50, 60, 70, 80, 90.
int NextProgress(int value) {
    switch (value) {
        case 30: return 50;
        case 50: return 60;
        case 60: return 70;
        case 70: return 80;
        case 80: return 90;
        default: return value;
    }
}

}  // namespace

SignInReport MicrosoftWindowReport(SignInContext& ctx, std::stop_token stop) {
    return [&ctx, stop](const AccountRecord* record, int failed, const std::string& message) {
        if (stop.stop_requested()) return;
        toolkit::Surface& w = *ctx.main_window;
        if (record) {
            CompleteMicrosoftSignIn(ctx, stop, *record);
        } else if (failed) {
            ShowSignInControls(w);
            HideCodeControls(w);
            ShowFailure(ctx, message, "错误");
        } else {
            w.SetText("更新进度_文字", message);
            w.SetValue("更新进度", NextProgress(w.Value("更新进度")));
            HideCodeControls(w);
        }
    };
}

void CompleteMicrosoftSignIn(SignInContext& ctx, std::stop_token stop, const AccountRecord& record) {
    toolkit::Surface& w = *ctx.main_window;
    w.Hide("微软登录_取消登录");
    w.SetValue("更新进度", 100);
    w.SetText("更新进度_文字", "即将完成...");
    ShowPlayerSkin(ctx, FetchSkin(SignInSession(ctx, stop), ctx.endpoints, record.uuid));

    w.SetText("欢迎标题", "欢迎," + record.name);
    ctx.accounts.SignIn(record, SignInState::kMicrosoft);
    StoreAccountCache(ctx, MicrosoftCacheText(record));

    for (const char* shown : {"欢迎标题", "启动游戏按钮", "设置按钮", "注销按钮", "用户头像"}) w.Show(shown);
    for (const char* hidden : {"登录按钮", "登录方式", "登录方式_标签标题"}) w.Hide(hidden);
    ShowBadge(ctx, "badge-microsoft.png");
    w.Hide("更新进度");
    w.Hide("更新进度_文字");
    w.Show("版本框");
}

void PollForToken(SignInContext& ctx, std::stop_token stop, std::int64_t interval, const SignInReport& report,
                  const std::string& client_id, const std::string& device_code) {
    const net::HttpSession session = SignInSession(ctx, stop);
    const std::string body = TokenPollBody(client_id, device_code);
    while (!stop.stop_requested()) {
        const TokenAnswer answer = PostToken(session, ctx.endpoints, body);
        // A cancelled request has no answer; the cancel reports for itself.
        if (stop.stop_requested()) return;
        if (!answer.parsed) {
            report(nullptr, 1, kMicrosoftNoAnswer);
            return;
        }
        const std::string error = AsciiLower(answer.error);
        if (error == "authorization_pending" || error == "slow_down") {
            // The service asks for a longer interval with slow_down, and
            // keeps answering so until the launcher waits longer.
            if (error == "slow_down") interval = std::min(interval + kSlowDownSeconds, kMaxPollInterval);
            if (!ctx.clock.Sleep((interval + 1) * 1000, stop)) return;
            continue;
        }
        if (error.empty()) {
            // A success without a token is no success.
            if (answer.access_token.empty()) {
                report(nullptr, 1, kMicrosoftNoAnswer);
                return;
            }
            RunXboxChain(session, ctx.endpoints, answer.access_token, answer.refresh_token, report, nullptr);
            return;
        }
        if (error == "authorization_declined") {
            report(nullptr, 1, "用户取消登录");
        } else if (error == "bad_verification_code") {
            report(nullptr, 1, "验证过程中设备代码错误");
        } else if (error == "expired_token") {
            report(nullptr, 1, "等待验证时间过长,请重新获取验证信息");
        }
        return;
    }
}

void MicrosoftSignIn(SignInContext& ctx, std::stop_token worker_stop) {
    toolkit::Surface& w = *ctx.main_window;
    // One Microsoft sign-in at a time: a second one while the first is
    // getting its code or polling is refused. The controls belong to the
    // running sign-in, so the refusal leaves them as they are.
    if (!ctx.accounts.TryBeginMicrosoft()) {
        ShowFailure(ctx, std::string("登录失败!\r\n错误代码: ") + kMicrosoftBusy);
        return;
    }
    // The cancel button and shutdown both end this sign-in through one
    // stop source: its waits and requests watch it. It is in place before
    // the cancel button shows.
    std::stop_source cancel;
    std::stop_callback shutdown(worker_stop, [&cancel] { cancel.request_stop(); });
    ctx.accounts.SetMicrosoftCancel(cancel);
    const std::stop_token stop = cancel.get_token();

    w.SetValue("更新进度", 0);
    w.Show("更新进度");
    w.Show("更新进度_文字");
    w.Show("微软登录_取消登录");
    w.SetText("更新进度_文字", "正在获取登录代码...");

    const auto fail = [&](const std::string& text) {
        ShowFailure(ctx, "登录失败!\r\n错误代码: " + text);
        w.Hide("更新进度");
        w.Hide("更新进度_文字");
        w.Hide("微软登录_取消登录");
        ShowSignInControls(w);
    };

    const std::string client_id = ctx.oauth_client_id;
    const DeviceCode code = RequestDeviceCode(SignInSession(ctx, stop), ctx.endpoints, client_id);
    if (stop.stop_requested()) {
        ctx.accounts.EndMicrosoft();
        return;
    }
    if (!code.error.empty()) {
        ctx.accounts.EndMicrosoft();
        fail(code.error);
        return;
    }

    w.SetText("微软登录_登录代码", code.user_code);
    w.Move("微软登录_登录代码", 37, 158);
    w.Show("微软登录_登录代码");
    ctx.app.SetClipboardText(code.user_code);
    w.Move("微软登录_提示文本", 64, 134);
    w.Show("微软登录_提示文本");
    w.Move("微软登录_提示文本1", 7, 196);
    w.Show("微软登录_提示文本1");
    // Only a web page is opened: the address comes from the network, and
    // the desktop would open a file or run a program for other schemes.
    if (IsWebAddress(code.verification_uri)) ctx.app.OpenInShell(code.verification_uri);
    w.SetValue("更新进度", 30);
    w.SetText("更新进度_文字", "正在等待您的登录...");

    PollForToken(ctx, stop, code.interval, MicrosoftWindowReport(ctx, stop), client_id, code.device_code);
    ctx.accounts.EndMicrosoft();
}

void CancelMicrosoftSignIn(SignInContext& ctx) {
    ctx.main_window->Hide("微软登录_取消登录");
    ctx.accounts.CancelMicrosoft();
    ctx.workers.Start([&ctx](std::stop_token stop) {
        toolkit::Surface& w = *ctx.main_window;
        w.Hide("微软登录_提示文本1");
        w.Hide("微软登录_提示文本");
        w.Hide("微软登录_登录代码");
        w.SetValue("更新进度", 100);
        w.SetText("更新进度_文字", "已取消登录");
        w.SetEnabled("登录按钮", false);
        ShowSignInControls(w);
        ctx.clock.Sleep(kCancelBlockMs, stop);
        w.SetEnabled("登录按钮", true);
        w.Hide("更新进度");
        w.Hide("更新进度_文字");
    });
}

}  // namespace kestrel::accounts
