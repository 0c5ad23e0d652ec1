#include "net/HttpSession.h"

#include "net/TextEncoding.h"

namespace kestrel::net {

namespace {

// The reply of a transfer that could not even be set up.
HttpReply NotStarted() {
    HttpReply reply;
    reply.failure.kind = FailureKind::kOther;
    reply.failure.detail = "cannot create a transfer";
    return reply;
}

HttpReply Finish(Transfer& transfer) {
    const CURLcode code = transfer.Perform();
    HttpReply reply;
    reply.body = transfer.BodyBytes();
    reply.failure = transfer.Failure(code);
    return reply;
}

}  // namespace

bool HttpSession::Prepare(Transfer& transfer, const std::string& url, int method, std::string_view body,
                          const Timeouts& timeouts) const {
    if (!transfer.Init(true, true)) return false;
    transfer.SetFollowLocation(true);
    transfer.SetUrl(url);
    if (method == kPost) {
        transfer.SetPost(true);
        transfer.SetPostBytes(body);
    }
    transfer.SetTimeouts(timeouts);
    transfer.SetCaFile(options_.ca_file);
    transfer.SetCancel(options_.cancel);
    transfer.SetBodyLimit(options_.max_body_bytes);
    return true;
}

HttpReply HttpSession::InetReply(const std::string& url, int method, std::string_view body,
                                 std::string_view extra_headers) const {
    Transfer transfer;
    if (!Prepare(transfer, url, method, body, options_.inet)) return NotStarted();
    transfer.SetUserAgent(std::string(kDefaultUserAgent));
    transfer.SetHeaders(SplitHeaderLines(CompleteInetHeaders(url, extra_headers)));
    return Finish(transfer);
}

HttpReply HttpSession::CurlReply(const std::string& url, int method, std::string_view body,
                                 std::string_view extra_headers) const {
    Transfer transfer;
    if (!Prepare(transfer, url, method, body, options_.curl)) return NotStarted();
    transfer.SetHeaders(SplitHeaderLines(extra_headers));
    return Finish(transfer);
}

HttpReply HttpSession::ComReply(const std::string& url, int method, std::string_view body,
                                std::string_view extra_headers) const {
    Transfer transfer;
    if (!Prepare(transfer, url, method, body, options_.com)) return NotStarted();
    transfer.SetHeaders(ComHeaderLines(url, method, extra_headers));
    return Finish(transfer);
}

HttpReply HttpSession::DownloadReply(const std::string& url) const {
    Transfer transfer;
    if (!Prepare(transfer, url, kGet, {}, options_.download)) return NotStarted();
    HttpReply reply = Finish(transfer);
    // An error page or half a file is never taken for the file.
    if (reply.failure.failed()) reply.body.clear();
    return reply;
}

std::string HttpSession::InetRequest(const std::string& url, int method, std::string_view body,
                                     std::string_view extra_headers) const {
    return InetReply(url, method, body, extra_headers).body;
}

std::string HttpSession::CurlRequest(const std::string& url, int method, std::string_view body,
                                     std::string_view extra_headers) const {
    return CurlReply(url, method, body, extra_headers).body;
}

std::string HttpSession::ComRequest(const std::string& url, int method, std::string_view body,
                                    std::string_view extra_headers) const {
    return ComReply(url, method, body, extra_headers).body;
}

std::string HttpSession::Download(const std::string& url) const { return DownloadReply(url).body; }

bool HttpSession::Reachable(const std::string& url) const {
    Transfer transfer;
    if (!Prepare(transfer, url, kGet, {}, options_.download)) return false;
    transfer.Perform();
    return !transfer.Cancelled() && transfer.ResponseCode() > 0;
}

std::string ResponseText(std::string_view bytes) { return bytes.empty() ? std::string() : Utf8ToText(bytes); }

}  // namespace kestrel::net
