#include "net/Transfer.h"

#include "net/CurlCalls.h"
#include "platform/Text.h"

namespace kestrel::net {

Transfer::~Transfer() { Cleanup(); }

bool Transfer::Init(bool follow_redirects, bool no_signals) {
    Cleanup();
    cancelled_ = false;
    too_large_ = false;
    handle_ = curl::easy_init();
    if (!handle_) return false;
    curl::easy_setopt(handle_, CURLOPT_PRIVATE, this);
    if (no_signals) curl::easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    if (follow_redirects) curl::easy_setopt(handle_, CURLOPT_FOLLOWLOCATION, 1L);
    curl::easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &Transfer::OnWrite);
    curl::easy_setopt(handle_, CURLOPT_WRITEDATA, this);
    curl::easy_setopt(handle_, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl::easy_setopt(handle_, CURLOPT_HEADERDATA, this);
    curl::easy_setopt(handle_, CURLOPT_READFUNCTION, &Transfer::OnRead);
    curl::easy_setopt(handle_, CURLOPT_READDATA, this);

    // Only web addresses: a URL from an edited endpoints file or a redirect
    // must never make the launcher read a local file or speak another
    // protocol. A redirect never leaves https for plain http, where the
    // headers the launcher sends (tokens among them) would travel in clear.
    curl::easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl::easy_setopt(handle_, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    // A redirect loop ends instead of running into the time-out.
    curl::easy_setopt(handle_, CURLOPT_MAXREDIRS, 20L);
    // HTTP/1.1 keeps header names as the servers write them; the cookie
    // lookup and the callers' header searches depend on their letter case.
    curl::easy_setopt(handle_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    // Requests connect directly: no proxy, not even one named by the
    // environment.
    curl::easy_setopt(handle_, CURLOPT_PROXY, "");
    curl::easy_setopt(handle_, CURLOPT_SSL_VERIFYPEER, 1L);
    curl::easy_setopt(handle_, CURLOPT_SSL_VERIFYHOST, 2L);
    curl::easy_setopt(handle_, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl::easy_setopt(handle_, CURLOPT_XFERINFODATA, this);
    curl::easy_setopt(handle_, CURLOPT_NOPROGRESS, 0L);
    SetTimeouts(Timeouts{});
    if (header_list_) curl::easy_setopt(handle_, CURLOPT_HTTPHEADER, header_list_);
    return true;
}

void Transfer::SetFollowLocation(bool follow) {
    if (handle_) curl::easy_setopt(handle_, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L);
}

void Transfer::SetUrl(const std::string& url) {
    if (!handle_) return;
    curl::easy_setopt(handle_, CURLOPT_URL, url.c_str());
    // A plain http address may be redirected to https, never the reverse.
    const bool secure = url.size() >= 5 && (url[0] | 0x20) == 'h' && (url[1] | 0x20) == 't' &&
                        (url[2] | 0x20) == 't' && (url[3] | 0x20) == 'p' && (url[4] | 0x20) == 's';
    curl::easy_setopt(handle_, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
}

void Transfer::SetPost(bool post) {
    if (handle_) curl::easy_setopt(handle_, CURLOPT_POST, post ? 1L : 0L);
}

void Transfer::SetPostBytes(std::string_view bytes) {
    if (!handle_) return;
    curl::easy_setopt(handle_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(bytes.size()));
    curl::easy_setopt(handle_, CURLOPT_COPYPOSTFIELDS, bytes.data());
}

void Transfer::SetProxy(const std::string& proxy) {
    if (handle_) curl::easy_setopt(handle_, CURLOPT_PROXY, proxy.c_str());
}

void Transfer::SetHeaders(const std::vector<std::string>& lines) {
    if (header_list_) {
        if (handle_) curl::easy_setopt(handle_, CURLOPT_HTTPHEADER, nullptr);
        curl::slist_free_all(header_list_);
        header_list_ = nullptr;
    }
    for (const std::string& line : lines) {
        curl_slist* longer = curl::slist_append(header_list_, line.c_str());
        if (!longer) break;
        header_list_ = longer;
    }
    if (handle_) curl::easy_setopt(handle_, CURLOPT_HTTPHEADER, header_list_);
}

void Transfer::SetCookieList(const std::string& cookies) {
    if (handle_) curl::easy_setopt(handle_, CURLOPT_COOKIELIST, cookies.c_str());
}

void Transfer::SetSslVerify(bool verify_peer, std::optional<bool> verify_host) {
    if (!handle_) return;
    curl::easy_setopt(handle_, CURLOPT_SSL_VERIFYPEER, verify_peer ? 1L : 0L);
    curl::easy_setopt(handle_, CURLOPT_SSL_VERIFYHOST, verify_host.value_or(true) ? 2L : 0L);
}

void Transfer::SetUserAgent(const std::string& user_agent) {
    if (handle_) curl::easy_setopt(handle_, CURLOPT_USERAGENT, user_agent.c_str());
}

void Transfer::SetTimeouts(const Timeouts& timeouts) {
    if (!handle_) return;
    curl::easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT_MS, timeouts.connect_ms);
    curl::easy_setopt(handle_, CURLOPT_TIMEOUT_MS, timeouts.total_ms);
    // Less than one byte a second for the stall time counts as a stall.
    const long stall_seconds = timeouts.stall_ms <= 0 ? 0 : (timeouts.stall_ms + 999) / 1000;
    curl::easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, stall_seconds ? 1L : 0L);
    curl::easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, stall_seconds);
}

void Transfer::SetCaFile(const std::string& path) {
    if (handle_ && !path.empty()) curl::easy_setopt(handle_, CURLOPT_CAINFO, path.c_str());
}

void Transfer::SetCancel(std::stop_token cancel) { cancel_ = std::move(cancel); }

CURLcode Transfer::Perform() {
    if (!handle_) return CURLE_FAILED_INIT;
    CURLcode code = CURLE_ABORTED_BY_CALLBACK;
    if (!cancel_.stop_requested()) code = RunUntilDoneOrStopped();
    if (cancel_.stop_requested()) {
        // A cancelled request has no answer, whatever part of one arrived.
        cancelled_ = true;
        body_.Clear();
        return CURLE_ABORTED_BY_CALLBACK;
    }
    // Half an answer must never be taken for an answer.
    if (too_large_) body_.Clear();
    return code;
}

// libcurl calls the progress callback about once a second while a connection
// is idle, so a stop would wait up to that long. Driving the handle through a
// multi handle lets a stop request wake the wait at once; the progress and
// write callbacks still end the transfer from inside libcurl.
CURLcode Transfer::RunUntilDoneOrStopped() {
    CURLM* multi = curl::multi_init();
    if (!multi) return curl::easy_perform(handle_);
    if (curl::multi_add_handle(multi, handle_) != CURLM_OK) {
        curl::multi_cleanup(multi);
        return curl::easy_perform(handle_);
    }
    CURLcode code = CURLE_ABORTED_BY_CALLBACK;
    {
        // Destroyed before the multi handle: its destructor waits for a
        // wake-up that is running on the cancelling thread.
        std::stop_callback wake(cancel_, [multi] { curl::multi_wakeup(multi); });
        int running = 1;
        while (!cancel_.stop_requested()) {
            if (curl::multi_perform(multi, &running) != CURLM_OK) {
                code = CURLE_FAILED_INIT;
                break;
            }
            if (running == 0) {
                int left = 0;
                while (CURLMsg* message = curl::multi_info_read(multi, &left)) {
                    if (message->msg == CURLMSG_DONE && message->easy_handle == handle_) code = message->data.result;
                }
                break;
            }
            curl::multi_poll(multi, nullptr, 0, 1000, nullptr);
        }
    }
    curl::multi_remove_handle(multi, handle_);
    curl::multi_cleanup(multi);
    return code;
}

std::string Transfer::HeaderText() const { return std::string(header_.View()); }

std::string Transfer::ResponseCookies() const { return CookiesFromHeaders(header_.View()); }

std::string Transfer::BodyBytes() const { return std::string(body_.View()); }

long Transfer::ResponseCode() const {
    long code = 0;
    if (handle_) curl::easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

RequestFailure Transfer::Failure(CURLcode code) const {
    return ClassifyCurlResult(code, ResponseCode(), cancelled_, too_large_);
}

RequestFailure ClassifyCurlResult(CURLcode code, long http_status, bool cancelled, bool too_large) {
    RequestFailure failure;
    failure.http_status = http_status;
    if (cancelled) {
        failure.kind = FailureKind::kCancelled;
        failure.detail = "cancelled";
        return failure;
    }
    if (code != CURLE_OK) failure.detail = curl::easy_strerror(code);
    switch (code) {
        case CURLE_OK:
            if (http_status >= 400) {
                failure.kind = FailureKind::kHttpStatus;
                failure.detail = "HTTP " + std::to_string(http_status);
            }
            return failure;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
            failure.kind = FailureKind::kConnect;
            return failure;
        case CURLE_OPERATION_TIMEDOUT:
            failure.kind = FailureKind::kTimeout;
            return failure;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_USE_SSL_FAILED:
            failure.kind = FailureKind::kTls;
            return failure;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
            failure.kind = FailureKind::kCut;
            return failure;
        case CURLE_HTTP_RETURNED_ERROR:
            failure.kind = FailureKind::kHttpStatus;
            return failure;
        case CURLE_FILESIZE_EXCEEDED:
            failure.kind = FailureKind::kTooLarge;
            return failure;
        case CURLE_ABORTED_BY_CALLBACK:
        case CURLE_WRITE_ERROR:
            failure.kind = too_large ? FailureKind::kTooLarge : FailureKind::kOther;
            return failure;
        default:
            failure.kind = FailureKind::kOther;
            return failure;
    }
}

void Transfer::Cleanup() {
    if (handle_) {
        curl::easy_cleanup(handle_);
        handle_ = nullptr;
    }
    body_ = ByteBuffer();
    upload_ = ByteBuffer();
    header_ = ByteBuffer();
    if (header_list_) {
        curl::slist_free_all(header_list_);
        header_list_ = nullptr;
    }
}

// A count other than size × count makes libcurl abort the transfer, which
// is what happens when a buffer cannot grow or the transfer was cancelled.
std::size_t Transfer::OnWrite(char* data, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    if (transfer->cancel_.stop_requested()) return 0;
    const std::size_t bytes = size * count;
    if (transfer->body_limit_ != 0 && bytes > transfer->body_limit_ - transfer->body_.size()) {
        transfer->too_large_ = true;
        return 0;
    }
    return transfer->body_.Append(data, bytes) ? bytes : 0;
}

std::size_t Transfer::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    const std::size_t bytes = size * count;
    return transfer->header_.Append(data, bytes) ? bytes : 0;
}

std::size_t Transfer::OnRead(char* out, std::size_t size, std::size_t count, void* self) {
    return static_cast<Transfer*>(self)->upload_.Read(out, size * count);
}

int Transfer::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(self)->cancel_.stop_requested() ? 1 : 0;
}

std::string CookiesFromHeaders(std::string_view header_text) {
    static constexpr std::string_view kName = "Set-Cookie";
    static constexpr std::string_view kField = "Set-Cookie:";
    std::string cookies;
    std::size_t start = 0;
    while (start < header_text.size()) {
        std::size_t end = header_text.find("\r\n", start);
        if (end == std::string_view::npos) end = header_text.size();
        const std::string_view line = header_text.substr(start, end - start);
        start = end + 2;
        if (line.substr(0, kName.size()) != kName) continue;
        const std::size_t field = line.rfind(kField);
        if (field == std::string_view::npos) continue;
        std::string_view value = platform::Trim(line.substr(field + kField.size()), " ");
        value = platform::Trim(value.substr(0, value.find(';')), " ");
        if (value.empty()) continue;
        cookies.append(value);
        cookies.push_back(';');
    }
    if (!cookies.empty()) cookies.pop_back();
    return cookies;
}

}  // namespace kestrel::net
