#include "base/Scheduler.h"

#include <cassert>

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

}  // namespace quellor
