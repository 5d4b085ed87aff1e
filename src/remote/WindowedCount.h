#pragma once
// Counts events for a log line that appears at most once a window: the first event opens a
// window, and once the window has run its length the count is taken and starts again from zero.
// Times are seconds on a monotonic clock.
//
// LimitedLine builds on it for a line that each event would log: the first event of a window logs
// its line as it stands, the others of that window are only counted.
//
// Plain values; their owner confines each to one thread.

#include <optional>
#include <utility>

namespace quellor {

class WindowedCount {
public:
    WindowedCount() = default;
    explicit WindowedCount(double window) : window_(window) {}

    void add(double now, long n = 1) {
        if (count_ == 0) opened_ = now;
        count_ += n;
    }
    // The count once its window has run out at `now` (counting restarts), otherwise nothing.
    std::optional<long> take(double now) {
        if (count_ == 0 || now - opened_ < window_) return std::nullopt;
        return std::exchange(count_, 0);
    }
    // When the open window runs out; nothing while nothing is counted.
    std::optional<double> due() const {
        return count_ == 0 ? std::nullopt : std::optional<double>(opened_ + window_);
    }

private:
    double window_ = 1.0;
    double opened_ = 0;
    long count_ = 0;
};

class LimitedLine {
public:
    LimitedLine() = default;
    explicit LimitedLine(double window) : window_(window), skipped_(window) {}

    // True when this event's own line is to be logged; otherwise it is counted.
    bool admit(double now) {
        if (!logged_ || now - lastLogged_ >= window_) {
            logged_ = true;
            lastLogged_ = now;
            return true;
        }
        skipped_.add(now);
        return false;
    }
    // The count of events whose lines were left out, once its window has run out at `now`.
    std::optional<long> take(double now) { return skipped_.take(now); }
    std::optional<double> due() const { return skipped_.due(); }

private:
    double window_ = 1.0;
    bool logged_ = false;
    double lastLogged_ = 0;
    WindowedCount skipped_;
};

}  // namespace quellor
