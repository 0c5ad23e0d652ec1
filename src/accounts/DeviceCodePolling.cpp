#include "accounts/DeviceCodePolling.h"

#include <algorithm>

#include "accounts/MicrosoftService.h"
#include "accounts/ServiceAnswers.h"

namespace kestrel::accounts {

namespace {

constexpr std::int64_t kSlowDownSeconds = 5;

}  // namespace

void PollForToken(const SignInServices& services, std::stop_token stop, std::int64_t interval,
                  const SignInReport& report, const std::string& client_id, const std::string& device_code) {
    const net::HttpSession session = SignInSession(services, stop);
    const std::string body = TokenPollBody(client_id, device_code);
    while (!stop.stop_requested()) {
        const TokenAnswer answer = PostToken(session, services.endpoints, body);
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
            if (!services.clock.Sleep((interval + 1) * 1000, stop)) return;
            continue;
        }
        if (error.empty()) {
            // A success without a token is no success.
            if (answer.access_token.empty()) {
                report(nullptr, 1, kMicrosoftNoAnswer);
                return;
            }
            RunXboxChain(session, services.endpoints, answer.access_token, answer.refresh_token, report, nullptr);
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

}  // namespace kestrel::accounts
