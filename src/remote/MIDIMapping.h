#pragma once
// One MIDI mapping: the route id that a control moves and, once bound, the unique id of the MIDI
// source it belongs to. JSON: {"target": "...", "sourceID": n}; "sourceID" is written only when
// present, and null reads as absent. A plain value, safe on any thread.

#include <QJsonObject>

#include "base/JsonCoding.h"
#include <QString>
#include <cstdint>
#include <optional>

namespace quellor {

struct MIDIMapping {
    QString target;
    std::optional<std::int32_t> sourceID;

    bool operator==(const MIDIMapping&) const = default;

    QJsonObject toJson() const;
    // Nothing when "target" is missing or not a string, or "sourceID" is not a 32-bit integer.
    static std::optional<MIDIMapping> fromJson(const QJsonValue& value);
};

template <>
struct json::Coding<MIDIMapping> {
    static QJsonValue encode(const MIDIMapping& m) { return m.toJson(); }
    static std::optional<MIDIMapping> decode(const QJsonValue& v) { return MIDIMapping::fromJson(v); }
};

}  // namespace quellor
