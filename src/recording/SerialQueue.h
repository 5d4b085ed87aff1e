#pragma once
// A serial work queue on one worker thread: jobs run one at a time, in the order they were queued.
// The recording lanes use it as their writer queue so that file writes never run on the main thread
// and drains never overlap.
//
// Threads: async() and sync() from any non-realtime thread except the worker itself (sync() from the
// worker would wait for itself). The destructor runs the jobs still queued, then joins the worker.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace quellor {

class SerialQueue {
public:
    explicit SerialQueue(const char* threadName);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    // Queues fn and returns at once.
    void async(std::function<void()> fn);
    // Queues fn and waits until it (and everything queued before it) has run.
    void sync(const std::function<void()>& fn);
    // Jobs queued and not yet started.
    std::size_t pending() const;

private:
    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace quellor
