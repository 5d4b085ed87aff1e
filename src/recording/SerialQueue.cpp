#include "recording/SerialQueue.h"

#include <pthread.h>

#include <future>

namespace quellor {

SerialQueue::SerialQueue(const char* threadName) {
    worker_ = std::thread([this] { run(); });
    // Linux thread names are limited to 15 characters.
    char name[16] = {};
    for (int i = 0; i < 15 && threadName[i]; ++i) name[i] = threadName[i];
    pthread_setname_np(worker_.native_handle(), name);
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void SerialQueue::async(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(fn));
    }
    wake_.notify_one();
}

void SerialQueue::sync(const std::function<void()>& fn) {
    std::promise<void> done;
    async([&] {
        fn();
        done.set_value();
    });
    done.get_future().wait();
}

std::size_t SerialQueue::pending() const {
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

void SerialQueue::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;  // stopping, and everything queued has run
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

}  // namespace quellor
