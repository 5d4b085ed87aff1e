#pragma once
// One interface for every delayed, repeating or debounced action, every "now", and every hop to the
// main thread. Production installs QtScheduler; tests install VirtualScheduler and advance time.
//
// Threads: post() and now() may be called from any non-realtime thread (a reader thread stamps
// what it receives with now()); everything else from the main thread. Work always runs on the main
// thread (QtScheduler) or inside VirtualScheduler::advance/runPending.

#include <cstdint>
#include <functional>
#include <memory>

namespace quellor {

using TaskId = std::uint64_t;  // 0 is never a valid id

class Scheduler {
public:
    virtual ~Scheduler() = default;

    // Runs fn on the main thread as soon as possible.
    virtual TaskId post(std::function<void()> fn) = 0;
    // Runs fn once, `seconds` from now.
    virtual TaskId after(double seconds, std::function<void()> fn) = 0;
    // Runs fn every `seconds` until cancelled; the first run is one interval from now.
    virtual TaskId every(double seconds, std::function<void()> fn) = 0;
    // Cancels a pending task; unknown or finished ids are ignored. 0 is ignored.
    virtual void cancel(TaskId id) = 0;
    // Seconds on a monotonic clock. Thread-safe: implementations read a clock that nothing else
    // changes, or guard it.
    virtual double now() const = 0;

    // The installed scheduler. Installing replaces the previous one (not owned).
    static Scheduler& current();
    static void install(Scheduler* scheduler);
};

// Holds a stored task and cancels it when replaced or destroyed: "a newer request cancels the older".
class TaskSlot {
public:
    TaskSlot() = default;
    ~TaskSlot() { cancel(); }
    TaskSlot(const TaskSlot&) = delete;
    TaskSlot& operator=(const TaskSlot&) = delete;
    void set(TaskId id) { cancel(); id_ = id; }
    void cancel();
    bool pending() const { return id_ != 0; }
    void clear() { id_ = 0; }  // the task has run; forget it without cancelling
    TaskId id() const { return id_; }
private:
    TaskId id_ = 0;
};

// A debounced action with a longest delay. Each request pushes the run back to `delay` after it,
// but never later than `longest` after the first request still waiting: a steady stream of requests
// (a jittery knob, a surface sending 20 changes a second) still runs the action at least once every
// `longest` seconds instead of never while the stream lasts. The action runs on the main thread;
// the latest request's action is the one that runs. Main thread only.
class Debouncer {
public:
    Debouncer(double delay, double longest) : delay_(delay), longest_(longest) {}
    Debouncer(const Debouncer&) = delete;
    Debouncer& operator=(const Debouncer&) = delete;

    void request(std::function<void()> action);
    // Runs a waiting action now; false when none waits.
    bool runNow();
    void cancel();
    bool pending() const { return task_.pending(); }

private:
    void schedule(double due);

    double delay_;
    double longest_;
    double first_ = 0;  // when the first request still waiting came
    double due_ = 0;
    std::function<void()> action_;
    TaskSlot task_;
};

// A liveness token: work handed to others holds a weak reference and does nothing once the owner
// (which holds the Liveness) is gone.
class Liveness {
public:
    Liveness() : token_(std::make_shared<int>(0)) {}
    std::weak_ptr<int> weak() const { return token_; }
    // Wraps fn so that it runs only while this owner lives.
    template <class F>
    auto guard(F fn) const {
        return [w = weak(), fn = std::move(fn)](auto&&... args) {
            if (w.lock()) fn(std::forward<decltype(args)>(args)...);
        };
    }
private:
    std::shared_ptr<int> token_;
};

}  // namespace quellor
