#include "audio/VolumeWriteQueue.h"

#include <pthread.h>

#include <algorithm>

#include "base/Level.h"
#include "base/Scheduler.h"
#include "platform/AudioHardware.h"

namespace quellor {

bool VolumeWriteQueue::writeToHardware(const VolumeEndpoint& endpoint, float volume, std::optional<bool> mute) {
    AudioHardware& hardware = AudioHardware::installed();
    float level = clampLevel(volume);
    if (hardware.setPropertyData(endpoint.deviceID, {hal::kVirtualMainVolume, endpoint.scope, hal::kElementMain},
                                 sizeof(level), &level) != hal::kStatusOK)
        return false;  // the mute is not written after a failed level
    if (!mute) return true;
    std::uint32_t muted = *mute ? 1 : 0;
    return hardware.setPropertyData(endpoint.deviceID, {hal::kMute, endpoint.scope, hal::kElementMain}, sizeof(muted),
                                    &muted) == hal::kStatusOK;
}

VolumeWriteQueue& VolumeWriteQueue::shared() {
    static VolumeWriteQueue queue;
    return queue;
}

VolumeWriteQueue& VolumeWriteQueue::system() {
    static VolumeWriteQueue queue;
    return queue;
}

VolumeWriteQueue::VolumeWriteQueue(Writer writer) : writer_(std::move(writer)) {
    thread_ = std::thread([this] { run(); });
}

VolumeWriteQueue::~VolumeWriteQueue() { stop(); }

void VolumeWriteQueue::enqueue(const VolumeEndpoint& endpoint, float volume, std::optional<bool> mute,
                               Completion completion) {
    Write write{endpoint, volume, mute, std::move(completion), &Scheduler::current()};
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    auto waiting = std::find_if(pending_.begin(), pending_.end(), [&](const Write& w) { return w.endpoint == endpoint; });
    if (waiting != pending_.end()) {
        *waiting = std::move(write);
    } else {
        pending_.push_back(std::move(write));
        wake_.notify_one();
    }
}

bool VolumeWriteQueue::waitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, timeout, [this] { return pending_.empty() && !writing_; });
}

std::size_t VolumeWriteQueue::pendingCount() {
    std::lock_guard lock(mutex_);
    return pending_.size();
}

void VolumeWriteQueue::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        pending_.clear();
        wake_.notify_one();
    }
    if (thread_.joinable()) thread_.join();
    idle_.notify_all();
}

void VolumeWriteQueue::run() {
    pthread_setname_np(pthread_self(), "volume-write");
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (stopping_) return;
        Write write = std::move(pending_.front());
        pending_.pop_front();
        writing_ = true;
        lock.unlock();

        bool succeeded = writer_(write.endpoint, write.volume, write.mute);
        if (write.completion)
            write.scheduler->post([completion = std::move(write.completion), succeeded] { completion(succeeded); });

        lock.lock();
        writing_ = false;
        if (pending_.empty()) idle_.notify_all();
    }
}

}  // namespace quellor
