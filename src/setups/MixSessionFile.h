#pragma once
// The root of the setups file: every setup in the order it was added, and the current one.
// A plain value; equal when both fields are equal.
//
// JSON: "currentID" (UUID text, written only when present; missing or null reads as absent) and
// "sessions" (required array of MixSession). One setup that does not decode fails the whole file.
// A "currentID" that names no setup is kept as read: the setup manager repairs it.
//
// Threads: a value; any thread.

#include <QUuid>
#include <optional>
#include <vector>

#include "base/JsonCoding.h"
#include "setups/MixSession.h"

namespace quellor {

struct MixSessionFile {
    std::optional<QUuid> currentID;
    std::vector<MixSession> sessions;

    bool operator==(const MixSessionFile&) const = default;
};

template <>
struct json::Coding<MixSessionFile> {
    static QJsonValue encode(const MixSessionFile& v);
    static std::optional<MixSessionFile> decode(const QJsonValue& v);
};

}  // namespace quellor
