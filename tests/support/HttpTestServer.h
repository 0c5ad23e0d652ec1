#pragma once

// HttpTestServer runs a cpp-httplib server on 127.0.0.1 at a free port on a
// thread of its own while the test sets up routes on server(). An
// HttpsTestServer does the same over TLS with the certificate it is given.

#include <httplib.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace kestrel::testing {

class HttpTestServer {
public:
    HttpTestServer() : HttpTestServer(std::make_unique<httplib::Server>(), "http") {}
    ~HttpTestServer() {
        // A stop before the thread has begun listening would be lost and the
        // join below would wait for ever, so wait for the listening to begin
        // (or for the thread to have ended on its own).
        while (!server_->is_running() && !finished_.load()) std::this_thread::yield();
        server_->stop();
        if (thread_.joinable()) thread_.join();
    }
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    httplib::Server& server() { return *server_; }
    int port() const { return port_; }
    // The server's URL followed by the path.
    std::string Url(const std::string& path = "") const {
        return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
    }

protected:
    HttpTestServer(std::unique_ptr<httplib::Server> server, std::string scheme)
        : server_(std::move(server)), scheme_(std::move(scheme)) {
        // The socket listens from here on, so requests queue up until the
        // thread below accepts them.
        port_ = server_->bind_to_any_port("127.0.0.1");
        if (port_ <= 0) std::abort();
        thread_ = std::thread([this] {
            server_->listen_after_bind();
            finished_.store(true);
        });
    }

private:
    std::unique_ptr<httplib::Server> server_;
    std::string scheme_;
    int port_ = 0;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

class HttpsTestServer : public HttpTestServer {
public:
    HttpsTestServer(X509* certificate, EVP_PKEY* key)
        : HttpTestServer(std::make_unique<httplib::SSLServer>(certificate, key), "https") {}
};

}  // namespace kestrel::testing
