#pragma once

// Workers owns the launcher's worker threads. A flow starts a worker and does
// not wait for it, but the process does: at shutdown (the destructor, or
// StopAll) every worker is asked to stop through its stop token and then
// joined, so no thread outlives the objects it uses. Workers wait through the
// Clock with their stop token, so a stop request ends their sleeps at once.
//
// Threading: Start and StopAll may be called from any thread, also from a
// worker (a worker may start another). A worker must not call StopAll.

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

namespace kestrel::platform {

class Workers {
public:
    Workers() = default;
    ~Workers() { StopAll(); }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // Runs fn(stop_token) on a thread of its own. After StopAll has begun,
    // nothing is started any more.
    void Start(std::function<void(std::stop_token)> fn);

    // Asks every worker to stop and joins them all.
    void StopAll();

    // How many workers are still running (for tests).
    int Running() const;

private:
    struct Worker {
        std::jthread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void PruneLocked();

    mutable std::mutex mutex_;
    std::list<Worker> workers_;
    bool stopping_ = false;
};

}  // namespace kestrel::platform
