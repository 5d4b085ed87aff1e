#pragma once
// The one 10 Hz clock of the console's meters: every meter reads its level on its ticks and
// repaints only its own column, so many meters cost one timer and no strip is ever rebuilt for a
// level. The clock runs while it has subscribers and stops when the last subscription goes; each
// tick hands the listeners the monotonic time their peak hold runs on.
//
// A subscription ends when its token is destroyed (a meter widget keeps it as a member); a token
// may outlive the clock, and a listener may end any subscription, its own included, during a tick.
//
// Threads: main thread only.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "base/Scheduler.h"

namespace quellor {

class MeterRepaintClock {
public:
    static constexpr double kInterval = 0.1;
    using Listener = std::function<void(double now)>;

    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept { *this = std::move(other); }
        Subscription& operator=(Subscription&& other) noexcept;
        ~Subscription() { reset(); }
        void reset();

    private:
        friend class MeterRepaintClock;
        struct State;
        std::weak_ptr<State> state_;
        std::uint64_t id_ = 0;
    };

    // `scheduler` null: the installed scheduler.
    explicit MeterRepaintClock(Scheduler* scheduler = nullptr);
    ~MeterRepaintClock();
    MeterRepaintClock(const MeterRepaintClock&) = delete;
    MeterRepaintClock& operator=(const MeterRepaintClock&) = delete;

    [[nodiscard]] Subscription subscribe(Listener listener);
    bool isRunning() const;

private:
    std::shared_ptr<Subscription::State> state_;
};

}  // namespace quellor
