#pragma once
// The mix record of one source application: fader, mute, explicit outputs, cue and cue level.
// A plain value, copied freely; stored and sent as JSON (json::Coding<AppVolume>).
//
// JSON: an object with "volume", "isMuted", "outputDeviceUIDs", "isCued" and "cueVolume", all five
// always written. On reading, a missing or null member takes its default; records written before
// several outputs were possible carry one UID under "outputDeviceUID", read only when
// "outputDeviceUIDs" is missing or null. A member of the wrong type fails the whole record. Values
// are kept as read; the engine clamps the levels of every record it stores (withLevelsClamped).

#include <QString>
#include <QStringList>
#include <map>
#include <optional>

#include "base/JsonCoding.h"
#include "base/Level.h"

namespace quellor {

struct AppVolume {
    float volume = 1.0f;          // fader value 0...1, linear in travel; the gain is its cube
    bool isMuted = false;
    QStringList outputDeviceUIDs;  // explicit outputs in the order added; empty follows the default output
    bool isCued = false;           // sent pre-fade to PHONES
    float cueVolume = 1.0f;        // level of the PHONES feed 0...1

    // At defaults: nothing worth storing or tapping. The cue level alone does not count, and a
    // NaN volume counts as different from 1.
    bool isDefault() const {
        return volume == 1.0f && !isMuted && outputDeviceUIDs.isEmpty() && !isCued;
    }

    // The record with volume and cue level brought into 0...1 by the one rule for levels
    // (clampLevel): what the engine keeps, so that every record it holds can be saved.
    AppVolume withLevelsClamped() const {
        AppVolume clamped = *this;
        clamped.volume = clampLevel(volume);
        clamped.cueVolume = clampLevel(cueVolume);
        return clamped;
    }

    bool operator==(const AppVolume&) const = default;
};

// Per-application records keyed by bundle identifier.
using AppVolumeMap = std::map<QString, AppVolume>;

template <>
struct json::Coding<AppVolume> {
    static QJsonValue encode(const AppVolume& v);
    static std::optional<AppVolume> decode(const QJsonValue& v);
};

}  // namespace quellor
