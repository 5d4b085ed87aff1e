#include "ui/console/MeterRepaintClock.h"

#include <utility>
#include <vector>

namespace quellor {

struct MeterRepaintClock::Subscription::State {
    Scheduler* scheduler = nullptr;
    std::map<std::uint64_t, Listener> listeners;
    std::uint64_t nextID = 1;
    TaskId timer = 0;

    Scheduler& clock() const { return scheduler ? *scheduler : Scheduler::current(); }
    void stop() {
        if (timer) clock().cancel(timer);
        timer = 0;
    }
};

MeterRepaintClock::Subscription& MeterRepaintClock::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        state_ = std::move(other.state_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void MeterRepaintClock::Subscription::reset() {
    if (auto state = state_.lock()) {
        state->listeners.erase(id_);
        if (state->listeners.empty()) state->stop();
    }
    state_.reset();
    id_ = 0;
}

MeterRepaintClock::MeterRepaintClock(Scheduler* scheduler) : state_(std::make_shared<Subscription::State>()) {
    state_->scheduler = scheduler;
}

MeterRepaintClock::~MeterRepaintClock() { state_->stop(); }

bool MeterRepaintClock::isRunning() const { return state_->timer != 0; }

MeterRepaintClock::Subscription MeterRepaintClock::subscribe(Listener listener) {
    Subscription subscription;
    subscription.state_ = state_;
    subscription.id_ = state_->nextID++;
    state_->listeners.emplace(subscription.id_, std::move(listener));
    if (!state_->timer)
        state_->timer = state_->clock().every(kInterval, [weak = std::weak_ptr(state_)] {
            auto state = weak.lock();
            if (!state) return;
            const double now = state->clock().now();
            // Listeners may end subscriptions during the tick: each is looked up before it runs.
            std::vector<std::uint64_t> ids;
            for (const auto& [id, listener] : state->listeners) ids.push_back(id);
            for (std::uint64_t id : ids) {
                auto it = state->listeners.find(id);
                if (it == state->listeners.end()) continue;
                const Listener listener = it->second;
                listener(now);
            }
        });
    return subscription;
}

}  // namespace quellor
