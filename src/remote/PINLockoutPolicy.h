#pragma once
// Remembers bad codes per sender and answers them with an exponential backoff (1, 2, 4 ... 512,
// then 600 s), forgetting a sender after 900 s without a counted failure. Thirty bad codes within
// 60 s from senders that never presented a good code pause every such sender for 60 s; senders
// that did present a good code are never paused globally. The record table is capped at 512, so a
// flood of wrong codes from many addresses costs bounded memory.
//
// Times are seconds on the scheduler's monotonic clock. A plain value without locking of its own:
// its owner guards it.

#include <QHash>
#include <QSet>
#include <QString>
#include <deque>
#include <limits>
#include <optional>

namespace quellor {

class PINLockoutPolicy {
public:
    static constexpr double kQuietReset = 900;
    static constexpr int kFailureCap = 32;
    static constexpr double kMaxBackoff = 600;
    static constexpr int kMaxSources = 512;
    static constexpr double kGlobalWindow = 60;
    static constexpr int kGlobalThreshold = 30;
    static constexpr double kGlobalPause = 60;

    struct Source {
        int failures = 0;
        double blockedUntil = -std::numeric_limits<double>::infinity();
        double lastFailure = -std::numeric_limits<double>::infinity();
        std::optional<QString> lastCandidate;
    };

    struct FailureOutcome {
        enum class Kind { Backoff, RepeatedCandidate, GlobalPause };
        Kind kind;
        double seconds = 0;  // the backoff, or the global pause
    };

    bool isAllowed(const QString& source, double now) const;
    void recordSuccess(const QString& source);
    FailureOutcome recordFailure(const QString& source, const QString& candidate, double now);
    // Forgives every sender and forgets every authenticated one.
    void reset();

    // For tests and diagnostics.
    int sourceCount() const { return int(sources_.size()); }
    std::optional<Source> source(const QString& key) const;

private:
    void prune(double now);

    QHash<QString, Source> sources_;
    QSet<QString> authenticated_;
    std::deque<double> recentFailures_;
    double globalBlockedUntil_ = -std::numeric_limits<double>::infinity();
};

}  // namespace quellor
