#pragma once
// Holds a thread at a point of the test's choosing: one thread enters and stays until another
// releases it, so a test can act while work is still in progress. Waiting gives up after five
// seconds, so that a broken test fails rather than hangs.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace quellor::test {

class Gate {
public:
    void enterAndWait() {
        std::unique_lock lock(mutex_);
        entered_ = true;
        cv_.notify_all();
        cv_.wait_for(lock, kPatience, [this] { return released_; });
    }
    // Enters, then stays until `done` says so (asked again and again: it watches other threads).
    template <class Done>
    void enterAndWaitUntil(Done done) {
        {
            std::lock_guard lock(mutex_);
            entered_ = true;
            cv_.notify_all();
        }
        while (!done()) std::this_thread::yield();
    }
    bool waitUntilEntered() {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, kPatience, [this] { return entered_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        cv_.notify_all();
    }

private:
    static constexpr std::chrono::seconds kPatience{5};
    std::mutex mutex_;
    std::condition_variable cv_;
    bool entered_ = false;
    bool released_ = false;
};

}  // namespace quellor::test
