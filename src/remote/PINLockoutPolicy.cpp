#include "remote/PINLockoutPolicy.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quellor {

bool PINLockoutPolicy::knows(const QString& source, AccessCode code) const {
    auto it = known_.constFind(source);
    return it != known_.constEnd() && it->knows(code);
}

bool PINLockoutPolicy::isAllowed(const QString& source, AccessCode code, double now) const {
    auto it = sources_.constFind(source);
    if (it != sources_.constEnd() && now < it->blockedUntil) return false;
    if (knows(source, code)) return true;
    return now >= globalBlockedUntil_;
}

void PINLockoutPolicy::recordSuccess(const QString& source, AccessCode code) {
    sources_.remove(source);
    if (!known_.contains(source) && known_.size() >= kMaxKnown) {
        auto oldest = known_.begin();
        for (auto it = known_.begin(); it != known_.end(); ++it)
            if (it->lastSuccess < oldest->lastSuccess) oldest = it;
        known_.erase(oldest);
    }
    Known& known = known_[source];
    (code == AccessCode::PIN ? known.pin : known.password) = true;
    known.lastSuccess = ++successes_;
}

PINLockoutPolicy::FailureOutcome PINLockoutPolicy::recordFailure(const QString& source, AccessCode code,
                                                                 const QString& candidate, double now) {
    Source record = sources_.value(source);
    // A sender repeating the same wrong code (a stuck surface, a retry) does not escalate.
    if (record.lastCandidate == candidate) return {FailureOutcome::Kind::RepeatedCandidate};
    if (now - record.lastFailure > kQuietReset) record.failures = 0;
    record.failures = std::min(record.failures + 1, kFailureCap);
    record.lastFailure = now;
    record.lastCandidate = candidate;
    const double backoff = std::min(kMaxBackoff, std::ldexp(1.0, record.failures - 1));
    record.blockedUntil = now + backoff;
    sources_.insert(source, record);
    prune(now);

    if (knows(source, code)) return {FailureOutcome::Kind::Backoff, backoff};
    while (!recentFailures_.empty() && now - recentFailures_.front() > kGlobalWindow) recentFailures_.pop_front();
    const bool tooMany = recentFailures_.size() >= std::size_t(kGlobalThreshold - 1);
    recentFailures_.push_back(now);
    if (tooMany) {
        recentFailures_.clear();
        globalBlockedUntil_ = now + kGlobalPause;
        return {FailureOutcome::Kind::GlobalPause, kGlobalPause};
    }
    return {FailureOutcome::Kind::Backoff, backoff};
}

void PINLockoutPolicy::reset() {
    sources_.clear();
    known_.clear();
    recentFailures_.clear();
    globalBlockedUntil_ = -std::numeric_limits<double>::infinity();
}

std::optional<PINLockoutPolicy::Source> PINLockoutPolicy::source(const QString& key) const {
    auto it = sources_.constFind(key);
    if (it == sources_.constEnd()) return std::nullopt;
    return *it;
}

void PINLockoutPolicy::prune(double now) {
    sources_.removeIf([now](const auto& entry) { return now - entry.value().lastFailure > kQuietReset; });
    if (sources_.size() <= kMaxSources) return;
    std::vector<std::pair<double, QString>> byAge;
    byAge.reserve(sources_.size());
    for (auto it = sources_.cbegin(); it != sources_.cend(); ++it) byAge.emplace_back(it->lastFailure, it.key());
    std::sort(byAge.begin(), byAge.end());
    for (std::size_t i = 0; sources_.size() > kMaxSources; ++i) sources_.remove(byAge[i].second);
}

}  // namespace quellor
