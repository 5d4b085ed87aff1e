#pragma once
// The MAIN and PHONES stereo pairs the user chose for one output device, as zero-based indexes of
// the first output channel of each pair. The engine calls it MixerEngine::BusPairing and stores a
// map of device UID -> BusPairing under "busPairings".
//
// A choice, not a layout: it is kept as chosen, whatever the device offers now, and has no width
// (a pair is always two channels wide). layoutOn() is the one place where a choice becomes the
// BusLayout that taps play with.
//
// JSON: {"mainOffset": int, "phonesOffset": int}; both members are required, so a stored map with
// one incomplete entry does not decode at all.

#include <QString>
#include <map>
#include <optional>

#include "base/JsonCoding.h"
#include "engine/BusLayout.h"

namespace quellor {

struct BusPairing {
    int mainOffset = 0;
    int phonesOffset = 0;

    // The layout on a device of `outputChannels` channels: the chosen pairs where the device has
    // them, the nearest valid ones otherwise (ChannelPairingPolicy::resolve); nothing on a device
    // with fewer than two pairs.
    std::optional<BusLayout> layoutOn(int outputChannels) const;

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
