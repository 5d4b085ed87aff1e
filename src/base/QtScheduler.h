#pragma once
// Production scheduler: Qt timers on the main thread, QElapsedTimer as the monotonic clock.
// post() may be called from any thread; the work is queued to the main thread's event loop. now()
// may be called from any thread: the clock's start point is set once, before anyone can read it.

#include "base/Scheduler.h"

#include <QElapsedTimer>
#include <QObject>
#include <mutex>
#include <unordered_map>

class QTimer;

namespace quellor {

class QtScheduler : public QObject, public Scheduler {
    Q_OBJECT
public:
    QtScheduler();
    ~QtScheduler() override;
    TaskId post(std::function<void()> fn) override;
    TaskId after(double seconds, std::function<void()> fn) override;
    TaskId every(double seconds, std::function<void()> fn) override;
    void cancel(TaskId id) override;
    double now() const override;

private:
    TaskId startTimer(double seconds, bool repeat, std::function<void()> fn);
    void runPosted(TaskId id);

    const QElapsedTimer clock_;
    std::mutex mutex_;
    TaskId nextId_ = 1;
    std::unordered_map<TaskId, std::function<void()>> posted_;
    std::unordered_map<TaskId, QTimer*> timers_;
};

}  // namespace quellor
