#pragma once
// A repeating task that runs only while a condition holds: the recording cards tick their pulse and
// their clock only while a take runs, and cost nothing at rest.
//
// Threads: main thread only (the scheduler).
#include <functional>

#include "base/Scheduler.h"

namespace quellor {

// Keeps `slot` running `fn` every `seconds` while `on`, started once, and stops it otherwise.
inline void repeatWhile(bool on, TaskSlot& slot, double seconds, std::function<void()> fn) {
    if (!on) {
        slot.cancel();
    } else if (!slot.pending()) {
        slot.set(Scheduler::current().every(seconds, std::move(fn)));
    }
}

}  // namespace quellor
