#pragma once
// Timed fades of console faders: a linear ramp of a fader value from a start value to an end value,
// applied in steps of 33 ms through the same setter a fader move uses, 30 steps per second of
// duration (at least one). The first value applied is one step away from the start; the last is
// the end value. Fades are kept by key (a strip's source id), at most one per key, so a new fade of
// a strip replaces its running one and a strip's fade can be stopped.
//
// A fade that is replaced or cancelled applies no further value: "Stop fade" stops at once, and
// the level stays where the last step put it. A fade that ends removes only its own entry, so a
// newer fade of the same key always stays stoppable. Moving the fader by hand does not stop a fade:
// its next step sets the fade's value again.
//
// Steps run on the Scheduler (virtual time in tests). The registry owns its fades; once it is gone
// they apply nothing. The process-wide instance, shared(), is never destroyed and steps on the
// installed scheduler.
//
// Threads: main thread only.

#include <QString>
#include <cstdint>
#include <functional>
#include <map>

#include "base/Scheduler.h"

namespace quellor {

class ConsoleFades {
public:
    static constexpr double kStepSeconds = 0.033;
    static constexpr int kStepsPerSecond = 30;

    // `scheduler` null: the installed scheduler at each use.
    explicit ConsoleFades(Scheduler* scheduler = nullptr) : scheduler_(scheduler) {}
    ~ConsoleFades();
    ConsoleFades(const ConsoleFades&) = delete;
    ConsoleFades& operator=(const ConsoleFades&) = delete;

    static ConsoleFades& shared();

    // Fades the setter from `from` to `to` over `seconds`, replacing the key's running fade.
    void start(const QString& key, std::function<void(float)> setter, float from, float to, double seconds);
    // Stops the key's fade; nothing when none runs.
    void cancel(const QString& key);
    bool isFading(const QString& key) const { return fades_.count(key) > 0; }

    // The whole number of seconds × 30, at least 1. A duration that is not a number counts as the
    // shortest; one of years is held to a bound rather than overflowing.
    static std::int64_t stepCount(double seconds);

private:
    struct Fade {
        std::uint64_t serial = 0;
        std::function<void(float)> setter;
        float from = 0;
        float to = 0;
        std::int64_t steps = 1;
        std::int64_t next = 1;
        TaskId task = 0;
    };

    Scheduler& scheduler() const { return scheduler_ ? *scheduler_ : Scheduler::current(); }
    void scheduleStep(Fade& fade, const QString& key);
    void step(const QString& key, std::uint64_t serial);

    Scheduler* scheduler_;
    std::map<QString, Fade> fades_;
    std::uint64_t nextSerial_ = 1;
    Liveness alive_;
};

}  // namespace quellor
