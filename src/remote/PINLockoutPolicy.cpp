#include "remote/PINLockoutPolicy.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quellor {

bool PINLockoutPolicy::isAllowed(const QString& source, double now) const {
    auto it = sources_.constFind(source);
    if (it != sources_.constEnd() && now < it->blockedUntil) return false;
    if (authenticated_.contains(source)) return true;
    return now >= globalBlockedUntil_;
}

void PINLockoutPolicy::recordSuccess(const QString& source) {
    sources_.remove(source);
    authenticated_.insert(source);
}

PINLockoutPolicy::FailureOutcome PINLockoutPolicy::recordFailure(const QString& source, const QString& candidate,
                                                                 double now) {
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

    if (authenticated_.contains(source)) return {FailureOutcome::Kind::Backoff, backoff};
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
    authenticated_.clear();
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
