#include "audio/DeviceRanking.h"

#include <QHash>
#include <algorithm>
#include <limits>

#include "audio/NameOrder.h"

namespace quellor {

std::optional<qsizetype> DeviceRanking::rank(const QString& uid) const {
    qsizetype index = order.indexOf(uid);
    return index < 0 ? std::nullopt : std::optional<qsizetype>(index);
}

bool DeviceRanking::precedes(const AudioDevice& a, const AudioDevice& b, const NameOrder& names) const {
    constexpr qsizetype unranked = std::numeric_limits<qsizetype>::max();
    qsizetype ra = rank(a.uid).value_or(unranked);
    qsizetype rb = rank(b.uid).value_or(unranked);
    if (ra != rb) return ra < rb;
    return names(a.name, b.name);
}

std::vector<AudioDevice> DeviceRanking::sorted(std::vector<AudioDevice> devices) const {
    NameOrder names;
    std::stable_sort(devices.begin(), devices.end(),
                     [&](const AudioDevice& a, const AudioDevice& b) { return precedes(a, b, names); });
    return devices;
}

QStringList DeviceRanking::mergedOrder(const QStringList& visibleUIDs) const {
    // Each UID counts once: a repeated visible UID, or a visible UID stored twice, would leave
    // more places than UIDs to put in them. The first stored place is the one that ranks.
    QStringList visible;
    for (const QString& uid : visibleUIDs)
        if (!visible.contains(uid)) visible.append(uid);

    QStringList result;
    QSet<QString> seenVisible;
    for (const QString& uid : order) {
        bool isVisible = visible.contains(uid);
        if (isVisible && seenVisible.contains(uid)) continue;
        if (isVisible) seenVisible.insert(uid);
        result.append(uid);
    }
    for (const QString& uid : visible)
        if (!result.contains(uid)) result.append(uid);

    qsizetype k = 0;
    for (QString& uid : result)
        if (visible.contains(uid)) uid = visible[k++];
    return result;
}

std::optional<DeviceRanking::Decision> DeviceRanking::policyDecision(
    const QStringList& currentUIDs, const QSet<QString>& previousUIDs, const std::optional<QString>& lastDefaultUID,
    const std::optional<QString>& currentDefaultUID) const {
    auto isCandidate = [&](const QString& uid) { return armed.contains(uid) && rank(uid).has_value(); };

    if (lastDefaultUID && previousUIDs.contains(*lastDefaultUID) && !currentUIDs.contains(*lastDefaultUID)) {
        std::optional<QString> best;
        for (const QString& uid : currentUIDs)
            if (isCandidate(uid) && (!best || *rank(uid) < *rank(*best))) best = uid;
        if (!best || best == currentDefaultUID) return std::nullopt;
        return Decision{*best, Reason::DefaultDisappeared};
    }

    QStringList newcomers;
    for (const QString& uid : currentUIDs)
        if (!previousUIDs.contains(uid) && isCandidate(uid)) newcomers.append(uid);
    if (newcomers.size() != 1 || !currentDefaultUID) return std::nullopt;
    const QString& newcomer = newcomers.front();
    auto currentRank = rank(*currentDefaultUID);
    if (!currentRank || *rank(newcomer) < *currentRank) return Decision{newcomer, Reason::HigherPriorityConnected};
    return std::nullopt;
}

}  // namespace quellor
