#pragma once

// What the fake web services of the sign-in tests share: a scripted answer
// (a JSON or HTML body with its status, a body cut short, one that never
// ends, one of many megabytes), a record of every request a fake saw, and
// the checks a fake makes on a request (method, path, headers, body, byte
// for byte). A request that fails a check is answered 400 and the problem
// is kept for the test to assert on.
//
// Threading: the fakes' handlers run on cpp-httplib's worker threads; the
// records are kept under a lock.

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrel::testing {

struct FakeAnswer {
    enum Kind { kBody, kTruncated, kEndless };
    Kind kind = kBody;
    int status = 200;
    std::string body;
    std::string content_type = "application/json; charset=utf-8";

    static FakeAnswer Json(std::string body, int status = 200) { return {kBody, status, std::move(body)}; }
    static FakeAnswer Html(std::string body, int status) {
        return {kBody, status, std::move(body), "text/html"};
    }
    static FakeAnswer Empty(int status = 200) { return {kBody, status, ""}; }
    // A Content-Length larger than what is sent before the connection closes.
    static FakeAnswer Truncated(std::string body) { return {kTruncated, 200, std::move(body)}; }
    // A body that trickles in forever, until the client gives up.
    static FakeAnswer Endless() { return {kEndless, 200, "{\"Token\":\""}; }
    // Valid JSON of the given size: a string member padded with blanks.
    static FakeAnswer Huge(std::size_t bytes) {
        std::string body = "{\"Token\":\"x\"" + std::string(bytes, ' ') + "}";
        return {kBody, 200, std::move(body)};
    }
};

// One request as a fake saw it.
struct SeenRequest {
    std::string method;
    std::string path;
    std::string body;
    httplib::Headers headers;
};

class FakeServiceRecord {
public:
    void See(const httplib::Request& request) {
        std::lock_guard lock(mutex_);
        seen_.push_back(SeenRequest{request.method, request.path, request.body, request.headers});
    }
    void Problem(std::string text) {
        std::lock_guard lock(mutex_);
        problems_.push_back(std::move(text));
    }
    std::vector<SeenRequest> Seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::vector<std::string> Paths() const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> paths;
        for (const SeenRequest& request : seen_) paths.push_back(request.method + " " + request.path);
        return paths;
    }
    std::vector<std::string> Problems() const {
        std::lock_guard lock(mutex_);
        return problems_;
    }
    std::atomic<bool>& stopping() { return stopping_; }

private:
    mutable std::mutex mutex_;
    std::vector<SeenRequest> seen_;
    std::vector<std::string> problems_;
    std::atomic<bool> stopping_{false};
};

// Checks one request; every failed check is kept as a problem.
class RequestCheck {
public:
    RequestCheck(FakeServiceRecord& record, const httplib::Request& request) : record_(record), request_(request) {
        record_.See(request);
    }

    RequestCheck& Method(const std::string& method) {
        if (request_.method != method) Fail("method " + request_.method + " instead of " + method);
        return *this;
    }
    RequestCheck& Body(const std::string& body) {
        if (request_.body != body) Fail("body\n  " + request_.body + "\ninstead of\n  " + body);
        return *this;
    }
    // The header is there exactly once, with this value.
    RequestCheck& Header(const std::string& name, const std::string& value) {
        const std::size_t count = request_.get_header_value_count(name.c_str());
        if (count != 1 || request_.get_header_value(name.c_str()) != value) {
            Fail("header " + name + " x" + std::to_string(count) + " = " + request_.get_header_value(name.c_str()) +
                 " instead of " + value);
        }
        return *this;
    }
    RequestCheck& NoHeader(const std::string& name) {
        if (request_.has_header(name.c_str())) Fail("unexpected header " + name);
        return *this;
    }
    // The lines the launcher's browser-like path adds to a request for url.
    RequestCheck& InetDefaults(const std::string& url, const std::string& content_type =
                                                           "application/x-www-form-urlencoded") {
        return Header("Accept", "*/*")
            .Header("Referer", url)
            .Header("Accept-Language", "zh-cn")
            .Header("Content-Type", content_type)
            .Header("User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
    }
    bool ok() const { return ok_; }

private:
    void Fail(const std::string& text) {
        ok_ = false;
        record_.Problem(request_.method + " " + request_.path + ": " + text);
    }

    FakeServiceRecord& record_;
    const httplib::Request& request_;
    bool ok_ = true;
};

inline void SendAnswer(const FakeAnswer& answer, httplib::Response& response, std::atomic<bool>& stopping) {
    response.status = answer.status;
    switch (answer.kind) {
        case FakeAnswer::kBody:
            response.set_content(answer.body, answer.content_type.c_str());
            break;
        case FakeAnswer::kTruncated: {
            const std::string body = answer.body;
            response.set_content_provider(body.size() + 100, answer.content_type.c_str(),
                                          [body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                              if (offset == 0) sink.write(body.data(), body.size());
                                              return false;  // closes the connection
                                          });
            break;
        }
        case FakeAnswer::kEndless: {
            const std::string start = answer.body;
            response.set_chunked_content_provider(
                answer.content_type.c_str(), [start, &stopping](std::size_t offset, httplib::DataSink& sink) {
                    if (offset == 0) return sink.write(start.data(), start.size());
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    return !stopping && sink.is_writable() && sink.write("x", 1);
                });
            break;
        }
    }
}

// Answers in order; the last one repeats.
class AnswerQueue {
public:
    void Set(std::vector<FakeAnswer> answers) {
        std::lock_guard lock(mutex_);
        answers_.assign(answers.begin(), answers.end());
    }
    bool Empty() const {
        std::lock_guard lock(mutex_);
        return answers_.empty();
    }
    FakeAnswer Next() {
        std::lock_guard lock(mutex_);
        if (answers_.empty()) return FakeAnswer::Empty(500);
        FakeAnswer answer = answers_.front();
        if (answers_.size() > 1) answers_.pop_front();
        return answer;
    }

private:
    mutable std::mutex mutex_;
    std::deque<FakeAnswer> answers_;
};

}  // namespace kestrel::testing
