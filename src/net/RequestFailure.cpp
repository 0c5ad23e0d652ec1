#include "net/RequestFailure.h"

namespace kestrel::net {

bool IsRetryable(const RequestFailure& failure) {
    switch (failure.kind) {
        case FailureKind::kConnect:
        case FailureKind::kTimeout:
        case FailureKind::kCut:
            return true;
        case FailureKind::kHttpStatus:
            return failure.http_status >= 500 || failure.http_status == 429;
        default:
            return false;
    }
}

std::string FailureText(const RequestFailure& failure) {
    switch (failure.kind) {
        case FailureKind::kNone:
            return "成功";
        case FailureKind::kConnect:
            return "无法连接服务器";
        case FailureKind::kTls:
            return "安全连接失败";
        case FailureKind::kTimeout:
            return "连接超时";
        case FailureKind::kCut:
            return "传输中断";
        case FailureKind::kHttpStatus:
            return "服务器返回 HTTP " + std::to_string(failure.http_status);
        case FailureKind::kTooLarge:
            return "服务器返回的数据过大";
        case FailureKind::kCancelled:
            return "已取消";
        case FailureKind::kOther:
            break;
    }
    return failure.detail.empty() ? std::string("未知错误") : "请求失败(" + failure.detail + ")";
}

}  // namespace kestrel::net
