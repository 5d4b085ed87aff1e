#pragma once
// Virtual-time scheduler for tests. Time only moves in advance(); due work runs in time order
// (ties in the order it was scheduled). post() and now() are thread-safe; posted work runs at the
// current time.

#include "base/Scheduler.h"

#include <map>
#include <mutex>
#include <tuple>

namespace quellor {

class VirtualScheduler : public Scheduler {
public:
    TaskId post(std::function<void()> fn) override;
    TaskId after(double seconds, std::function<void()> fn) override;
    TaskId every(double seconds, std::function<void()> fn) override;
    void cancel(TaskId id) override;
    double now() const override;

    // Moves time forward by `seconds`, running every task that falls due, in order.
    void advance(double seconds);
    // Runs everything due now (posted work and timers at or before now), including work that it posts.
    void runPending();
    // Number of tasks waiting (posted or timed).
    std::size_t pendingCount() const;

private:
    struct Task {
        std::function<void()> fn;
        double interval = 0;  // > 0 for repeating tasks
    };
    TaskId schedule(double due, double interval, std::function<void()> fn);
    bool runOneDue(double limit);

    mutable std::recursive_mutex mutex_;
    double now_ = 0;
    TaskId nextId_ = 1;
    std::uint64_t seq_ = 0;
    // (due, sequence) -> id
    std::map<std::pair<double, std::uint64_t>, TaskId> queue_;
    std::map<TaskId, Task> tasks_;
};

}  // namespace quellor
