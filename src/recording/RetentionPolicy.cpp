#include "recording/RetentionPolicy.h"

#include <algorithm>
#include <limits>

namespace quellor {

qint64 RetentionPolicy::sortKey(const QDateTime& date) {
    return date.isValid() ? date.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

QStringList RetentionPolicy::takesToDelete(std::vector<Take> takes, qint64 capBytes) {
    QStringList ids;
    if (capBytes <= 0) return ids;
    std::stable_sort(takes.begin(), takes.end(),
                     [](const Take& a, const Take& b) { return sortKey(a.modified) < sortKey(b.modified); });
    qint64 total = 0;
    for (const Take& take : takes) total += take.bytes;
    for (auto it = takes.begin(); total > capBytes && it != takes.end(); ++it) {
        ids.append(it->id);
        total -= it->bytes;
    }
    return ids;
}

}  // namespace quellor
