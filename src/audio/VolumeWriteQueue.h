#pragma once
// Applies hardware volume and mute writes on a thread of its own, so that a dragged fader never
// blocks the main thread on the hardware.
//
// Coalescing is per endpoint: each endpoint has at most one write waiting, and a newer write for
// the same endpoint replaces it (its completion is dropped unheard: the caller that made both
// only cares about the newest). Writes for different endpoints never replace each other and are
// applied in the order their endpoints first came to wait. Every write that is applied reports
// its own result to its own completion, which runs on the main thread through the Scheduler that
// was current when the write was enqueued; so a controller always hears about its newest write.
//
// Threads: enqueue() from the main thread (it captures the current Scheduler); the writer runs on
// the queue's thread and never while the lock is held. stop() (also run by the destructor) lets a
// write in progress finish, drops the waiting ones and joins the thread.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "audio/VolumeEndpoint.h"

namespace quellor {

class Scheduler;

class VolumeWriteQueue {
public:
    static constexpr const char* kLabel = "com.larchfen.quellor.volume-write";

    using Completion = std::function<void(bool succeeded)>;
    // Applies one write on the queue's thread; returns whether it succeeded. `mute` nothing:
    // leave the mute alone.
    using Writer = std::function<bool(const VolumeEndpoint& endpoint, float volume, std::optional<bool> mute)>;

    // Writes to the installed hardware: the level, clamped again, to 'vmvc' of the endpoint's scope;
    // then, only when that succeeded and the write carries one, the mute (1 or 0) to 'mute'.
    // Succeeds when every write it made succeeded.
    static bool writeToHardware(const VolumeEndpoint& endpoint, float volume, std::optional<bool> mute);

    // The writer shared by every device volume controller, and the one shared by the two system
    // volume controllers. Each has its own thread and pending writes; both live until the program
    // exits and write to the installed hardware.
    static VolumeWriteQueue& shared();
    static VolumeWriteQueue& system();

    explicit VolumeWriteQueue(Writer writer = writeToHardware);
    ~VolumeWriteQueue();
    VolumeWriteQueue(const VolumeWriteQueue&) = delete;
    VolumeWriteQueue& operator=(const VolumeWriteQueue&) = delete;

    void enqueue(const VolumeEndpoint& endpoint, float volume, std::optional<bool> mute, Completion completion);

    // Blocks until nothing waits and no write is in progress, or the timeout passes; true when idle.
    // Completions may still be waiting on the main thread's Scheduler.
    bool waitUntilIdle(std::chrono::milliseconds timeout);

    // Writes waiting (not counting one in progress).
    std::size_t pendingCount();

    void stop();

private:
    struct Write {
        VolumeEndpoint endpoint;
        float volume = 0;
        std::optional<bool> mute;
        Completion completion;
        Scheduler* scheduler = nullptr;
    };
    void run();

    Writer writer_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Write> pending_;  // at most one per endpoint
    bool writing_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace quellor
