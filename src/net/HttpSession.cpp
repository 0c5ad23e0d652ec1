#include "net/HttpSession.h"

#include "net/TextEncoding.h"

namespace kestrel::net {

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

std::string HttpSession::InetRequest(const std::string& url, int method, std::string_view body,
                                     std::string_view extra_headers) const {
    Transfer transfer;
    if (!Prepare(transfer, url, method, body, options_.inet)) return {};
    transfer.SetUserAgent(std::string(kDefaultUserAgent));
    transfer.SetHeaders(SplitHeaderLines(CompleteInetHeaders(url, extra_headers)));
    transfer.Perform();
    return transfer.BodyBytes();
}

std::string HttpSession::CurlRequest(const std::string& url, int method, std::string_view body,
                                     std::string_view extra_headers) const {
    Transfer transfer;
    if (!Prepare(transfer, url, method, body, options_.curl)) return {};
    transfer.SetHeaders(SplitHeaderLines(extra_headers));
    transfer.Perform();
    return transfer.BodyBytes();
}

std::string HttpSession::ComRequest(const std::string& url, int method, std::string_view body,
                                    std::string_view extra_headers) const {
    Transfer transfer;
    if (!Prepare(transfer, url, method, body, options_.com)) return {};
    transfer.SetHeaders(ComHeaderLines(url, method, extra_headers));
    transfer.Perform();
    return transfer.BodyBytes();
}

std::string HttpSession::Download(const std::string& url) const {
    Transfer transfer;
    if (!Prepare(transfer, url, kGet, {}, options_.download)) return {};
    if (transfer.Perform() != CURLE_OK || transfer.ResponseCode() >= 400) return {};
    return transfer.BodyBytes();
}

bool HttpSession::Reachable(const std::string& url) const {
    Transfer transfer;
    if (!Prepare(transfer, url, kGet, {}, options_.download)) return false;
    transfer.Perform();
    return !transfer.Cancelled() && transfer.ResponseCode() > 0;
}

std::string ResponseText(std::string_view bytes) { return bytes.empty() ? std::string() : Utf8ToText(bytes); }

}  // namespace kestrel::net
