#include "base/VirtualScheduler.h"

namespace quellor {

TaskId VirtualScheduler::schedule(double due, double interval, std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    TaskId id = nextId_++;
    tasks_[id] = Task{std::move(fn), interval};
    queue_[{due, seq_++}] = id;
    return id;
}

TaskId VirtualScheduler::post(std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    return schedule(now_, 0, std::move(fn));
}

TaskId VirtualScheduler::after(double seconds, std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    return schedule(now_ + (seconds > 0 ? seconds : 0), 0, std::move(fn));
}

TaskId VirtualScheduler::every(double seconds, std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    double interval = seconds > 0 ? seconds : 1e-6;
    return schedule(now_ + interval, interval, std::move(fn));
}

void VirtualScheduler::cancel(TaskId id) {
    std::lock_guard lock(mutex_);
    tasks_.erase(id);  // the queue entry is skipped when it comes up
}

double VirtualScheduler::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

bool VirtualScheduler::runOneDue(double limit) {
    std::function<void()> fn;
    {
        std::lock_guard lock(mutex_);
        while (!queue_.empty()) {
            auto it = queue_.begin();
            if (it->first.first > limit) return false;
            double due = it->first.first;
            TaskId id = it->second;
            queue_.erase(it);
            auto t = tasks_.find(id);
            if (t == tasks_.end()) continue;  // cancelled
            if (due > now_) now_ = due;
            if (t->second.interval > 0) {
                fn = t->second.fn;
                queue_[{due + t->second.interval, seq_++}] = id;
            } else {
                fn = std::move(t->second.fn);
                tasks_.erase(t);
            }
            break;
        }
        if (!fn) return false;
    }
    fn();
    return true;
}

void VirtualScheduler::advance(double seconds) {
    double target;
    {
        std::lock_guard lock(mutex_);
        target = now_ + (seconds > 0 ? seconds : 0);
    }
    while (runOneDue(target)) {
    }
    std::lock_guard lock(mutex_);
    now_ = target;
}

void VirtualScheduler::runPending() {
    double limit;
    {
        std::lock_guard lock(mutex_);
        limit = now_;
    }
    while (runOneDue(limit)) {
    }
}

std::size_t VirtualScheduler::pendingCount() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

}  // namespace quellor
