#pragma once
// A named, time-stamped copy of the per-application mix with the MAIN and PHONES levels.
// Identified by `id`; equal when all six fields are equal (so two captures of the same mix at
// different moments differ).
//
// JSON: "id" (36-character UUID text), "name", "volumes" (bundle id -> AppVolume, legacy records
// included), "savedAt" (seconds since 2001-01-01 UTC) are required; "mainLevel" and "phonesLevel"
// are written only when present. A missing required member or a wrong type fails the record, and
// with it any array that holds it.

#include <QDateTime>
#include <QString>
#include <QUuid>
#include <optional>

#include "base/JsonCoding.h"
#include "engine/AppVolume.h"

namespace quellor {

struct MixSnapshot {
    QUuid id = QUuid::createUuid();
    QString name;
    AppVolumeMap volumes;
    std::optional<float> mainLevel;    // MAIN output level 0...1, when captured
    std::optional<float> phonesLevel;  // PHONES bus level 0...1, when captured
    QDateTime savedAt = QDateTime::currentDateTimeUtc();

    bool operator==(const MixSnapshot&) const = default;
};

template <>
struct json::Coding<MixSnapshot> {
    static QJsonValue encode(const MixSnapshot& v);
    static std::optional<MixSnapshot> decode(const QJsonValue& v);
};

}  // namespace quellor
