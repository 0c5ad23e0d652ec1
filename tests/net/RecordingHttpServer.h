#pragma once

// RecordingHttpServer answers every request with a fixed small response and
// keeps the exact bytes of the requests it received, so tests can check the
// header lines a request path sends and their order (a full HTTP server
// library sorts headers by name and loses that).

#include <cctype>
#include <mutex>
#include <string>
#include <vector>

#include "support/LoopbackServer.h"

namespace kestrel::testing {

class RecordingHttpServer {
public:
    RecordingHttpServer()
        : server_([this](int fd, const std::atomic<bool>& stopping) {
              const std::string request = ReceiveUntil(fd, stopping, &Complete);
              {
                  std::lock_guard lock(mutex_);
                  requests_.push_back(request);
              }
              SendBytes(fd, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
          }) {}

    std::string Url(const std::string& path) const { return "http://" + server_.address() + path; }
    std::string host() const { return server_.address(); }

    // The last request's head split into lines (request line first, without
    // the empty line that ends it), and its body.
    std::vector<std::string> HeadLines() const {
        const std::string request = Last();
        std::vector<std::string> lines;
        const std::size_t end = request.find("\r\n\r\n");
        std::size_t start = 0;
        while (start < end) {
            const std::size_t stop = request.find("\r\n", start);
            lines.push_back(request.substr(start, stop - start));
            start = stop + 2;
        }
        return lines;
    }
    std::string Body() const {
        const std::string request = Last();
        const std::size_t end = request.find("\r\n\r\n");
        return end == std::string::npos ? std::string() : request.substr(end + 4);
    }

private:
    std::string Last() const {
        std::lock_guard lock(mutex_);
        return requests_.empty() ? std::string() : requests_.back();
    }

    // True once the head and as many body bytes as Content-Length names
    // have arrived.
    static bool Complete(const std::string& received) {
        const std::size_t end = received.find("\r\n\r\n");
        if (end == std::string::npos) return false;
        std::string head = received.substr(0, end);
        for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::size_t field = head.find("\r\ncontent-length:");
        const std::size_t length = field == std::string::npos ? 0 : std::stoul(head.substr(field + 17));
        return received.size() >= end + 4 + length;
    }

    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    LoopbackServer server_;
};

}  // namespace kestrel::testing
