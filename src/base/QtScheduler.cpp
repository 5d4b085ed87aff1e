#include "base/QtScheduler.h"

#include <QMetaObject>
#include <QTimer>
#include <cmath>

namespace quellor {

namespace {

QElapsedTimer startedClock() {
    QElapsedTimer clock;
    clock.start();
    return clock;
}

}  // namespace

QtScheduler::QtScheduler() : clock_(startedClock()) {}

QtScheduler::~QtScheduler() {
    for (auto& [id, timer] : timers_) delete timer;
}

TaskId QtScheduler::post(std::function<void()> fn) {
    TaskId id;
    {
        std::lock_guard lock(mutex_);
        id = nextId_++;
        posted_[id] = std::move(fn);
    }
    QMetaObject::invokeMethod(this, [this, id] { runPosted(id); }, Qt::QueuedConnection);
    return id;
}

void QtScheduler::runPosted(TaskId id) {
    std::function<void()> fn;
    {
        std::lock_guard lock(mutex_);
        auto it = posted_.find(id);
        if (it == posted_.end()) return;  // cancelled
        fn = std::move(it->second);
        posted_.erase(it);
    }
    fn();
}

TaskId QtScheduler::startTimer(double seconds, bool repeat, std::function<void()> fn) {
    TaskId id;
    {
        std::lock_guard lock(mutex_);
        id = nextId_++;
    }
    auto* timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeat);
    timer->setInterval(std::max(0, int(std::lround(seconds * 1000.0))));
    timers_[id] = timer;
    connect(timer, &QTimer::timeout, this, [this, id, repeat, fn = std::move(fn)] {
        if (!repeat) {
            auto it = timers_.find(id);
            if (it != timers_.end()) {
                it->second->deleteLater();
                timers_.erase(it);
            }
            fn();  // fn is owned by the lambda, which lives until the timer is deleted later
        } else {
            fn();
        }
    });
    timer->start();
    return id;
}

TaskId QtScheduler::after(double seconds, std::function<void()> fn) {
    return startTimer(seconds, false, std::move(fn));
}

TaskId QtScheduler::every(double seconds, std::function<void()> fn) {
    return startTimer(seconds, true, std::move(fn));
}

void QtScheduler::cancel(TaskId id) {
    if (id == 0) return;
    {
        std::lock_guard lock(mutex_);
        if (posted_.erase(id)) return;
    }
    auto it = timers_.find(id);
    if (it != timers_.end()) {
        it->second->stop();
        it->second->deleteLater();
        timers_.erase(it);
    }
}

double QtScheduler::now() const { return double(clock_.nsecsElapsed()) / 1e9; }

}  // namespace quellor
