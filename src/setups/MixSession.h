#pragma once
// A setup: a named picture of the whole mix (per-application records, the default output device,
// the MAIN and PHONES levels, the console's strip assignment and the strip styles). A plain value,
// identified by `id`; equal when all ten fields are equal.
//
// JSON: "id" (UUID text), "name", "createdAt" and "modifiedAt" (seconds since 2001-01-01 UTC),
// "volumes" (bundle id -> AppVolume) and "slots" are required; "mainDeviceUID", "mainLevel",
// "phonesLevel" and "styles" are written only when present and read as absent when missing or
// null. A missing required member or a member of the wrong type fails the record; unknown members
// are dropped.
//
// Threads: a value; any thread.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

#include "base/JsonCoding.h"
#include "engine/AppVolume.h"
#include "engine/StripStyle.h"

namespace quellor {

struct MixSession {
    QUuid id = QUuid::createUuid();
    QString name;  // not unique: renaming may give two setups one name
    QDateTime createdAt = QDateTime::currentDateTimeUtc();
    QDateTime modifiedAt = createdAt;  // last capture of the live mix; the recency key
    AppVolumeMap volumes;
    std::optional<QString> mainDeviceUID;  // default output device when captured
    std::optional<float> mainLevel;        // its volume 0...1
    std::optional<float> phonesLevel;      // PHONES bus level 0...1; absent without a PHONES pair
    // Route id per console strip in strip order, "" for an empty strip. JSON "slots" (Qt reserves
    // the word `slots` as a macro).
    QStringList stripSlots;
    std::optional<StripStyleMap> styles;  // keyed as the engine keys its live strip styles

    bool operator==(const MixSession&) const = default;
};

template <>
struct json::Coding<MixSession> {
    static QJsonValue encode(const MixSession& v);
    static std::optional<MixSession> decode(const QJsonValue& v);
};

}  // namespace quellor
