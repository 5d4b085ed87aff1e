#pragma once
// Remembers bad codes per sender and answers them with an exponential backoff (1, 2, 4 ... 512,
// then 600 s), forgetting a sender after 900 s without a counted failure. Thirty bad codes within
// 60 s pause, for 60 s, every sender that is not known for the code it presents: a sender is known
// for the PIN or the password once it has presented that code correctly, and its own wrong tries
// of that code (a stale surface) do not count towards the pause. So a flood of wrong PINs from
// strangers leaves the companion working, and a PIN holder guessing the password from many
// addresses is paused like anyone else. The record table is capped at 512 senders and the known
// senders at 64 (the one that presented a good code longest ago is forgotten first), so floods
// from many addresses cost bounded memory.
//
// Times are seconds on the scheduler's monotonic clock. A plain value without locking of its own:
// its owner guards it.

#include <QHash>
#include <QString>
#include <deque>
#include <limits>
#include <cstdint>
#include <optional>

#include "remote/AuthenticatedAddress.h"

namespace quellor {

class PINLockoutPolicy {
public:
    static constexpr double kQuietReset = 900;
    static constexpr int kFailureCap = 32;
    static constexpr double kMaxBackoff = 600;
    static constexpr int kMaxSources = 512;
    static constexpr int kMaxKnown = 64;
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

    // Whether a code of that kind from the source is looked at now.
    bool isAllowed(const QString& source, AccessCode code, double now) const;
    void recordSuccess(const QString& source, AccessCode code);
    FailureOutcome recordFailure(const QString& source, AccessCode code, const QString& candidate, double now);
    // Forgives every sender and forgets every known one.
    void reset();

    // For tests and diagnostics.
    int sourceCount() const { return int(sources_.size()); }
    std::optional<Source> source(const QString& key) const;
    int knownCount() const { return int(known_.size()); }

private:
    struct Known {
        bool pin = false;
        bool password = false;
        std::uint64_t lastSuccess = 0;  // the order of the latest good code
        bool knows(AccessCode code) const { return code == AccessCode::PIN ? pin : password; }
    };
    bool knows(const QString& source, AccessCode code) const;
    void prune(double now);

    QHash<QString, Source> sources_;
    QHash<QString, Known> known_;
    std::uint64_t successes_ = 0;
    std::deque<double> recentFailures_;
    double globalBlockedUntil_ = -std::numeric_limits<double>::infinity();
};

}  // namespace quellor
