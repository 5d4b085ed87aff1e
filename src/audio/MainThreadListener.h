#pragma once
// A property listener whose notification starts a separate piece of main-thread work (posted
// through the Scheduler) that runs only while its owner lives: the shape every monitor and
// controller here uses, so that a notification never runs into an owner that is being torn down.
//
// Threads: main thread.

#include <functional>
#include <memory>

#include "audio/HALListener.h"
#include "base/Scheduler.h"

namespace quellor {

inline std::unique_ptr<HALListener> listenOnMainThread(AudioObjectID object, std::uint32_t selector,
                                                       std::uint32_t scope, const Liveness& owner,
                                                       std::function<void()> work) {
    return std::make_unique<HALListener>(
        object, PropertyAddress{selector, scope, hal::kElementMain},
        [guarded = owner.guard(std::move(work))](std::uint32_t, const PropertyAddress*) {
            Scheduler::current().post(guarded);
        });
}

}  // namespace quellor
