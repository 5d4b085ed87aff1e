#include "setups/SetupsFileWriter.h"

#include <pthread.h>

namespace quellor {

SetupsFileWriter::SetupsFileWriter(Save save, std::function<void()> onWritten)
    : save_(std::move(save)), onWritten_(std::move(onWritten)), worker_([this] { run(); }) {}

SetupsFileWriter::~SetupsFileWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

std::uint64_t SetupsFileWriter::write(MixSessionFile file) {
    std::uint64_t generation;
    {
        std::lock_guard lock(mutex_);
        generation = ++lastGeneration_;
        waiting_ = std::move(file);  // an older content still waiting is never written
        waitingGeneration_ = generation;
    }
    wake_.notify_all();
    return generation;
}

void SetupsFileWriter::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !waiting_ && !writing_; });
}

bool SetupsFileWriter::busy() const {
    std::lock_guard lock(mutex_);
    return waiting_ || writing_;
}

std::vector<SetupsFileWriter::Outcome> SetupsFileWriter::takeOutcomes() {
    std::lock_guard lock(mutex_);
    return std::exchange(outcomes_, {});
}

void SetupsFileWriter::run() {
    pthread_setname_np(pthread_self(), "quellor-setups");
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return waiting_ || stopping_; });
        // What still waits at the stop is written first: the destructor is the last chance.
        if (!waiting_) return;
        MixSessionFile file = std::move(*waiting_);
        waiting_.reset();
        Outcome outcome{waitingGeneration_, false, {}};
        writing_ = true;
        lock.unlock();
        outcome.ok = save_(file, &outcome.error);
        file = {};  // freed here rather than under the lock
        lock.lock();
        writing_ = false;
        outcomes_.push_back(std::move(outcome));
        if (!waiting_) idle_.notify_all();
        lock.unlock();
        if (onWritten_) onWritten_();
        lock.lock();
    }
}

}  // namespace quellor
