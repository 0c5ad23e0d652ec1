// The Microsoft device-code sign-in as the player sees it: the code shown
// and copied, the verification page opened, the polling's progress, the
// chain, and the cancel button. The requests are accounts/'s
// (RequestDeviceCode, PollForToken).

#include "shell/MicrosoftSignIn.h"

#include <memory>

#include "accounts/AccountCache.h"
#include "accounts/DeviceCodePolling.h"
#include "accounts/MicrosoftService.h"
#include "accounts/ServiceAnswers.h"
#include "shell/AccountPanel.h"
#include "shell/SignIn.h"

namespace kestrel::shell {

namespace {

constexpr std::int64_t kCancelBlockMs = 5000;
constexpr int kPollingProgress = 30;

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

accounts::SignInReport MicrosoftWindowReport(SignInContext& ctx, std::stop_token stop, int progress) {
    // Shared by the copies of the report, which the chain may make.
    auto bar = std::make_shared<int>(progress);
    return [&ctx, stop, bar](const accounts::AccountRecord* record, int failed, const std::string& message) {
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
            *bar = NextProgress(*bar);
            w.SetValue("更新进度", *bar);
            HideCodeControls(w);
        }
    };
}

void CompleteMicrosoftSignIn(SignInContext& ctx, std::stop_token stop, const accounts::AccountRecord& record) {
    toolkit::Surface& w = *ctx.main_window;
    w.Hide("微软登录_取消登录");
    w.SetValue("更新进度", 100);
    w.SetText("更新进度_文字", "即将完成...");
    ShowPlayerSkin(ctx, accounts::FetchPlayerSkin(ctx, stop, record.uuid));

    w.SetText("欢迎标题", "欢迎," + record.name);
    ctx.accounts.SignIn(record, accounts::SignInState::kMicrosoft);
    accounts::StoreAccountCache(ctx, accounts::MicrosoftCacheText(record));

    for (const char* shown : {"欢迎标题", "启动游戏按钮", "设置按钮", "下载按钮", "注销按钮", "用户头像"}) w.Show(shown);
    for (const char* hidden : {"登录按钮", "登录方式", "登录方式_标签标题"}) w.Hide(hidden);
    ShowBadge(ctx, "badge-microsoft.png");
    w.Hide("更新进度");
    w.Hide("更新进度_文字");
    w.Show("版本框");
}

void MicrosoftSignIn(SignInContext& ctx, std::stop_token worker_stop) {
    toolkit::Surface& w = *ctx.main_window;
    // One Microsoft sign-in at a time: a second one while the first is
    // getting its code or polling is refused. The controls belong to the
    // running sign-in, so the refusal leaves them as they are.
    if (!ctx.accounts.TryBeginMicrosoft()) {
        ShowFailure(ctx, std::string(kSignInFailed) + kMicrosoftBusy);
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
        ShowFailure(ctx, kSignInFailed + text);
        w.Hide("更新进度");
        w.Hide("更新进度_文字");
        w.Hide("微软登录_取消登录");
        ShowSignInControls(w);
    };

    const std::string client_id = ctx.oauth_client_id;
    const accounts::DeviceCode code =
        accounts::RequestDeviceCode(accounts::SignInSession(ctx, stop), ctx.endpoints, client_id);
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
    if (accounts::IsWebAddress(code.verification_uri)) ctx.app.OpenInShell(code.verification_uri);
    w.SetValue("更新进度", kPollingProgress);
    w.SetText("更新进度_文字", "正在等待您的登录...");

    accounts::PollForToken(ctx, stop, code.interval, MicrosoftWindowReport(ctx, stop, kPollingProgress), client_id,
                           code.device_code);
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

}  // namespace kestrel::shell
