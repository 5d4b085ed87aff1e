#pragma once
// The user's ranking of the devices of one direction: the order they dragged devices into
// (highest first; it keeps devices that are not connected) and the set of devices they have
// dragged at least once ("armed"). The ranking sorts the device lists and answers which device
// a priority policy would make the default; the monitors only log that answer and never switch.
//
// Plain value; callable from any thread.

#include <QSet>
#include <QStringList>
#include <optional>
#include <vector>

#include "audio/AudioDevice.h"

namespace quellor {

class NameOrder;

struct DeviceRanking {
    QStringList order;
    QSet<QString> armed;

    enum class Reason { DefaultDisappeared, HigherPriorityConnected };
    struct Decision {
        QString uid;
        Reason reason;
        bool operator==(const Decision&) const = default;
    };

    // Index of the first occurrence in `order`, or nothing for an unranked device.
    std::optional<qsizetype> rank(const QString& uid) const;

    // Ranked devices first, in `order`; the others after them by name.
    bool precedes(const AudioDevice& a, const AudioDevice& b, const NameOrder& names) const;
    // A stable sort with precedes(): devices with equal keys keep their incoming order.
    std::vector<AudioDevice> sorted(std::vector<AudioDevice> devices) const;

    // The order after the user reordered the visible devices: UIDs seen for the first time join
    // at the end, then the visible UIDs take, in their new order, the places visible UIDs held.
    // Devices that are not visible keep their places.
    QStringList mergedOrder(const QStringList& visibleUIDs) const;

    // Which armed, ranked device a priority policy would pick after the device list changed.
    std::optional<Decision> policyDecision(const QStringList& currentUIDs, const QSet<QString>& previousUIDs,
                                           const std::optional<QString>& lastDefaultUID,
                                           const std::optional<QString>& currentDefaultUID) const;
};

}  // namespace quellor
