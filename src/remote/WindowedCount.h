#pragma once
// Counts events for a log line that appears at most once a window: the first event opens a
// window, and once the window has run its length the count is taken and starts again from zero.
// Times are seconds on a monotonic clock.
//
// A plain value; its owner confines it to one thread.

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

}  // namespace quellor
