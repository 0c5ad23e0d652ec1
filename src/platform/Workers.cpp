#include "platform/Workers.h"

#include <atomic>
#include <utility>

namespace kestrel::platform {

void Workers::Start(std::function<void(std::stop_token)> fn) {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    PruneLocked();
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back(Worker{std::jthread([fn = std::move(fn), done](std::stop_token stop) {
                                  fn(stop);
                                  done->store(true);
                              }),
                              done});
}

void Workers::PruneLocked() {
    // Finished workers are joined here so a long session does not collect
    // thread objects; joining a finished thread does not wait.
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

void Workers::StopAll() {
    std::list<Worker> taken;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (auto& worker : workers_) worker.thread.request_stop();
        taken.swap(workers_);
    }
    // Joined outside the lock: a worker may still call Start, which then
    // sees stopping_ and returns.
    for (auto& worker : taken) {
        if (worker.thread.joinable()) worker.thread.join();
    }
}

int Workers::Running() const {
    std::lock_guard lock(mutex_);
    int running = 0;
    for (const auto& worker : workers_) running += worker.done->load() ? 0 : 1;
    return running;
}

}  // namespace kestrel::platform
