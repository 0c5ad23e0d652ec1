#pragma once

// FileServer is a cpp-httplib file server on 127.0.0.1 for the download
// tests, with faults that a test switches on per path: each request of a path
// takes the next step of its script (an HTTP status, a body cut after some
// bytes, a body that stalls after some bytes, wrong bytes), and once the
// script is used up the file is served as it is. It answers Range requests
// ("bytes=N-") with 206 unless range support is switched off, and records
// every request's path, Range header and client port (one port per
// connection). A gate can hold every answer until a number of requests are
// in the server at once, to show that files are fetched side by side (a
// client that fetched one file at a time would meet the gate's time-out).
//
// A stalled body waits until the client goes away, ReleaseStalls is called
// or the server is destroyed.

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace kestrel::testing {

class FileServer {
public:
    enum class Fault { kStatus, kCut, kStall, kWrongBytes };
    struct Step {
        Fault fault = Fault::kStatus;
        int status = 500;
        // For kCut and kStall: the byte offset in the file where the body stops.
        std::size_t at = 0;
    };
    struct Request {
        std::string path;
        std::string range;
        int port = 0;
    };

    FileServer() {
        // Enough threads for every connection of a parallel job: each
        // keep-alive connection holds one.
        server_.new_task_queue = [] { return new httplib::ThreadPool(48); };
        server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            Serve(request, response);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0) std::abort();
        thread_ = std::thread([this] {
            server_.listen_after_bind();
            finished_.store(true);
        });
    }
    ~FileServer() {
        ReleaseStalls();
        {
            std::lock_guard lock(mutex_);
            gate_ = 0;
            changed_.notify_all();
        }
        while (!server_.is_running() && !finished_.load()) std::this_thread::yield();
        server_.stop();
        if (thread_.joinable()) thread_.join();
    }
    FileServer(const FileServer&) = delete;
    FileServer& operator=(const FileServer&) = delete;

    std::string Url(const std::string& path = "") const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

    void Put(const std::string& path, std::string bytes) {
        std::lock_guard lock(mutex_);
        files_[path] = std::make_shared<const std::string>(std::move(bytes));
    }
    void Script(const std::string& path, std::vector<Step> steps) {
        std::lock_guard lock(mutex_);
        scripts_[path] = std::deque<Step>(steps.begin(), steps.end());
    }
    void SetRangeSupport(bool on) { ranges_ = on; }
    // The first answers wait until n requests are being answered at once
    // (or a few seconds have passed); from then on the gate stays open.
    void SetGate(int n) {
        std::lock_guard lock(mutex_);
        gate_ = n;
    }
    void ReleaseStalls() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

    std::vector<Request> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    int RequestsFor(const std::string& path) const {
        std::lock_guard lock(mutex_);
        return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                              [&](const Request& r) { return r.path == path; }));
    }
    std::vector<std::string> RangesFor(const std::string& path) const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> ranges;
        for (const Request& r : requests_) {
            if (r.path == path) ranges.push_back(r.range);
        }
        return ranges;
    }
    std::size_t Connections() const {
        std::lock_guard lock(mutex_);
        std::set<int> ports;
        for (const Request& r : requests_) ports.insert(r.port);
        return ports.size();
    }
    int MostAtOnce() const {
        std::lock_guard lock(mutex_);
        return most_at_once_;
    }
    std::uint64_t BodyBytesSent() const { return sent_.load(); }

private:
    void Serve(const httplib::Request& request, httplib::Response& response) {
        std::shared_ptr<const std::string> file;
        std::optional<Step> step;
        {
            std::unique_lock lock(mutex_);
            requests_.push_back({request.path, request.get_header_value("Range"), request.remote_port});
            if (auto found = files_.find(request.path); found != files_.end()) file = found->second;
            if (auto script = scripts_.find(request.path); script != scripts_.end() && !script->second.empty()) {
                step = script->second.front();
                script->second.pop_front();
            }
            ++at_once_;
            most_at_once_ = std::max(most_at_once_, at_once_);
            changed_.notify_all();
            if (gate_ > 0 && at_once_ >= gate_) gate_ = 0;
            if (gate_ > 0) changed_.wait_for(lock, std::chrono::seconds(5), [this] { return gate_ == 0; });
            --at_once_;
        }
        // The body and the range are ours to make: httplib must not cut the
        // answer a second time.
        const_cast<httplib::Request&>(request).ranges.clear();
        if (!file) {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        if (step && step->fault == Fault::kStatus) {
            response.status = step->status;
            response.set_content("failure page", "text/plain");
            return;
        }
        std::shared_ptr<const std::string> bytes = file;
        if (step && step->fault == Fault::kWrongBytes) {
            auto wrong = std::make_shared<std::string>(*file);
            if (!wrong->empty()) (*wrong)[wrong->size() / 2] ^= 0x5a;
            bytes = wrong;
        }
        std::size_t from = 0;
        const std::string range = request.get_header_value("Range");
        if (ranges_ && range.rfind("bytes=", 0) == 0 && range.back() == '-') {
            from = std::strtoull(range.c_str() + 6, nullptr, 10);
            if (from >= bytes->size()) {
                response.status = 416;
                response.set_content("", "text/plain");
                return;
            }
            response.status = 206;
            response.set_header("Content-Range", "bytes " + std::to_string(from) + "-" +
                                                     std::to_string(bytes->size() - 1) + "/" +
                                                     std::to_string(bytes->size()));
        }
        if (ranges_) response.set_header("Accept-Ranges", "bytes");
        const std::size_t stop_at = step ? std::max(step->at, from) : bytes->size();
        const Fault fault = step ? step->fault : Fault::kStatus;
        response.set_content_provider(
            bytes->size() - from, "application/octet-stream",
            [this, bytes, from, stop_at, fault, faulty = step.has_value()](std::size_t offset, std::size_t,
                                                                           httplib::DataSink& sink) {
                const std::size_t position = from + offset;
                if (faulty && (fault == Fault::kCut || fault == Fault::kStall) && position >= stop_at) {
                    if (fault == Fault::kStall) {
                        std::unique_lock lock(mutex_);
                        changed_.wait_for(lock, std::chrono::seconds(30), [this] { return released_; });
                    }
                    return false;
                }
                std::size_t end = std::min(bytes->size(), position + 65536);
                if (faulty && (fault == Fault::kCut || fault == Fault::kStall)) end = std::min(end, stop_at);
                // Counted before the write: once written, the client may
                // finish and the test read the count before this thread
                // would get to it.
                sent_ += end - position;
                return sink.write(bytes->data() + position, end - position);
            });
    }

    httplib::Server server_;
    int port_ = 0;
    std::atomic<bool> finished_{false};
    std::thread thread_;
    std::atomic<bool> ranges_{true};
    std::atomic<std::uint64_t> sent_{0};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, std::shared_ptr<const std::string>> files_;
    std::map<std::string, std::deque<Step>> scripts_;
    std::vector<Request> requests_;
    int gate_ = 0;
    int at_once_ = 0;
    int most_at_once_ = 0;
    bool released_ = false;
};

}  // namespace kestrel::testing
