#pragma once
// The MAIN and PHONES stereo pairs chosen for one output device, as zero-based indexes of the
// first output channel of each pair. The engine calls it MixerEngine::BusPairing and stores a map
// of device UID -> BusPairing under "busPairings".
//
// JSON: {"mainOffset": int, "phonesOffset": int}; both members are required, so a stored map with
// one incomplete entry does not decode at all.

#include <QString>
#include <map>
#include <optional>

#include "base/JsonCoding.h"

namespace quellor {

struct BusPairing {
    int mainOffset = 0;
    int phonesOffset = 0;

    bool operator==(const BusPairing&) const = default;
};

// Pairings keyed by device UID.
using BusPairingMap = std::map<QString, BusPairing>;

template <>
struct json::Coding<BusPairing> {
    static QJsonValue encode(const BusPairing& v);
    static std::optional<BusPairing> decode(const QJsonValue& v);
};

}  // namespace quellor
