#include "base/Scheduler.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace quellor {
namespace {
Scheduler* g_scheduler = nullptr;
}

Scheduler& Scheduler::current() {
    assert(g_scheduler && "no Scheduler installed");
    return *g_scheduler;
}

void Scheduler::install(Scheduler* scheduler) { g_scheduler = scheduler; }

void TaskSlot::cancel() {
    if (id_ != 0) {
        Scheduler::current().cancel(id_);
        id_ = 0;
    }
}

void Debouncer::request(std::function<void()> action) {
    action_ = std::move(action);
    const double now = Scheduler::current().now();
    if (!task_.pending()) first_ = now;
    const double due = std::min(now + delay_, first_ + longest_);
    // Past the longest delay the run stays where it is; rescheduling it would only cost a timer.
    if (!task_.pending() || due != due_) schedule(due);
}

void Debouncer::schedule(double due) {
    due_ = due;
    Scheduler& scheduler = Scheduler::current();
    // The slot cancels the task when the debouncer goes, so the task never outlives it.
    task_.set(scheduler.after(std::max(0.0, due - scheduler.now()), [this] {
        task_.clear();
        std::exchange(action_, {})();
    }));
}

bool Debouncer::runNow() {
    if (!task_.pending()) return false;
    task_.cancel();
    std::exchange(action_, {})();
    return true;
}

void Debouncer::cancel() {
    task_.cancel();
    action_ = {};
}

}  // namespace quellor
